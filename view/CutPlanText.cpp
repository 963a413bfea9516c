#include "CutPlanText.h"

#include "CutPlan.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(CutPlanText)
};

} // namespace

QString CutDirectionText(TCutDirection Direction)
{
    return Direction == TCutDirection::Rip ? Tr::tr("纵切") : Tr::tr("横切");
}

QString UncuttableText()
{
    return Tr::tr("此排版不能全部一刀切通");
}

QStringList CutColumnTitles()
{
    return { Tr::tr("序号"), Tr::tr("阶段"), Tr::tr("方向"), Tr::tr("位置"), Tr::tr("长度") };
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
    return (Offcut.Kept ? Tr::tr("余料 ") : Tr::tr("废料 ")) + SizeText(Offcut);
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
                + QString::number(Count) + Tr::tr(" 块");
    return Lines;
}
