// pnxcut --report: the report text of the results window, for runs checked without a screen.
#include "JobFile.h"

#include "RunReport.h"
#include "TypeSetClass.h"

#include <QStringEncoder>

namespace cli {

namespace {

// Every line encoded straight into one buffer, each followed by a line break.
std::string Encoded(const QStringList &Lines)
{
    QStringEncoder Utf8(QStringEncoder::Utf8);
    qsizetype Room = 0;
    for (const QString &Line : Lines)
        Room += Utf8.requiredSpace(Line.size()) + 1;
    std::string Out(static_cast<std::size_t>(Room), '\0');
    char *End = Out.data();
    for (const QString &Line : Lines) {
        End = Utf8.appendToBuffer(End, Line);
        *End++ = '\n';
    }
    Out.resize(static_cast<std::size_t>(End - Out.data()));
    return Out;
}

} // namespace

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
    return Encoded(ReportLines(Engine, CostText));
}

std::string ReportOfRun(
    TRectManage &Engine, const std::vector<LayoutEvent> &Events, bool Deep, bool WorkLimited)
{
    std::string Out = FormatReport(Engine, Events);
    if (Deep)
        Out += Encoded(DeepReportLines(Engine.DeepResult(), WorkLimited));
    Out += Encoded(LimitReportLines(Engine));
    return Out;
}

} // namespace cli
