#include "ConfirmCutting.h"

#include "DBTypes.h"
#include "RowSet.h"
#include "Statements.h"
#include "TypeSetClass.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(ConfirmCutting)
};

bool sameSize(int a1, int a2, int b1, int b2)
{
    return (a1 == b1 && a2 == b2) || (a1 == b2 && a2 == b1);
}

} // namespace

QString OffcutNamePrefix()
{
    return u"余料 "_s;
}

QString TNewOffcut::name() const
{
    return OffcutNamePrefix() + QString::number(length) + u"×"_s + QString::number(width);
}

TRunCutting CuttingOfRun(TRectManage &Engine, const QList<TGroupPrice> &Prices,
    const TOffcutRule &Rule, double PriceRatio)
{
    TRunCutting out;
    QHash<int, double> priceOf;
    for (const TGroupPrice &p : Prices)
        priceOf.insert(p.group, p.price);
    TMaterialTypeList &groups = Engine.GroupList();
    const std::vector<TCutPlan> plans = MakeCutPlans(Engine, Rule);
    for (int i = 0; i < groups.Count(); ++i) {
        TMaterialType &g = *groups.GetItem(i);
        if (g.Count() <= 0)
            continue;
        const QString name = QString::fromStdString(g.Text());
        const int longer = std::max(g.Width(), g.Height());
        const int shorter = std::min(g.Width(), g.Height());
        auto used = std::find_if(out.used.begin(), out.used.end(), [&](const TUsedSheets &u) {
            return u.name == name && u.length == longer && u.width == shorter;
        });
        if (used == out.used.end())
            out.used.append({ name, longer, shorter, g.Count() });
        else
            used->sheets += g.Count();

        const TCutPlan &plan = plans[std::size_t(i)];
        if (!plan.Cuttable)
            continue;
        const double sheetArea = double(g.Width()) * double(g.Height());
        const double perArea
            = sheetArea > 0 ? std::max(0.0, priceOf.value(g.Group(), 0.0)) / sheetArea : 0.0;
        // The sheet's grain runs along x, or along y when its length was entered shorter.
        const bool grainAlongY = g.EnteredLengthShorter();
        for (const TOffcut &o : plan.Offcuts) {
            if (!o.Kept)
                continue;
            TNewOffcut piece;
            piece.grain = g.Grain();
            if (piece.grain) {
                piece.length = grainAlongY ? o.Height : o.Width;
                piece.width = grainAlongY ? o.Width : o.Height;
            } else {
                piece.length = std::max(o.Width, o.Height);
                piece.width = std::min(o.Width, o.Height);
            }
            const double price = PriceRatio * perArea * double(o.Width) * double(o.Height);
            piece.price
                = TCurrency::fromDouble(std::isfinite(price) ? price : 0.0).value_or(TCurrency());
            piece.pieces = g.Count();
            auto same
                = std::find_if(out.offcuts.begin(), out.offcuts.end(), [&](const TNewOffcut &n) {
                      return n.length == piece.length && n.width == piece.width
                          && n.grain == piece.grain && n.price == piece.price;
                  });
            if (same == out.offcuts.end())
                out.offcuts.append(piece);
            else
                same->pieces += piece.pieces;
        }
    }
    return out;
}

