#include "Workshop.h"

#include "CutPlan.h"
#include "CutPlanText.h"
#include "DrawMaterial.h"
#include "LayoutFromEngine.h"
#include "LayoutSource.h"
#include "PrintLayouts.h"
#include "TypeSetClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Workshop)
};

// The page in millimetres of paper.
constexpr double Margin = 10.0;
constexpr double HeaderHeight = 15.0;
constexpr double FooterHeight = 7.0;
constexpr double Gap = 5.0; // between the drawing and the lists
constexpr double ColumnGap = 4.0; // between columns of the lists
constexpr double DimBand = 11.0; // above and left of the sheet: its dimension lines
constexpr double MinDrawing = 40.0; // the drawing never gets less than this across
constexpr double CellPad = 1.2;
constexpr double MaxNameWidth = 45.0;
constexpr double MaxColumnWidth = 90.0;

constexpr double ReferenceDpi = 600.0; // the page is planned with the text as it prints

QFont PageFont(double Points, bool Bold = false)
{
    QFont f = PrintFont();
    f.setPointSizeF(Points);
    f.setBold(Bold);
    return f;
}

QFont TableFont(bool Bold = false)
{
    return PageFont(8, Bold);
}

// Text widths and heights in millimetres, measured as the printer sets them.
class TMeasure
{
public:
    TMeasure()
        : FDevice(8, 8, QImage::Format_RGB32)
    {
        const int dpm = qRound(ReferenceDpi / 0.0254);
        FDevice.setDotsPerMeterX(dpm);
        FDevice.setDotsPerMeterY(dpm);
    }
    double Width(const QFont &F, const QString &S) const
    {
        return QFontMetricsF(F, &FDevice).horizontalAdvance(S) * 25.4 / ReferenceDpi;
    }
    double LineHeight(const QFont &F) const
    {
        return QFontMetricsF(F, &FDevice).height() * 25.4 / ReferenceDpi;
    }
    QString Elided(const QFont &F, const QString &S, double Mm) const
    {
        return QFontMetricsF(F, &FDevice)
            .elidedText(S, Qt::ElideRight, std::max(0.0, Mm) * ReferenceDpi / 25.4);
    }

private:
    QImage FDevice;
};

struct TRow
{
    enum TKind { Title, Head, Data, Note } Kind = Data;
    QStringList Cells;
    int Table = 0;
};

struct TTable
{
    QList<double> Widths; // natural widths of the cells, mm
    QList<Qt::Alignment> Align;
    int HeadRow = -1; // repeated at the top of a column it continues in
};

struct TColumn
{
    QRectF Box; // mm
    QList<int> Rows; // indices into the layout's rows
};

struct TPage
{
    int Layout = 0;
    bool Landscape = true;
    bool Continued = false; // a further page of the layout's lists
    bool HasDrawing = false;
    QRectF Sheet; // the sheet's drawing, mm (its scale: Sheet.width() / MWidth)
    QList<TColumn> Columns;
};

struct TLayoutPlan
{
    TDrawMaterial *View = nullptr;
    std::shared_ptr<const TCutPlan> Cuts;
    QString Material;
    int Utilisation = 0;
    QList<TRow> Rows;
    QList<TTable> Tables;
};

QString Size(int L, int W)
{
    return QString::number(L) + u"×"_s + QString::number(W);
}

} // namespace

struct TWorkshopDocument::TPlan
{
    TLayoutSource &Source;
    TWorkshopInfo Info;
    QPageSize Paper;
    TMeasure Measure;
    double RowHeight = 4.0;
    double TitleHeight = 5.0;
    double ColumnWidth = 60.0;
    QList<TLayoutPlan> Layouts;
    QList<TPage> Pages;
    QList<int> First;

    TPlan(TLayoutSource &S, const TWorkshopInfo &I, const QPageSize &P)
        : Source(S)
        , Info(I)
        , Paper(P)
    { }

    double Height(const TRow &R) const { return R.Kind == TRow::Title ? TitleHeight : RowHeight; }

    void AddLayout(int i);
    void SizeTables(TLayoutPlan &L) const;
    // The rows of L in columns, column k at most Height(k) high; a table that goes on in a new
    // column repeats its heading there. Returns the columns' row lists.
    QList<QList<int>> Flow(const TLayoutPlan &L, const std::function<double(int)> &Height) const;
    void PlanPages(int i);
};

