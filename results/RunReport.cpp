#include "RunReport.h"

#include "TypeSetClass.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(RunReport)
};

// The report's labels in their designed wording, translated in the context RunReport.
struct TReportSource
{
    QString TReportTexts::*Field;
    const char *Text;
};

const TReportSource ReportSources[] = {
    { &TReportTexts::SheetKinds, QT_TRANSLATE_NOOP("RunReport", "===共使用 %1 种原片===") },
    { &TReportTexts::Number, QT_TRANSLATE_NOOP("RunReport", "序号:") },
    { &TReportTexts::SheetName, QT_TRANSLATE_NOOP("RunReport", "原片名称:") },
    { &TReportTexts::SheetSize, QT_TRANSLATE_NOOP("RunReport", "原片规格:") },
    { &TReportTexts::SheetArea, QT_TRANSLATE_NOOP("RunReport", "原片面积:") },
    { &TReportTexts::Quantity, QT_TRANSLATE_NOOP("RunReport", "用    量:") },
    { &TReportTexts::Amount, QT_TRANSLATE_NOOP("RunReport", "金    额:") },
    { &TReportTexts::LayoutKinds, QT_TRANSLATE_NOOP("RunReport", "===共有 %1 种切割方案===") },
    { &TReportTexts::Layout, QT_TRANSLATE_NOOP("RunReport", "切割方案:") },
    { &TReportTexts::PartArea, QT_TRANSLATE_NOOP("RunReport", "零件面积:") },
    { &TReportTexts::Utilisation, QT_TRANSLATE_NOOP("RunReport", "利 用 率:") },
    { &TReportTexts::LayoutParts, QT_TRANSLATE_NOOP("RunReport", "  ===共切割 %1 种共 %2 件===") },
    { &TReportTexts::PartName, QT_TRANSLATE_NOOP("RunReport", "  零件名称:") },
    { &TReportTexts::PartSize, QT_TRANSLATE_NOOP("RunReport", "  零件规格:") },
    { &TReportTexts::PartAreaEach, QT_TRANSLATE_NOOP("RunReport", "  零件面积:") },
    { &TReportTexts::PartCount, QT_TRANSLATE_NOOP("RunReport", "  零件数量:") },
    { &TReportTexts::DeepTitle, QT_TRANSLATE_NOOP("RunReport", "===深度优化===") },
    { &TReportTexts::Objective, QT_TRANSLATE_NOOP("RunReport", "优化目标:") },
    { &TReportTexts::ObjectivePrice, QT_TRANSLATE_NOOP("RunReport", "总价格") },
    { &TReportTexts::ObjectiveArea, QT_TRANSLATE_NOOP("RunReport", "总面积") },
    { &TReportTexts::Work, QT_TRANSLATE_NOOP("RunReport", "计算量:") },
    { &TReportTexts::Time, QT_TRANSLATE_NOOP("RunReport", "计算用时:") },
    { &TReportTexts::Seconds, QT_TRANSLATE_NOOP("RunReport", "秒") },
    { &TReportTexts::Result, QT_TRANSLATE_NOOP("RunReport", "结    果:") },
    { &TReportTexts::Bound, QT_TRANSLATE_NOOP("RunReport", "下    界:") },
    { &TReportTexts::Gap, QT_TRANSLATE_NOOP("RunReport", "差    距:") },
    { &TReportTexts::ProvenOptimal, QT_TRANSLATE_NOOP("RunReport", "已证明最优") },
    { &TReportTexts::NotAllPlaced, QT_TRANSLATE_NOOP("RunReport", "未全部排下") },
    { &TReportTexts::LimitTitle, QT_TRANSLATE_NOOP("RunReport", "===纹理 修边 库存===") },
    { &TReportTexts::LimitPartName, QT_TRANSLATE_NOOP("RunReport", "零件名称:") },
    { &TReportTexts::LimitPartSize, QT_TRANSLATE_NOOP("RunReport", "零件规格:") },
    { &TReportTexts::Grain, QT_TRANSLATE_NOOP("RunReport", "纹    理:") },
    { &TReportTexts::SheetGrain, QT_TRANSLATE_NOOP("RunReport", "有") },
    { &TReportTexts::PartGrain, QT_TRANSLATE_NOOP("RunReport", "顺纹") },
    { &TReportTexts::Trim, QT_TRANSLATE_NOOP("RunReport", "修    边:") },
    { &TReportTexts::Stock, QT_TRANSLATE_NOOP("RunReport", "库    存:") },
};

