// pnxcut --report: the report text of the results window, for runs checked without a screen.
#include "JobFile.h"

#include "RunReport.h"
#include "TypeSetClass.h"

namespace cli {

std::string FormatReport(TRectManage &Engine, const std::vector<LayoutEvent> &Events)
{
    // The cost caption exists once a run has completed; after an abnormal end the report of a
    // single run has none.
    QString CostText;
    if (!Engine.Execpt()) {
        double PriceSum = 0;
        qint64 Gross = 0, Net = 0;
        for (const LayoutEvent &E : Events)
            AddLayoutTotals(Engine, E.Group, E.BCindex, E.RectCount, PriceSum, Gross, Net);
        CostText = CostCaption(PriceSum);
    }
    std::string Out;
    for (const QString &Line : ReportLines(Engine, CostText))
        Out += Line.toStdString() + "\n";
    return Out;
}

} // namespace cli