void TWorkshopDocument::TPlan::AddLayout(int i)
{
    TLayoutPlan L;
    L.View = Source.LayoutView(i);
    if (!L.View)
        return;
    if (L.View->Materials()->Count() == 0)
        Source.DrawPanel(*L.View);
    L.Cuts = L.View->SharedCutPlan();
    if (!L.Cuts) {
        // A view drawn without its plan: the plan from the engine's lists, as DrawPanel makes it.
        L.Cuts = std::make_shared<const TCutPlan>(
            MakeTrimmedCutPlan(L.View->MWidth(), L.View->MHeight(), L.View->Trim(), L.View->Blade(),
                LayoutParts(Source.Engine(), L.View->Group()), OffcutRuleFromSettings()));
        L.View->SetCutPlan(L.Cuts);
    }
    if (TMaterialType *G = Source.Engine().GroupList().GetItem(i)) {
        L.Material = QString::fromStdString(G->Text());
        L.Utilisation = G->UsedCount();
    }

    // The cut list.
    const TCutPlan &P = *L.Cuts;
    L.Tables << TTable { {},
        { Qt::AlignCenter, Qt::AlignCenter, Qt::AlignCenter, Qt::AlignRight, Qt::AlignRight }, -1 };
    L.Rows << TRow { TRow::Title,
        { P.Cuttable && !P.Cuts.empty()
                ? Tr::tr("锯切顺序  共 %1 刀，%2 个阶段").arg(P.Cuts.size()).arg(P.Stages)
                : Tr::tr("锯切顺序") },
        0 };
    if (!P.Cuttable) {
        L.Rows << TRow { TRow::Note, { UncuttableText() }, 0 };
    } else if (P.Cuts.empty()) {
        L.Rows << TRow { TRow::Note, { Tr::tr("无需锯切") }, 0 };
    } else {
        L.Tables[0].HeadRow = int(L.Rows.size());
        L.Rows << TRow { TRow::Head, CutColumnTitles(), 0 };
        for (const TCut &C : P.Cuts)
            L.Rows << TRow { TRow::Data, CutRow(C), 0 };
        // What the positions are measured from, and on which side of the line the kerf goes.
        L.Rows << TRow { TRow::Note, { Tr::tr("位置：从所切板块的左边或上边量起（mm）") }, 0 };
        L.Rows << TRow { TRow::Note, { Tr::tr("锯缝在锯线的右侧或下方") }, 0 };
    }

    // The parts of one sheet by name and size as entered, in the order they first appear.
    std::map<std::tuple<QString, int, int>, int> Index;
    QList<std::pair<std::tuple<QString, int, int>, int>> Parts;
    int Total = 0;
    for (int k = 0; k < L.View->Materials()->Count(); ++k) {
        const TDrawMaterialItem &It = *L.View->Materials()->GetItem(k);
        const auto Key = std::make_tuple(It.Text(), It.EnteredLength(), It.EnteredWidth());
        const auto [At, New] = Index.try_emplace(Key, int(Parts.size()));
        if (New)
            Parts.append({ Key, 0 });
        ++Parts[At->second].second;
        ++Total;
    }
    L.Tables << TTable { {}, { Qt::AlignLeft, Qt::AlignCenter, Qt::AlignRight }, -1 };
    L.Rows << TRow { TRow::Title, { Tr::tr("零件  共 %1 件").arg(Total) }, 1 };
    L.Tables[1].HeadRow = int(L.Rows.size());
    L.Rows << TRow { TRow::Head, { Tr::tr("名称"), Tr::tr("尺寸（长×宽）"), Tr::tr("数量") }, 1 };
    for (const auto &[Key, Count] : Parts)
        L.Rows << TRow { TRow::Data,
            { std::get<0>(Key), Size(std::get<1>(Key), std::get<2>(Key)), QString::number(Count) },
            1 };

    // The offcuts worth keeping.
    L.Tables << TTable { {}, { Qt::AlignLeft }, -1 };
    L.Rows << TRow { TRow::Title, { Tr::tr("余料") }, 2 };
    const QStringList Kept = P.Cuttable ? KeptOffcutLines(P) : QStringList();
    if (Kept.isEmpty())
        L.Rows << TRow { TRow::Note, { P.Cuttable ? Tr::tr("无") : u"—"_s }, 2 };
    for (const QString &S : Kept)
        L.Rows << TRow { TRow::Note, { S }, 2 };

    SizeTables(L);
    Layouts << L;
}