TConfirmOutcome ConfirmCutting(const TRunCutting &Cutting)
{
    TConfirmOutcome outcome;
    TRowSet library(Sql::SheetLibrary);
    library.open();
    library.disableControls();
    for (const TUsedSheets &u : Cutting.used) {
        qint64 left = u.sheets;
        bool counted = false;
        // Rows whose count reaches 0 are deleted after the walk (deleting moves the rows).
        for (int r = 1; r <= library.recordCount() && left > 0; ++r) {
            library.setRecNo(r);
            if (library.field(u"Name"_s).asString() != u.name
                || !sameSize(library.field(u"Length"_s).asInteger(),
                    library.field(u"Width"_s).asInteger(), u.length, u.width))
                continue;
            TField stock = library.field(u"Stock"_s);
            if (stock.isNull())
                continue;
            counted = true;
            const qint64 have = std::max<qint64>(0, stock.asLargeInt());
            const qint64 take = std::min(have, left);
            if (take == 0)
                continue;
            library.edit();
            stock.setAsInteger(have - take);
            library.post();
            left -= take;
            outcome.sheetsTaken += take;
        }
        if (counted && left > 0)
            outcome.shortOf << Tr::tr("%1 %2×%3：库存少 %4 张")
                                   .arg(u.name)
                                   .arg(u.length)
                                   .arg(u.width)
                                   .arg(left);
        else if (!counted)
            outcome.sheetsUncounted += left;
    }
    // Offcut pieces used up are gone from the workshop: their rows go.
    for (int r = library.recordCount(); r >= 1; --r) {
        library.setRecNo(r);
        TField stock = library.field(u"Stock"_s);
        if (!stock.isNull() && stock.asLargeInt() <= 0
            && library.field(u"Name"_s).asString().startsWith(OffcutNamePrefix())) {
            library.deleteRecord();
            ++outcome.offcutRowsRemoved;
        }
    }
    for (const TNewOffcut &o : Cutting.offcuts) {
        if (o.pieces <= 0 || o.length <= 0 || o.width <= 0)
            continue;
        // Pieces like those of an offcut row in stock join it.
        bool joined = false;
        for (int r = 1; r <= library.recordCount() && !joined; ++r) {
            library.setRecNo(r);
            TField stock = library.field(u"Stock"_s);
            if (library.field(u"Name"_s).asString() != o.name() || stock.isNull()
                || library.field(u"Length"_s).asInteger() != o.length
                || library.field(u"Width"_s).asInteger() != o.width
                || library.field(u"Price"_s).asCurrency() != o.price
                || (library.field(u"Grain"_s).asInteger() != 0) != o.grain)
                continue;
            library.edit();
            stock.setAsInteger(std::min<qint64>(stock.asLargeInt() + o.pieces, 2147483647));
            library.post();
            joined = true;
        }
        outcome.offcutsAdded += o.pieces;
        if (joined)
            continue;
        library.append();
        library.field(u"Name"_s).setAsString(o.name());
        library.field(u"Length"_s).setAsInteger(o.length);
        library.field(u"Width"_s).setAsInteger(o.width);
        library.field(u"Price"_s).setAsCurrency(o.price);
        library.field(u"Grain"_s).setAsInteger(o.grain ? 1 : 0);
        library.field(u"Trim"_s).setAsInteger(0);
        library.field(u"Stock"_s).setAsInteger(std::min<qint64>(o.pieces, 2147483647));
        library.post();
        ++outcome.offcutRowsAdded;
    }
    library.enableControls();
    // One batch: every change above reaches the file together, or none of it.
    library.updateBatch();
    return outcome;
}

QString ConfirmQuestion(const TRunCutting &Cutting)
{
    qint64 sheets = 0, pieces = 0;
    for (const TUsedSheets &u : Cutting.used)
        sheets += u.sheets;
    for (const TNewOffcut &o : Cutting.offcuts)
        pieces += o.pieces;
    return Tr::tr(
        "按这次排样下料：从原材料库存中减去用掉的 %1 张原材料，并把 %2 块余料加入原材料库。"
        "每次排样只能确认一次。要继续吗？")
        .arg(sheets)
        .arg(pieces);
}

QString ConfirmedText(const TConfirmOutcome &Outcome)
{
    QStringList lines;
    lines << Tr::tr("已确认下料：从库存中减去 %1 张原材料，加入 %2 块余料。")
                 .arg(Outcome.sheetsTaken)
                 .arg(Outcome.offcutsAdded);
    if (Outcome.sheetsUncounted > 0)
        lines << Tr::tr("另有 %1 张原材料在原材料库中没有库存数量，没有扣减。")
                     .arg(Outcome.sheetsUncounted);
    if (!Outcome.shortOf.isEmpty())
        lines << Tr::tr("以下原材料的库存不够，已减到 0：") << Outcome.shortOf;
    if (Outcome.offcutRowsRemoved > 0)
        lines << Tr::tr("用完的余料 %1 行已从原材料库删除。").arg(Outcome.offcutRowsRemoved);
    return lines.join(u'\n');
}
