#include "ExchangeTypes.h"

#include "CutPlan.h"

#include "RowSet.h"
#include "TypeSetClass.h"

#include <QHash>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

// A coordinate along a strip, held to the int range: a strip that ran past it would be an
// engine fault, but it must not wrap into a drawing that looks plausible.
qint32 along(qint32 start, int k, qint32 size, qint32 kerf)
{
    const qint64 v = qint64(start) + qint64(k) * (qint64(size) + kerf);
    return qint32(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

} // namespace

std::vector<TLayoutSheet> LayoutsFromEngine(TRectManage &Engine)
{
    std::vector<TLayoutSheet> layouts;
    TMaterialTypeList &groups = Engine.GroupList();
    QHash<int, std::size_t> byGroup;
    for (int i = 0; i < groups.Count(); ++i) {
        TMaterialType &g = *groups.GetItem(i);
        TLayoutSheet l;
        l.Number = g.Group();
        l.SheetName = QString::fromStdString(g.Text());
        l.SheetLength = g.Width();
        l.SheetWidth = g.Height();
        l.SheetCount = g.Count();
        byGroup.insert(l.Number, layouts.size());
        layouts.push_back(std::move(l));
    }
    TMaterialTypeList &strips = Engine.CreateRectList();
    for (int i = 0; i < strips.Count(); ++i) {
        TMaterialType &s = *strips.GetItem(i);
        const auto it = byGroup.constFind(s.Group());
        if (it == byGroup.cend())
            continue;
        TLayoutSheet &l = layouts[*it];
        l.Kerf = s.Blade();
        const QString name = QString::fromStdString(s.Text());
        for (int k = 0; k < s.Count(); ++k) {
            TPlacedPart p;
            p.Name = name;
            p.PartIndex = s.Data;
            p.Width = s.Width();
            p.Height = s.Height();
            if (s.Range() == TOrient::horizontal) {
                p.X = along(s.X(), k, s.Width(), s.Blade());
                p.Y = s.Y();
            } else {
                p.X = s.X();
                p.Y = along(s.Y(), k, s.Height(), s.Blade());
            }
            l.Parts.push_back(std::move(p));
        }
    }
    return layouts;
}

void AddCutPlans(std::vector<TLayoutSheet> &Layouts, TRectManage &Engine)
{
    // The plans come in the order of GroupList, as the layouts do.
    const std::vector<TCutPlan> plans = MakeCutPlans(Engine);
    for (std::size_t i = 0; i < Layouts.size() && i < plans.size(); ++i) {
        Layouts[i].Cuts.clear();
        for (const TCut &c : plans[i].Cuts)
            Layouts[i].Cuts.push_back({ double(c.X1), double(c.Y1), double(c.X2), double(c.Y2) });
    }
}

QList<TUsageRow> UsageRows(const std::vector<TLayoutSheet> &Layouts)
{
    QList<TUsageRow> rows;
    QHash<QString, qsizetype> rowOf;
    for (const TLayoutSheet &l : Layouts) {
        const auto it = rowOf.constFind(l.SheetName);
        if (it != rowOf.cend()) {
            rows[*it].Sheets += l.SheetCount;
            continue;
        }
        rowOf.insert(l.SheetName, rows.size());
        rows.append({ l.SheetName, l.SheetLength, l.SheetWidth, l.SheetCount });
    }
    return rows;
}

QList<TLayoutPartCount> LayoutPartCounts(const TLayoutSheet &Layout)
{
    QList<TLayoutPartCount> rows;
    QHash<QString, qsizetype> rowOf;
    for (const TPlacedPart &p : Layout.Parts) {
        const auto it = rowOf.constFind(p.Name);
        if (it != rowOf.cend()) {
            ++rows[*it].PerSheet;
            continue;
        }
        rowOf.insert(p.Name, rows.size());
        rows.append({ p.Name, p.Width, p.Height, 1 });
    }
    return rows;
}

QList<TPartRow> PartRowsFromRowSet(const TRowSet &Rows)
{
    QList<TPartRow> out;
    const int name = Rows.fieldIndex(u"名称"_s);
    const int length = Rows.fieldIndex(u"长度"_s);
    const int width = Rows.fieldIndex(u"宽度"_s);
    const int quantity = Rows.fieldIndex(u"数量"_s);
    const int grain = Rows.fieldIndex(u"纹理"_s);
    auto text = [&Rows](int row, int column) {
        return column < 0 ? QString() : Rows.data(Rows.index(row, column)).toString();
    };
    auto number = [&](int row, int column) {
        const qint64 v = text(row, column).trimmed().toLongLong();
        return qint32(std::clamp<qint64>(v, INT_MIN, INT_MAX));
    };
    for (int r = 0; r < Rows.recordCount(); ++r)
        out.append({ text(r, name), number(r, length), number(r, width), number(r, quantity),
            number(r, grain) != 0 });
    return out;
}