void TWorkshopDocument::TPlan::SizeTables(TLayoutPlan &L) const
{
    const QFont Plain = TableFont(), Bold = TableFont(true), TitleFont = PageFont(9, true);
    for (TRow &R : L.Rows) {
        TTable &T = L.Tables[R.Table];
        if (R.Kind == TRow::Title || R.Kind == TRow::Note)
            continue;
        if (R.Table == 1 && R.Kind == TRow::Data)
            R.Cells[0] = Measure.Elided(Plain, R.Cells[0], MaxNameWidth);
        while (T.Widths.size() < R.Cells.size())
            T.Widths << 0.0;
        for (qsizetype c = 0; c < R.Cells.size(); ++c)
            T.Widths[c] = std::max(T.Widths[c],
                Measure.Width(R.Kind == TRow::Head ? Bold : Plain, R.Cells[c]) + 2 * CellPad);
    }
    for (TRow &R : L.Rows) {
        if (R.Kind == TRow::Title)
            R.Cells[0] = Measure.Elided(TitleFont, R.Cells[0], MaxColumnWidth - 2 * CellPad);
        else if (R.Kind == TRow::Note)
            R.Cells[0] = Measure.Elided(Plain, R.Cells[0], MaxColumnWidth - 2 * CellPad);
    }
}

QList<QList<int>> TWorkshopDocument::TPlan::Flow(
    const TLayoutPlan &L, const std::function<double(int)> &ColumnHeight) const
{
    QList<QList<int>> Cols(1);
    double Y = 0;
    const auto NewColumn = [&] {
        Cols.append(QList<int>());
        Y = 0;
    };
    for (int i = 0; i < L.Rows.size(); ++i) {
        const TRow &R = L.Rows[i];
        const double H = Height(R);
        const double Room = ColumnHeight(int(Cols.size()) - 1);
        if (!Cols.last().isEmpty()) {
            // A title keeps at least two rows of its table below it.
            const double Need = R.Kind == TRow::Title ? H + 2 * RowHeight : H;
            if (Y + Need > Room + 1e-9)
                NewColumn();
        }
        if (Cols.last().isEmpty() && R.Kind == TRow::Data && L.Tables[R.Table].HeadRow >= 0) {
            Cols.last() << L.Tables[R.Table].HeadRow;
            Y += RowHeight;
        }
        Cols.last() << i;
        Y += H;
    }
    return Cols;
}