TReportTexts reportTexts(bool Translate)
{
    TReportTexts t;
    for (const TReportSource &s : ReportSources)
        t.*s.Field = Translate ? QCoreApplication::translate("RunReport", s.Text)
                               : QString::fromUtf8(s.Text);
    return t;
}

// a x b held to the 64-bit range: absurd sheet counts must not wrap into plausible totals.
qint64 saturatingProduct(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return (a < 0) != (b < 0) ? std::numeric_limits<qint64>::min()
                                  : std::numeric_limits<qint64>::max();
    return r;
}

qint64 saturatingSum(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return b < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return r;
}

QString text(TMaterialType &m)
{
    return QString::fromStdString(m.Text());
}

// A double truncated toward zero, held to the 64-bit range.
qint64 truncated(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (v <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(v);
}

} // namespace

qint32 GetBladeSum(TRectManage &Engine, int Blade, int Group, int FirstStrip, int Trim)
{
    qint64 sum = 0;
    TMaterialTypeList &strips = Engine.CreateRectList();
    const auto add = [&](const TMaterialType &r) {
        const qint64 one = qint64(Blade) * r.Count();
        if (r.X() != Trim)
            sum += one;
        if (r.Y() != Trim)
            sum += one;
        sum = std::clamp<qint64>(
            sum, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    };
    if (Group != -1 && FirstStrip <= 0) {
        // A finished run: the engine's index of each group's strips, in list order.
        for (const int i : Engine.StripsOfGroup(Group))
            add(*strips.Items(i));
        return qint32(sum);
    }
    for (int i = std::max(0, FirstStrip); i < strips.Count(); ++i) {
        const TMaterialType &r = *strips.Items(i);
        if (Group == -1 || r.Group() == Group)
            add(r);
    }
    return qint32(sum);
}

void AddLayoutTotals(TRectManage &Engine, int Group, int BCindex, int RectCount, double &PriceSum,
    qint64 &Panel4, qint64 &Panel7, int FirstStrip)
{
    TMaterialType *S = Engine.BCTypeList().Items(BCindex);
    if (!S)
        return;
    const qint64 area = saturatingProduct(S->GetArea(), RectCount);
    Panel7 = saturatingSum(Panel7,
        saturatingSum(
            area, -qint64(GetBladeSum(Engine, S->Blade(), Group, FirstStrip, S->Trim()))));
    Panel4 = saturatingSum(Panel4, area);
    PriceSum += S->Price() * RectCount;
}

TKerfUnits KerfUnitsByGroup(TRectManage &Engine)
{
    TKerfUnits units;
    TMaterialTypeList &strips = Engine.CreateRectList();
    for (int i = 0; i < strips.Count(); ++i) {
        const TMaterialType &r = *strips.Items(i);
        qint64 &u = units[r.Group()];
        u += qint64(r.Count()) * ((r.X() != 0 ? 1 : 0) + (r.Y() != 0 ? 1 : 0));
    }
    return units;
}

qint32 KerfAllowance(const TKerfUnits &Units, int Group, int Blade)
{
    const auto it = Units.find(Group);
    if (it == Units.end())
        return 0;
    // Every step of the strip-by-strip sum adds Blade x Count >= 0: holding the total to the
    // 32-bit range once is holding it at every step.
    return qint32(std::clamp<qint64>(
        saturatingProduct(qint64(Blade), it->second), 0, std::numeric_limits<qint32>::max()));
}

void AddLayoutTotals(TRectManage &Engine, int Group, int BCindex, int RectCount, double &PriceSum,
    qint64 &Panel4, qint64 &Panel7, const TKerfUnits &Units)
{
    TMaterialType *S = Engine.BCTypeList().Items(BCindex);
    if (!S)
        return;
    if (S->Blade() < 0) {
        AddLayoutTotals(Engine, Group, BCindex, RectCount, PriceSum, Panel4, Panel7);
        return;
    }
    const qint64 area = saturatingProduct(S->GetArea(), RectCount);
    Panel7 = saturatingSum(
        Panel7, saturatingSum(area, -qint64(KerfAllowance(Units, Group, S->Blade()))));
    Panel4 = saturatingSum(Panel4, area);
    PriceSum += S->Price() * RectCount;
}

qint64 RoundHalfEven(double Value)
{
    if (std::isnan(Value))
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    const double r = std::nearbyint(Value);
    if (r >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (r <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(r);
}

int TotalUtilisation(qint64 PartArea, qint64 NetSheetArea)
{
    if (NetSheetArea == 0)
        return 0;
    // Rounded from the exact ratio: a quotient in binary floating point puts 54.5 % a hair
    // above or below the half, and the half must go to the even neighbour.
    __int128 n = __int128(PartArea) * 100;
    __int128 d = NetSheetArea;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    __int128 q = n / d;
    __int128 r = n % d;
    if (r < 0) { // floor division
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        ++q;
    return int(
        std::clamp<__int128>(q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString GeneralDecimal(double Value)
{
    if (!std::isfinite(Value))
        return QString::number(Value);
    if (Value == 0)
        return u"0"_s;
    // Fifteen significant digits in scientific form, then the point put in place by hand, so
    // that large and small values never come out with an exponent.
    const QString sci = QString::number(std::fabs(Value), 'e', 14); // d.dddddddddddddde±x
    const qsizetype e = sci.indexOf(u'e');
    QString digits = sci.left(1) + sci.mid(2, e - 2);
    const int exponent = sci.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    QString out;
    const int pointAfter = exponent + 1; // digits before the decimal point
    if (pointAfter <= 0)
        out = u"0."_s + QString(-pointAfter, u'0') + digits;
    else if (pointAfter >= digits.size())
        out = digits + QString(pointAfter - digits.size(), u'0');
    else
        out = digits.left(pointAfter) + u'.' + digits.mid(pointAfter);
    return Value < 0 ? u'-' + out : out;
}

const TReportTexts &TReportTexts::Chinese()
{
    static const TReportTexts texts = reportTexts(false);
    return texts;
}

TReportTexts TReportTexts::Translated()
{
    return reportTexts(true);
}

QString SheetCountCaption(qint64 Sheets)
{
    return Tr::tr("原材料总数：%1").arg(Sheets);
}

QString UtilisationCaption(int Percent)
{
    return Tr::tr("总利用率：%1%").arg(Percent);
}

QString CostCaption(double PriceSum)
{
    return Tr::tr("总成本：%1").arg(GeneralDecimal(PriceSum));
}

QStringList ReportLines(TRectManage &Engine, const QString &costCaption, const TReportTexts &T)
{
    const QString rule = u"===================="_s;
    QStringList lines;
    lines << T.SheetKinds.arg(Engine.TotalBCNum());
    lines << u"==="_s + costCaption + u"==="_s;

    TMaterialTypeList &totals = Engine.TotalBCList();
    for (int i = 0; i < totals.Count(); ++i) {
        TMaterialType &t = *totals.Items(i);
        if (t.UsedCount() == 0)
            continue;
        lines << rule;
        lines << T.Number + QString::number(i + 1);
        lines << T.SheetName + text(t);
        lines << T.SheetSize + QString::number(t.Width()) + u" x "_s + QString::number(t.Height());
        lines << T.SheetArea + QString::number(t.GetArea());
        lines << T.Quantity + QString::number(t.UsedCount());
        lines << T.Amount + QString::number(truncated(t.UsedCount() * t.Price()));
    }

    TMaterialTypeList &groups = Engine.GroupList();
    lines << T.LayoutKinds.arg(groups.Count());
    for (int i = 0; i < groups.Count(); ++i) {
        TMaterialType &g = *groups.Items(i);
        lines << rule;
        lines << T.Layout + QString::number(g.Group());
        lines << T.SheetName + text(g);
        lines << T.SheetSize + QString::number(g.Width()) + u" x "_s + QString::number(g.Height());
        lines << T.SheetArea + QString::number(g.MaxHieght());
        lines << T.PartArea + QString::number(g.MaxWidth());
        lines << T.Utilisation + QString::number(g.UsedCount());
        lines << T.Quantity + QString::number(g.Count());
        if (std::unique_ptr<TMaterialTypeList> parts = Engine.GetMTLByGroup(g.Group())) {
            lines << T.LayoutParts.arg(parts->Count()).arg(parts->RectCount());
            for (int k = 0; k < parts->Count(); ++k) {
                TMaterialType &p = *parts->Items(k);
                lines << u"  "_s + rule;
                lines << T.PartName + text(p);
                lines << T.PartSize + QString::number(p.Width()) + u" x "_s
                        + QString::number(p.Height());
                lines << T.PartAreaEach + QString::number(p.GetArea());
                lines << T.PartCount + QString::number(p.Count());
            }
        }
    }
    return lines;
}

TRunTotals RunTotals(TRectManage &Engine, const std::vector<TLayoutEvent> &Events)
{
    TRunTotals T;
    const TKerfUnits units = KerfUnitsByGroup(Engine);
    for (const TLayoutEvent &E : Events) {
        AddLayoutTotals(
            Engine, E.Group, E.BCindex, E.RectCount, T.Price, T.GrossArea, T.NetArea, units);
        if (Engine.BCTypeList().Items(E.BCindex))
            T.Sheets += E.RectCount;
    }
    T.Utilisation = TotalUtilisation(Engine.MaterialTypeList().GetAreaSum(), T.NetArea);
    return T;
}

QString DeepGapText(const TDeepResult &R, const TReportTexts &T)
{
    if (!R.Complete)
        return T.NotAllPlaced;
    if (R.Optimal || R.Bound <= 0 || R.Objective <= R.Bound)
        return T.ProvenOptimal;
    const double gap = (R.Objective / R.Bound - 1) * 100;
    return QString::number(gap, 'f', 2) + u'%';
}

namespace {

QString objectiveText(const TDeepResult &R, double Value)
{
    if (R.Cost)
        return GeneralDecimal(Value);
    return QString::number(truncated(std::floor(Value)));
}

} // namespace

QStringList DeepReportLines(const TDeepResult &R, bool WorkLimited, const TReportTexts &T)
{
    QStringList lines;
    lines << T.DeepTitle;
    lines << T.Objective + (R.Cost ? T.ObjectivePrice : T.ObjectiveArea);
    if (WorkLimited)
        lines << T.Work + QString::number(R.Work);
    else
        lines << T.Time + QString::number(R.Seconds, 'f', 1) + T.Seconds;
    lines << T.Result + objectiveText(R, R.Objective);
    // A bound rounded down is still a bound: cents are enough.
    lines << T.Bound + objectiveText(R, R.Cost ? std::floor(R.Bound * 100) / 100 : R.Bound);
    lines << T.Gap + DeepGapText(R, T);
    return lines;
}

QStringList LimitReportLines(TRectManage &Engine, const TReportTexts &T)
{
    const QString rule = u"===================="_s;
    QStringList lines;
    TMaterialTypeList &sheets = Engine.BCTypeList();
    TMaterialTypeList &totals = Engine.TotalBCList();
    for (int i = 0; i < sheets.Count(); ++i) {
        TMaterialType &s = *sheets.Items(i);
        if (!s.Grain() && s.Trim() == 0 && !s.StockLimited())
            continue;
        lines << rule;
        lines << T.SheetName + text(s);
        lines << T.SheetSize + QString::number(s.Width()) + u" x "_s + QString::number(s.Height());
        if (s.Grain())
            lines << T.Grain + T.SheetGrain;
        if (s.Trim() != 0)
            lines << T.Trim + QString::number(s.Trim());
        if (s.StockLimited()) {
            lines << T.Stock + QString::number(s.Stock());
            if (TMaterialType *t = totals.Items(i))
                lines << T.Quantity + QString::number(t->UsedCount());
        }
    }
    TMaterialTypeList &parts = Engine.MaterialTypeList();
    for (int i = 0; i < parts.Count(); ++i) {
        TMaterialType &p = *parts.Items(i);
        if (!p.Grain())
            continue;
        // The size as entered: the length first, whichever side it is.
        const int longer = std::max(p.Width(), p.Height());
        const int shorter = std::min(p.Width(), p.Height());
        const bool turned = p.EnteredLengthShorter();
        lines << rule;
        lines << T.LimitPartName + text(p);
        lines << T.LimitPartSize + QString::number(turned ? shorter : longer) + u" x "_s
                + QString::number(turned ? longer : shorter);
        lines << T.Grain + T.PartGrain;
    }
    if (!lines.isEmpty())
        lines.prepend(T.LimitTitle);
    return lines;
}

QString DeepBoundCaption(const TDeepResult &R)
{
    QString bound;
    if (R.Cost)
        bound = GeneralDecimal(std::floor(R.Bound * 100) / 100);
    else if (R.BoundSheets > 0)
        bound = Tr::tr("%1张").arg(R.BoundSheets);
    else
        bound = QString::number(R.Bound / 1e6, 'f', 2) + u"m²"_s;
    const QString gap = DeepGapText(R, TReportTexts::Translated());
    const QString tail = gap.endsWith(u'%') ? Tr::tr(" 差距：%1").arg(gap) : QString(u' ' + gap);
    return Tr::tr("下界：%1").arg(bound) + tail;
}
