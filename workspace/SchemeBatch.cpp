#include "SchemeBatch.h"

#include "RowSet.h"
#include "TypeSetClass.h"

#include <QMetaObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

qint32 intAt(const TRowSet &Rows, int Row, int Column)
{
    return Column < 0 ? 0 : Rows.data(Rows.index(Row, Column)).toInt();
}

} // namespace

QList<TSheetInput> SheetInputs(const TRowSet &Rows)
{
    QList<TSheetInput> out;
    if (!Rows.isOpen())
        return out;
    const int name = Rows.fieldIndex(u"名称"_s);
    const int length = Rows.fieldIndex(u"长度"_s);
    const int width = Rows.fieldIndex(u"宽度"_s);
    const int kerf = Rows.fieldIndex(u"刀口"_s);
    const int price = Rows.fieldIndex(u"价格"_s);
    const int grain = Rows.fieldIndex(u"纹理"_s);
    const int trim = Rows.fieldIndex(u"修边"_s);
    const int stock = Rows.fieldIndex(u"库存"_s);
    for (int r = 0; r < Rows.rowCount(); ++r) {
        TSheetInput s;
        s.Name = name < 0 ? QString() : Rows.data(Rows.index(r, name)).toString();
        s.Length = intAt(Rows, r, length);
        s.Width = intAt(Rows, r, width);
        s.Kerf = intAt(Rows, r, kerf);
        s.Price = price < 0 ? 0.0 : Rows.data(Rows.index(r, price)).toDouble();
        s.Grain = intAt(Rows, r, grain) != 0;
        s.Trim = intAt(Rows, r, trim);
        // An empty stock is no limit.
        const bool counted
            = stock >= 0 && !Rows.data(Rows.index(r, stock)).toString().trimmed().isEmpty();
        s.Stock = counted ? intAt(Rows, r, stock) : -1;
        out << s;
    }
    return out;
}

QList<TPartRow> PartInputs(const TRowSet &Rows)
{
    return Rows.isOpen() ? PartRowsFromRowSet(Rows) : QList<TPartRow>();
}

void FillEngine(TRectManage &Engine, const QList<TSheetInput> &Sheets, const QList<TPartRow> &Parts)
{
    Engine.BCTypeList().Clear();
    for (const TSheetInput &s : Sheets) {
        TMaterialType *sheet = Engine.BCTypeList().Add();
        sheet->SetText(s.Name.toStdString());
        sheet->SetBlade(s.Kerf);
        sheet->SetWidth(std::max(s.Length, s.Width));
        sheet->SetHeight(std::min(s.Length, s.Width));
        sheet->SetPrice(s.Price);
        sheet->SetEnteredLengthShorter(s.Length < s.Width);
        sheet->SetGrain(s.Grain);
        sheet->SetTrim(s.Trim);
        sheet->SetStock(s.Stock < 0 ? TMaterialType::NoStockLimit : s.Stock);
    }
    Engine.MaterialTypeList().Clear();
    for (const TPartRow &p : Parts) {
        TMaterialType *part = Engine.MaterialTypeList().Add();
        part->SetText(p.Name.toStdString());
        part->SetWidth(std::max(p.Length, p.Width));
        part->SetHeight(std::min(p.Length, p.Width));
        part->SetEnteredLengthShorter(p.Length < p.Width);
        part->SetCount(p.Quantity);
        part->SetGrain(p.Grain);
    }
}

TSchemeBatch::TSchemeBatch(
    QList<TBatchScheme> Schemes, QList<TPartRow> Parts, TBatchOptions Options, QObject *Parent)
    : QObject(Parent)
    , FSchemes(std::move(Schemes))
    , FParts(std::move(Parts))
    , FOptions(Options)
{ }

TSchemeBatch::~TSchemeBatch()
{
    FCancel = true;
    if (FWorker.joinable())
        FWorker.join();
}

void TSchemeBatch::start()
{
    if (FWorker.joinable())
        return;
    FWorker = std::thread([this] { run(); });
}

void TSchemeBatch::run()
{
    const int count = int(FSchemes.size());
    for (int i = 0; i < count && !FCancel; ++i) {
        FIndex = i;
        QMetaObject::invokeMethod(
            this, [this, i, count] { emit progress(i, count, QString()); }, Qt::QueuedConnection);
        FResults << runOne(FSchemes[i]);
    }
    FDone = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (FWorker.joinable())
                FWorker.join();
            emit finished();
        },
        Qt::QueuedConnection);
}

TBatchResult TSchemeBatch::runOne(const TBatchScheme &Scheme)
{
    TBatchResult result;
    result.Id = Scheme.Id;
    result.Name = Scheme.Name;
    if (Scheme.Sheets.isEmpty()) {
        result.Why = tr("没有提供的原材料");
        return result;
    }
    TRectManage engine;
    FillEngine(engine, Scheme.Sheets, FParts);
    engine.SetUseCost(FOptions.UseCost);
    engine.SetUseBCMaxArea(FOptions.BigSheet);
    std::vector<TLayoutEvent> events;
    engine.SetOnNewRectList([&events](int Group, int BCindex, int RectCount) {
        events.push_back({ Group, BCindex, RectCount });
    });
    if (FOptions.Deep) {
        TDeepOptions options = TDeepOptions::ForBudget(FOptions.Seconds, FOptions.WorkLimit);
        options.Cancel = &FCancel;
        const int index = FIndex;
        const int count = int(FSchemes.size());
        const double partArea = double(engine.MaterialTypeList().GetAreaSum());
        const bool cost = FOptions.UseCost;
        options.OnProgress = [this, index, count, partArea, cost](const TDeepProgress &P) {
            QString text = tr("%1 秒，目前最好：%2 张").arg(P.Seconds, 0, 'f', 1).arg(P.Sheets);
            if (cost)
                text += tr("，成本 ") + GeneralDecimal(P.Objective);
            else if (P.Objective > 0)
                text += tr("，利用率 %1%").arg(partArea / P.Objective * 100, 0, 'f', 1);
            QMetaObject::invokeMethod(
                this, [this, index, count, text] { emit progress(index, count, text); },
                Qt::QueuedConnection);
        };
        engine.GoWorkDeep(options);
    } else {
        engine.GoWork();
    }
    if (engine.Execpt()) {
        // The part kinds left short, as the results window names them after an abnormal end.
        QStringList shortOf;
        TMaterialTypeList &parts = engine.MaterialTypeList();
        for (int i = 0; i < parts.Count() && shortOf.size() < 3; ++i) {
            TMaterialType &p = *parts.Items(i);
            if (p.UsedCount() < p.Count())
                shortOf << tr("%1（%2×%3）").arg(QString::fromStdString(p.Text()))
                               .arg(p.Width())
                               .arg(p.Height());
        }
        result.Why = tr("有零件排不下：") + shortOf.join(tr("、"));
        return result;
    }
    result.Completed = true;
    result.Totals = RunTotals(engine, events);
    return result;
}