void TWorkshopDocument::TPlan::PlanPages(int i)
{
    const TLayoutPlan &L = Layouts[i];
    const double MW = std::max(1, L.View->MWidth()), MH = std::max(1, L.View->MHeight());
    const QSizeF Portrait = Paper.size(QPageSize::Millimeter);
    const double Short = std::min(Portrait.width(), Portrait.height());
    const double Long = std::max(Portrait.width(), Portrait.height());

    struct TOption
    {
        bool Landscape = true;
        double Scale = -1;
        QRectF Drawing; // area of the drawing with its dimension bands
        QList<QRectF> Boxes; // the columns of the first page
        QList<QList<int>> Cols;
        double ContinuedHeight = 0; // columns of further pages
        int PerPage = 1;
    };
    TOption Best;
    const auto ScaleFor
        = [&](double W, double H) { return std::min((W - DimBand) / MW, (H - DimBand) / MH); };
    const auto Consider = [&](TOption O) {
        if (O.Scale > Best.Scale + 1e-12)
            Best = std::move(O);
    };
    // The page's body between header and footer, and how many columns of lists it holds across.
    const auto BodyOf = [&](bool Landscape) {
        const double PW = Landscape ? Long : Short, PH = Landscape ? Short : Long;
        return QRectF(Margin, Margin + HeaderHeight, PW - 2 * Margin,
            PH - 2 * Margin - HeaderHeight - FooterHeight);
    };
    const auto Across = [&](const QRectF &Body) {
        return std::max(1, int((Body.width() + ColumnGap) / (ColumnWidth + ColumnGap) + 1e-9));
    };

    for (const bool Landscape : { true, false }) {
        const QRectF Body = BodyOf(Landscape);
        const int MaxColumns = Across(Body);

        // The lists in columns right of the drawing, as few as hold them.
        const QList<QList<int>> Cols = Flow(L, [&](int) { return Body.height(); });
        for (int C = 1; C <= MaxColumns; ++C) {
            const double ListsW = C * ColumnWidth + (C - 1) * ColumnGap;
            const double DrawW = Body.width() - ListsW - Gap;
            if (DrawW < MinDrawing + DimBand)
                break;
            if (Cols.size() > C)
                continue;
            TOption O;
            O.Landscape = Landscape;
            O.Drawing = QRectF(Body.left(), Body.top(), DrawW, Body.height());
            O.Scale = ScaleFor(DrawW, Body.height());
            for (int k = 0; k < Cols.size(); ++k)
                O.Boxes << QRectF(Body.left() + DrawW + Gap + k * (ColumnWidth + ColumnGap),
                    Body.top(), ColumnWidth, Body.height());
            O.Cols = Cols;
            Consider(O);
            break;
        }
        // The lists in columns below the drawing, as low as holds them.
        for (double ListsH = RowHeight * 4; ListsH <= Body.height() - Gap - MinDrawing - DimBand;
             ListsH += RowHeight) {
            const QList<QList<int>> Cols = Flow(L, [&](int) { return ListsH; });
            if (Cols.size() > MaxColumns)
                continue;
            TOption O;
            O.Landscape = Landscape;
            const double DrawH = Body.height() - ListsH - Gap;
            O.Drawing = QRectF(Body.left(), Body.top(), Body.width(), DrawH);
            O.Scale = ScaleFor(Body.width(), DrawH);
            for (int k = 0; k < Cols.size(); ++k)
                O.Boxes << QRectF(Body.left() + k * (ColumnWidth + ColumnGap),
                    Body.top() + DrawH + Gap, ColumnWidth, ListsH);
            O.Cols = Cols;
            Consider(O);
            break;
        }
    }
    if (Best.Scale < 0) {
        // Lists longer than a page holds: the drawing takes the upper part of the first page,
        // the lists the rest and as many further pages as they need.
        for (const bool Landscape : { true, false }) {
            const QRectF Body = BodyOf(Landscape);
            const int MaxColumns = Across(Body);
            const double DrawH = Body.height() * 0.55;
            const double ListsH = Body.height() - DrawH - Gap;
            TOption O;
            O.Landscape = Landscape;
            O.Drawing = QRectF(Body.left(), Body.top(), Body.width(), DrawH);
            O.Scale = ScaleFor(Body.width(), DrawH);
            O.Cols = Flow(L, [&](int k) { return k < MaxColumns ? ListsH : Body.height(); });
            O.PerPage = MaxColumns;
            O.ContinuedHeight = Body.height();
            for (int k = 0; k < O.Cols.size(); ++k) {
                const int Slot = k < MaxColumns ? k : (k - MaxColumns) % MaxColumns;
                const double Top = k < MaxColumns ? Body.top() + DrawH + Gap : Body.top();
                O.Boxes << QRectF(Body.left() + Slot * (ColumnWidth + ColumnGap), Top, ColumnWidth,
                    k < MaxColumns ? ListsH : Body.height());
            }
            Consider(O);
        }
    }

    // The sheet at the top left of its area, right of and below its dimension bands.
    TPage Main;
    Main.Layout = i;
    Main.Landscape = Best.Landscape;
    Main.HasDrawing = true;
    const double S = std::max(Best.Scale, 0.0);
    Main.Sheet
        = QRectF(Best.Drawing.left() + DimBand, Best.Drawing.top() + DimBand, MW * S, MH * S);
    First << int(Pages.size());
    Pages << Main;
    const int OnFirst = Best.ContinuedHeight > 0 ? Best.PerPage : int(Best.Cols.size());
    for (int k = 0; k < Best.Cols.size(); ++k) {
        if (k >= OnFirst && (k - OnFirst) % Best.PerPage == 0) {
            TPage More;
            More.Layout = i;
            More.Landscape = Best.Landscape;
            More.Continued = true;
            Pages << More;
        }
        Pages.last().Columns << TColumn { Best.Boxes[k], Best.Cols[k] };
    }
}

