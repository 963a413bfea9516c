#include "CutPlanText.h"

#include "CutPlan.h"

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

QString CutDirectionText(TCutDirection Direction)
{
    return Direction == TCutDirection::Rip ? u"纵切"_s : u"横切"_s;
}

QString UncuttableText()
{
    return u"此排版不能全部一刀切通"_s;
}

QStringList CutColumnTitles()
{
    return { u"序号"_s, u"阶段"_s, u"方向"_s, u"位置"_s, u"长度"_s };
}

QStringList CutRow(const TCut &Cut)
{
    return { QString::number(Cut.Number), QString::number(Cut.Stage),
        CutDirectionText(Cut.Direction), QString::number(Cut.Position),
        QString::number(Cut.Length) };
}

namespace {

QString SizeText(const TOffcut &O)
{
    return QString::number(std::max(O.Width, O.Height)) + u"×"_s
        + QString::number(std::min(O.Width, O.Height));
}

} // namespace

QString OffcutText(const TOffcut &Offcut)
{
    return (Offcut.Kept ? u"余料 "_s : u"废料 "_s) + SizeText(Offcut);
}

QStringList KeptOffcutLines(const TCutPlan &Plan)
{
    // By size, the longest (then widest) first.
    std::map<std::pair<int, int>, int, std::greater<>> BySize;
    for (const TOffcut &O : Plan.Offcuts)
        if (O.Kept)
            ++BySize[{ std::max(O.Width, O.Height), std::min(O.Width, O.Height) }];
    QStringList Lines;
    for (const auto &[Size, Count] : BySize)
        Lines << QString::number(Size.first) + u"×"_s + QString::number(Size.second) + u"  "_s
                + QString::number(Count) + u" 块"_s;
    return Lines;
}
