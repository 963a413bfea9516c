// pnxcut --report: the report text of the results window, for runs checked without a screen.
#include "JobFile.h"

#include "RunReport.h"
#include "TypeSetClass.h"

namespace cli {

std::string FormatReport(TRectManage &Engine, const std::vector<LayoutEvent> &Events)
{
    // The cost caption exists once a run has completed; after an abnormal end the report of a
    // single run has none.
    // Only the price total of AddLayoutTotals is needed here, in the same order of sums.
    QString CostText;
    if (!Engine.Execpt()) {
        double PriceSum = 0;
        for (const LayoutEvent &E : Events)
            if (const TMaterialType *S = Engine.BCTypeList().Items(E.BCindex))
                PriceSum += S->Price() * E.RectCount;
        CostText = CostCaption(PriceSum);
    }
    // One conversion of the whole text rather than one per line.
    const QStringList Lines = ReportLines(Engine, CostText);
    if (Lines.isEmpty())
        return {};
    return (Lines.join(u'\n') + u'\n').toStdString();
}

} // namespace cli