// ---------------------------------------------------------------------------------------------

TWorkshopInfo WorkshopInfo(const QString &Project, const QString &Scheme)
{
    return { Project, Scheme, MakerLine() };
}

TWorkshopDocument::TWorkshopDocument(
    TLayoutSource &Source, const TWorkshopInfo &Info, const QPageSize &Paper)
    : FPlan(
        std::make_unique<TPlan>(Source, Info, Paper.isValid() ? Paper : QPageSize(QPageSize::A4)))
{
    TPlan &P = *FPlan;
    P.RowHeight = P.Measure.LineHeight(TableFont()) + 1.0;
    P.TitleHeight = P.Measure.LineHeight(PageFont(9, true)) + 2.0;
    for (int i = 0; i < Source.LayoutCount(); ++i)
        P.AddLayout(i);
    // One column width for every table of the run, so that the pages look alike.
    double Width = 0;
    for (const TLayoutPlan &L : std::as_const(P.Layouts))
        for (const TTable &T : L.Tables) {
            double Sum = 0;
            for (const double W : T.Widths)
                Sum += W;
            Width = std::max(Width, Sum);
        }
    for (const TLayoutPlan &L : std::as_const(P.Layouts))
        for (const TRow &R : L.Rows)
            if (R.Kind == TRow::Title || R.Kind == TRow::Note)
                Width = std::max(Width,
                    P.Measure.Width(
                        R.Kind == TRow::Title ? PageFont(9, true) : TableFont(), R.Cells[0])
                        + 2 * CellPad);
    P.ColumnWidth = std::clamp(Width, 40.0, MaxColumnWidth);
    for (int i = 0; i < P.Layouts.size(); ++i)
        P.PlanPages(i);
}

TWorkshopDocument::~TWorkshopDocument() = default;

int TWorkshopDocument::PageCount() const
{
    return int(FPlan->Pages.size());
}

int TWorkshopDocument::LayoutCount() const
{
    return int(FPlan->Layouts.size());
}

int TWorkshopDocument::FirstPage(int Layout) const
{
    return Layout >= 0 && Layout < FPlan->First.size() ? FPlan->First[Layout] : -1;
}

int TWorkshopDocument::LayoutOfPage(int Page) const
{
    return Page >= 0 && Page < PageCount() ? FPlan->Pages[Page].Layout : -1;
}

