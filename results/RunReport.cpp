#include "RunReport.h"

#include "TypeSetClass.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

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
    Panel7 = saturatingSum(
        Panel7, saturatingSum(area,
                    -qint64(GetBladeSum(Engine, S->Blade(), Group, FirstStrip, S->Trim()))));
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
    return qint32(std::clamp<qint64>(saturatingProduct(qint64(Blade), it->second), 0,
        std::numeric_limits<qint32>::max()));
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
    return int(std::clamp<__int128>(
        q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
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

QString SheetCountCaption(qint64 Sheets)
{
    return u"原材料总数："_s + QString::number(Sheets);
}

QString UtilisationCaption(int Percent)
{
    return u"总利用率："_s + QString::number(Percent) + u'%';
}

QString CostCaption(double PriceSum)
{
    return u"总成本："_s + GeneralDecimal(PriceSum);
}

QStringList ReportLines(TRectManage &Engine, const QString &costCaption)
{
    const QString rule = u"===================="_s;
    QStringList lines;
    lines << u"===共使用 "_s + QString::number(Engine.TotalBCNum()) + u" 种原片==="_s;
    lines << u"==="_s + costCaption + u"==="_s;

    TMaterialTypeList &totals = Engine.TotalBCList();
    for (int i = 0; i < totals.Count(); ++i) {
        TMaterialType &t = *totals.Items(i);
        if (t.UsedCount() == 0)
            continue;
        lines << rule;
        lines << u"序号:"_s + QString::number(i + 1);
        lines << u"原片名称:"_s + text(t);
        lines << u"原片规格:"_s + QString::number(t.Width()) + u" x "_s
                + QString::number(t.Height());
        lines << u"原片面积:"_s + QString::number(t.GetArea());
        lines << u"用    量:"_s + QString::number(t.UsedCount());
        lines << u"金    额:"_s + QString::number(truncated(t.UsedCount() * t.Price()));
    }

    TMaterialTypeList &groups = Engine.GroupList();
    lines << u"===共有 "_s + QString::number(groups.Count()) + u" 种切割方案==="_s;
    for (int i = 0; i < groups.Count(); ++i) {
        TMaterialType &g = *groups.Items(i);
        lines << rule;
        lines << u"切割方案:"_s + QString::number(g.Group());
        lines << u"原片名称:"_s + text(g);
        lines << u"原片规格:"_s + QString::number(g.Width()) + u" x "_s
                + QString::number(g.Height());
        lines << u"原片面积:"_s + QString::number(g.MaxHieght());
        lines << u"零件面积:"_s + QString::number(g.MaxWidth());
        lines << u"利 用 率:"_s + QString::number(g.UsedCount());
        lines << u"用    量:"_s + QString::number(g.Count());
        if (std::unique_ptr<TMaterialTypeList> parts = Engine.GetMTLByGroup(g.Group())) {
            lines << u"  ===共切割 "_s + QString::number(parts->Count()) + u" 种共 "_s
                    + QString::number(parts->RectCount()) + u" 件==="_s;
            for (int k = 0; k < parts->Count(); ++k) {
                TMaterialType &p = *parts->Items(k);
                lines << u"  "_s + rule;
                lines << u"  零件名称:"_s + text(p);
                lines << u"  零件规格:"_s + QString::number(p.Width()) + u" x "_s
                        + QString::number(p.Height());
                lines << u"  零件面积:"_s + QString::number(p.GetArea());
                lines << u"  零件数量:"_s + QString::number(p.Count());
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

QString DeepGapText(const TDeepResult &R)
{
    if (!R.Complete)
        return u"未全部排下"_s;
    if (R.Optimal || R.Bound <= 0 || R.Objective <= R.Bound)
        return u"已证明最优"_s;
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

QStringList DeepReportLines(const TDeepResult &R, bool WorkLimited)
{
    QStringList lines;
    lines << u"===深度优化==="_s;
    lines << u"优化目标:"_s + (R.Cost ? u"总价格"_s : u"总面积"_s);
    if (WorkLimited)
        lines << u"计算量:"_s + QString::number(R.Work);
    else
        lines << u"计算用时:"_s + QString::number(R.Seconds, 'f', 1) + u"秒"_s;
    lines << u"结    果:"_s + objectiveText(R, R.Objective);
    // A bound rounded down is still a bound: cents are enough.
    lines << u"下    界:"_s + objectiveText(R, R.Cost ? std::floor(R.Bound * 100) / 100 : R.Bound);
    lines << u"差    距:"_s + DeepGapText(R);
    if (R.QuickResult)
        lines << u"说    明:有纹理或库存限制，采用快速排样的结果"_s;
    return lines;
}

QStringList LimitReportLines(TRectManage &Engine)
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
        lines << u"原片名称:"_s + text(s);
        lines << u"原片规格:"_s + QString::number(s.Width()) + u" x "_s
                + QString::number(s.Height());
        if (s.Grain())
            lines << u"纹    理:有"_s;
        if (s.Trim() != 0)
            lines << u"修    边:"_s + QString::number(s.Trim());
        if (s.StockLimited()) {
            lines << u"库    存:"_s + QString::number(s.Stock());
            if (TMaterialType *t = totals.Items(i))
                lines << u"用    量:"_s + QString::number(t->UsedCount());
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
        lines << u"零件名称:"_s + text(p);
        lines << u"零件规格:"_s + QString::number(turned ? shorter : longer) + u" x "_s
                + QString::number(turned ? longer : shorter);
        lines << u"纹    理:顺纹"_s;
    }
    if (!lines.isEmpty())
        lines.prepend(u"===纹理 修边 库存==="_s);
    return lines;
}

QString DeepBoundCaption(const TDeepResult &R)
{
    QString bound;
    if (R.Cost)
        bound = GeneralDecimal(std::floor(R.Bound * 100) / 100);
    else if (R.BoundSheets > 0)
        bound = QString::number(R.BoundSheets) + u"张"_s;
    else
        bound = QString::number(R.Bound / 1e6, 'f', 2) + u"m²"_s;
    const QString gap = DeepGapText(R);
    const QString tail = gap.endsWith(u'%') ? QString(u" 差距："_s + gap) : QString(u' ' + gap);
    return u"下界："_s + bound + tail;
}