QPageLayout TWorkshopDocument::PageLayout(int Page) const
{
    const bool Landscape = Page >= 0 && Page < PageCount() ? FPlan->Pages[Page].Landscape : false;
    return QPageLayout(FPlan->Paper, Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

namespace {

// Drawing in millimetres of paper on a device of any resolution.
class TMm
{
public:
    TMm(QPainter &P)
        : FP(P)
        , FX(P.device() ? P.device()->logicalDpiX() / 25.4 : 600 / 25.4)
        , FY(P.device() ? P.device()->logicalDpiY() / 25.4 : 600 / 25.4)
    { }
    double X(double Mm) const { return Mm * FX; }
    double Y(double Mm) const { return Mm * FY; }
    QRectF R(const QRectF &Mm) const
    {
        return QRectF(X(Mm.left()), Y(Mm.top()), X(Mm.width()), Y(Mm.height()));
    }
    QPointF P(double XMm, double YMm) const { return QPointF(X(XMm), Y(YMm)); }
    void Pen(double WidthMm, const QColor &C = Qt::black)
    {
        QPen Pen(C);
        Pen.setWidthF(std::max(1.0, X(WidthMm)));
        Pen.setCapStyle(Qt::FlatCap);
        FP.setPen(Pen);
    }
    void Text(const QRectF &Mm, int Flags, const QString &S, const QFont &F)
    {
        FP.setFont(F);
        FP.setPen(Qt::black);
        FP.drawText(R(Mm), Flags, S);
    }
    QPainter &Painter() { return FP; }
    double DpiY() const { return FY * 25.4; }

private:
    QPainter &FP;
    double FX, FY;
};

// A dimension line from A to B (device pixels, horizontal or vertical) with slashes at its ends
// and at every mark between.
void DimensionLine(QPainter &P, QPointF A, QPointF B, const QList<double> &Marks, double Tick)
{
    P.drawLine(A, B);
    const bool Across = qFuzzyCompare(A.y(), B.y());
    for (const double M : Marks) {
        const QPointF C = Across ? QPointF(M, A.y()) : QPointF(A.x(), M);
        P.drawLine(C + QPointF(-Tick, Tick), C + QPointF(Tick, -Tick));
    }
}

} // namespace

void TWorkshopDocument::PaintPage(QPainter &Painter, int Page) const
{
    if (Page < 0 || Page >= PageCount())
        return;
    const TPlan &P = *FPlan;
    const TPage &Pg = P.Pages[Page];
    const TLayoutPlan &L = P.Layouts[Pg.Layout];
    const TDrawMaterial &V = *L.View;
    const QSizeF Portrait = P.Paper.size(QPageSize::Millimeter);
    const double PW = Pg.Landscape ? std::max(Portrait.width(), Portrait.height())
                                   : std::min(Portrait.width(), Portrait.height());
    const double PH = Pg.Landscape ? std::min(Portrait.width(), Portrait.height())
                                   : std::max(Portrait.width(), Portrait.height());
    TMm M(Painter);
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setBackgroundMode(Qt::TransparentMode);

    // Header: what this is and which sheet it is for.
    const double Inner = PW - 2 * Margin;
    QString Line1 = Tr::tr("车间图");
    const QFont Big = PageFont(13, true), Plain = PageFont(9), Bold = PageFont(9, true);
    const double BigW = P.Measure.Width(Big, Line1);
    M.Text(QRectF(Margin, Margin, Inner, 7), Qt::AlignLeft | Qt::AlignVCenter, Line1, Big);
    QStringList Ids;
    if (!P.Info.Project.isEmpty())
        Ids << Tr::tr("工程 %1").arg(P.Info.Project);
    if (!P.Info.Scheme.isEmpty())
        Ids << Tr::tr("方案 %1").arg(P.Info.Scheme);
    M.Text(QRectF(Margin + BigW + 5, Margin, Inner - BigW - 40, 7),
        Qt::AlignLeft | Qt::AlignVCenter, Ids.join(u"    "_s), PageFont(10));
    M.Text(QRectF(Margin, Margin, Inner, 7), Qt::AlignRight | Qt::AlignVCenter,
        Tr::tr("排版 %1 / %2%3")
            .arg(Pg.Layout + 1)
            .arg(P.Layouts.size())
            .arg(Pg.Continued ? Tr::tr("（续）") : QString()),
        PageFont(11, true));
    QStringList Facts;
    Facts << Tr::tr("原材料 ") + (L.Material.isEmpty() ? QString() : L.Material + u"  "_s)
            + Size(V.MWidth(), V.MHeight()) + u" mm"_s;
    Facts << Tr::tr("刀口 %1 mm").arg(V.Blade());
    if (V.Trim() > 0)
        Facts << Tr::tr("修边 %1 mm").arg(V.Trim());
    if (V.SheetGrain() != TGrainDirection::None)
        Facts << Tr::tr("有纹理");
    Facts << Tr::tr("本排版 %1 张").arg(V.Tag());
    Facts << Tr::tr("利用率 %1%").arg(L.Utilisation);
    M.Text(QRectF(Margin, Margin + 7.5, Inner, 5.5), Qt::AlignLeft | Qt::AlignVCenter,
        Facts.join(u"    "_s), Plain);
    M.Pen(0.3);
    Painter.drawLine(
        M.P(Margin, Margin + HeaderHeight - 1.5), M.P(PW - Margin, Margin + HeaderHeight - 1.5));

    if (Pg.HasDrawing) {
        // The drawing at the device's nearest scale (the view's whole percent of a pixel per mm).
        const double PxPerMm = M.X(1.0);
        const int Scale = std::clamp(
            int(std::floor(Pg.Sheet.width() / std::max(1, V.MWidth()) * 100.0 * PxPerMm)), 0, 501);
        const int X0 = int(std::lround(M.X(Pg.Sheet.left())));
        const int Y0 = int(std::lround(M.Y(Pg.Sheet.top())));
        TPrintPage Surface { Painter, int(M.X(PW)), int(M.Y(PH)), int(M.X(25.4)), int(M.DpiY()),
            [] {} };
        DrawLayoutOnPage(Surface, V, X0, Y0, Scale, nullptr, true);
        Painter.setBackgroundMode(Qt::TransparentMode);

        // Dimension lines: the sheet's length above it and its width left of it, and nearer the
        // sheet the strips of the first cuts, each with its size where the number fits.
        const auto Px = [&](qint64 Mm, int Origin) { return Origin + MulDiv64(Mm, Scale, 100); };
        const double Tick = M.X(0.9);
        const QFont DimFont = PageFont(7);
        const QFontMetricsF Fm(DimFont, Painter.device());
        Painter.setFont(DimFont);
        M.Pen(0.15);
        const TCutPlan &C = *L.Cuts;
        for (const bool Top : { true, false }) {
            const int Extent = Top ? V.MWidth() : V.MHeight();
            const double Outer = Top ? M.Y(Pg.Sheet.top() - 8.0) : M.X(Pg.Sheet.left() - 8.0);
            const double Near = Top ? M.Y(Pg.Sheet.top() - 3.5) : M.X(Pg.Sheet.left() - 3.5);
            const double Edge = Top ? Y0 : X0;
            // Edges of the pieces of stage 1 along this side.
            QList<std::pair<qint64, qint64>> Pieces;
            qint64 From = 0;
            for (const TCut &Cut : C.Cuts) {
                if (Cut.Stage != 1 || Cut.Vertical != Top)
                    continue;
                const qint64 At = Top ? Cut.X1 : Cut.Y1;
                if (At > From)
                    Pieces.append({ From, At });
                From = std::max<qint64>(From, At + C.Kerf);
            }
            if (!Pieces.isEmpty() && From < Extent)
                Pieces.append({ From, Extent });
            const auto Line = [&](double At, qint64 A, qint64 B, const QList<qint64> &Ends,
                                  const QList<std::pair<qint64, qint64>> &Spans) {
                const int O = Top ? X0 : Y0;
                QList<double> Marks;
                for (const qint64 E : Ends)
                    Marks << Px(E, O);
                if (Top)
                    DimensionLine(
                        Painter, QPointF(Px(A, O), At), QPointF(Px(B, O), At), Marks, Tick);
                else
                    DimensionLine(
                        Painter, QPointF(At, Px(A, O)), QPointF(At, Px(B, O)), Marks, Tick);
                for (const qint64 E : Ends) { // extension lines from the sheet
                    const double P0 = Px(E, O);
                    if (Top)
                        Painter.drawLine(QPointF(P0, Edge - M.Y(0.5)), QPointF(P0, At - M.Y(1.5)));
                    else
                        Painter.drawLine(QPointF(Edge - M.X(0.5), P0), QPointF(At - M.X(1.5), P0));
                }
                for (const auto &[S0, S1] : Spans) {
                    const QString T = QString::number(S1 - S0);
                    const double Room = Px(S1, O) - Px(S0, O);
                    if (Fm.horizontalAdvance(T) + M.X(0.6) > Room)
                        continue;
                    Painter.save();
                    if (Top) {
                        Painter.translate(Px(S0, O), At - M.Y(0.3));
                    } else {
                        Painter.translate(At - M.X(0.3), Px(S1, O));
                        Painter.rotate(-90);
                    }
                    Painter.setPen(Qt::black);
                    Painter.drawText(QRectF(0, -Fm.height(), Room, Fm.height()),
                        Qt::AlignHCenter | Qt::AlignBottom, T);
                    Painter.restore();
                }
            };
            M.Pen(0.15);
            Line(Outer, 0, Extent, { 0, Extent }, { { 0, Extent } });
            if (Pieces.size() > 1) {
                QList<qint64> Ends;
                for (const auto &[A, B] : std::as_const(Pieces))
                    Ends << A << B;
                M.Pen(0.15);
                Line(Near, 0, Extent, Ends, Pieces);
            }
        }
    }

    // The lists.
    const QFont TPlain = TableFont(), TBold = TableFont(true), TTitle = PageFont(9, true);
    for (const TColumn &Col : Pg.Columns) {
        double Y = Col.Box.top();
        for (const int RowIndex : Col.Rows) {
            const TRow &R = L.Rows[RowIndex];
            const double H = P.Height(R);
            const QRectF Row(Col.Box.left(), Y, Col.Box.width(), H);
            if (R.Kind == TRow::Title) {
                M.Text(Row.adjusted(0, 0, 0, -0.4), Qt::AlignLeft | Qt::AlignBottom, R.Cells[0],
                    TTitle);
            } else if (R.Kind == TRow::Note) {
                M.Text(Row.adjusted(CellPad, 0, -CellPad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    R.Cells[0], TPlain);
            } else {
                const TTable &T = L.Tables[R.Table];
                double Sum = 0;
                for (const double W : T.Widths)
                    Sum += W;
                const double Stretch = Sum > 0 ? Col.Box.width() / Sum : 1.0;
                if (R.Kind == TRow::Head)
                    Painter.fillRect(M.R(Row), QColor(225, 225, 225));
                double X = Row.left();
                for (qsizetype c = 0; c < R.Cells.size() && c < T.Widths.size(); ++c) {
                    const double W = T.Widths[c] * Stretch;
                    M.Text(QRectF(X + CellPad, Y, W - 2 * CellPad, H),
                        int(T.Align.value(c, Qt::AlignLeft) & Qt::AlignHorizontal_Mask)
                            | Qt::AlignVCenter,
                        R.Cells[c], R.Kind == TRow::Head ? TBold : TPlain);
                    X += W;
                }
                M.Pen(0.1, QColor(150, 150, 150));
                Painter.drawLine(M.P(Row.left(), Row.bottom()), M.P(Row.right(), Row.bottom()));
            }
            Y += H;
        }
    }

    // Footer: the maker's line and the page number.
    M.Pen(0.3);
    const double FootTop = PH - Margin - FooterHeight + 1.5;
    Painter.drawLine(M.P(Margin, FootTop), M.P(PW - Margin, FootTop));
    const QRectF Foot(Margin, FootTop + 0.5, Inner, FooterHeight - 2);
    M.Text(Foot, Qt::AlignLeft | Qt::AlignVCenter, P.Info.Maker, PageFont(8));
    M.Text(Foot, Qt::AlignRight | Qt::AlignVCenter,
        Tr::tr("第 %1 页 / 共 %2 页").arg(Page + 1).arg(PageCount()), PageFont(8));
    Painter.restore();
}

// ---------------------------------------------------------------------------------------------

namespace {

// Paints pages From..To, each page with the paper and turn it wants (the first one's set by the
// caller before the job began).
void PaintPages(TPrintPage &Page, const TWorkshopDocument &Doc, int From, int To)
{
    for (int p = From; p <= To; ++p) {
        if (p > From) {
            if (Page.SetNextLayout)
                Page.SetNextLayout(Doc.PageLayout(p));
            Page.NewPage();
        }
        Doc.PaintPage(Page.Painter, p);
    }
}

} // namespace

void PrintWorkshop(QPrinter &Printer, const TWorkshopDocument &Doc, int From, int To)
{
    if (To < 0 || To >= Doc.PageCount())
        To = Doc.PageCount() - 1;
    From = std::max(0, From);
    if (From > To)
        return;
    Printer.setFullPage(true);
    Printer.setResolution(PrintResolution);
    Printer.setDocName(PrintJobTitle());
    Printer.setPageLayout(Doc.PageLayout(From));
    QPainter Painter;
    if (!Painter.begin(&Printer))
        throw EPrintError(Tr::tr("无法开始打印作业").toStdString());
    // A job that fails halfway is cancelled rather than printed half.
    auto Cancel = qScopeGuard([&] { Printer.abort(); });
    TPrintPage Page = PageOf(Painter, Printer);
    PaintPages(Page, Doc, From, To);
    Cancel.dismiss();
    if (!Painter.end())
        throw EPrintError(Tr::tr("打印作业未能完成").toStdString());
}

void WriteWorkshopPdf(const QString &Path, const TWorkshopDocument &Doc)
{
    if (Doc.PageCount() == 0) {
        const QString Reason = Tr::tr("没有可打印的排版");
        throw EPrintError(Tr::tr("无法写入 PDF 文件“%1”：%2")
                              .arg(QDir::toNativeSeparators(Path), Reason)
                              .toStdString(),
            Reason.toStdString());
    }
    PrintToPdfFile(Path, Doc.PageLayout(0),
        [&](TPrintPage &Page) { PaintPages(Page, Doc, 0, Doc.PageCount() - 1); });
}
