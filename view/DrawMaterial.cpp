#include "DrawMaterial.h"

#include "CutPlan.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------------------------------------
// Scaling

namespace {

int clampToInt(__int128 v)
{
    constexpr __int128 lo = std::numeric_limits<int>::min();
    constexpr __int128 hi = std::numeric_limits<int>::max();
    return int(v < lo ? lo : (v > hi ? hi : v));
}

// Pixel coordinates of the picture stay well inside the int range, so that widths and
// heights computed from them cannot overflow either.
int clampCoord(qint64 v)
{
    return TDrawCanvas::Clip(v);
}

// Half of x, truncated toward zero.
constexpr qint64 h(qint64 x)
{
    return x / 2;
}

// Collection notifications are bracketed so that an exception cannot leave them open.
class TUpdateScope
{
public:
    explicit TUpdateScope(TDrawMaterialCollection &c)
        : FCollection(c)
    {
        FCollection.BeginUpdate();
    }
    ~TUpdateScope() { FCollection.EndUpdate(); }
    TUpdateScope(const TUpdateScope &) = delete;
    TUpdateScope &operator=(const TUpdateScope &) = delete;

private:
    TDrawMaterialCollection &FCollection;
};

} // namespace

int MulDiv64(qint64 a, qint64 b, qint64 c)
{
    if (c == 0)
        return 0;
    const __int128 p = __int128(a) * b;
    __int128 q = p / c;
    const __int128 r = p % c;
    const __int128 absR = r < 0 ? -r : r;
    const __int128 absC = c < 0 ? -__int128(c) : __int128(c);
    // Halves and more go away from zero.
    if (2 * absR >= absC)
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return clampToInt(q);
}

int MulDiv(int a, int b, int c)
{
    return MulDiv64(a, b, c);
}

// ---------------------------------------------------------------------------------------------
// TDrawMaterialItem

TDrawMaterialItem::TDrawMaterialItem(TDrawMaterialCollection *Collection)
{
    SetCollection(Collection);
    SetWidth(100);
    SetHeight(100);
}

TDrawMaterialItem::~TDrawMaterialItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

template <typename T> void TDrawMaterialItem::Store(T &field, const T &value)
{
    if (!FCollection) {
        field = value;
        return;
    }
    TUpdateScope scope(*FCollection);
    field = value;
}

void TDrawMaterialItem::Assign(const TDrawMaterialItem &Source)
{
    if (&Source == this)
        return;
    SetText(Source.FText);
    SetLeft(Source.FLeft);
    SetTop(Source.FTop);
    SetWidth(Source.FWidth);
    SetHeight(Source.FHeight);
    FTag = Source.FTag;
    SetTurned(Source.FTurned);
    SetGrain(Source.FGrain);
}

QString TDrawMaterialItem::GetDisplayName() const
{
    return FText.isEmpty() ? u"TDrawMaterialItem"_s : FText;
}

void TDrawMaterialItem::SetCollection(TDrawMaterialCollection *Value)
{
    if (Value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TDrawMaterialItem::Index() const
{
    return FCollection ? int(FCollection->FItems.indexOf(this)) : -1;
}

void TDrawMaterialItem::SetIndex(int Value)
{
    if (!FCollection)
        return;
    const int current = Index();
    if (current == Value)
        return;
    if (Value < 0 || Value >= FCollection->Count())
        throw std::out_of_range("layout item index out of range");
    FCollection->MoveItem(current, Value);
}

void TDrawMaterialItem::SetText(const QString &Value)
{
    Store(FText, Value);
}

void TDrawMaterialItem::SetLeft(int Value)
{
    Store(FLeft, Value);
}

void TDrawMaterialItem::SetTop(int Value)
{
    Store(FTop, Value);
}

void TDrawMaterialItem::SetWidth(int Value)
{
    Store(FWidth, Value);
}

void TDrawMaterialItem::SetHeight(int Value)
{
    Store(FHeight, Value);
}

void TDrawMaterialItem::SetTurned(bool Value)
{
    Store(FTurned, Value);
}

void TDrawMaterialItem::SetGrain(TGrainDirection Value)
{
    Store(FGrain, Value);
}

QString TDrawMaterialItem::SizeText() const
{
    return QString::number(EnteredLength()) + u"×"_s + QString::number(EnteredWidth())
        + (FTurned ? u" ↻"_s : QString());
}

// ---------------------------------------------------------------------------------------------
// TDrawMaterialCollection

TDrawMaterialCollection::TDrawMaterialCollection(TCustomDrawMaterial *CustomDrawMaterial)
    : FCustomDrawMaterial(CustomDrawMaterial)
{ }

TDrawMaterialCollection::~TDrawMaterialCollection()
{
    // No notifications while the collection goes away.
    ++FUpdateCount;
    FCustomDrawMaterial = nullptr;
    while (!FItems.isEmpty()) {
        TDrawMaterialItem *item = FItems.takeLast();
        item->FCollection = nullptr;
        delete item;
    }
}

TDrawMaterialItem *TDrawMaterialCollection::Add()
{
    return new TDrawMaterialItem(this);
}

TDrawMaterialItem *TDrawMaterialCollection::AddItem(TDrawMaterialItem *Item, int Index)
{
    const bool arrives = Item == nullptr || Item->FCollection != this;
    const int last = Count() + (arrives ? 1 : 0) - 1;
    if (Index > last)
        throw std::out_of_range("layout item index out of range");
    if (!Item)
        Item = Add();
    else
        Item->SetCollection(this);
    Item->SetIndex(Index < 0 ? Count() - 1 : Index);
    return Item;
}

TDrawMaterialItem *TDrawMaterialCollection::Insert(int Index)
{
    return AddItem(nullptr, Index);
}

TDrawMaterialItem *TDrawMaterialCollection::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("layout item index out of range");
    return FItems.at(Index);
}

void TDrawMaterialCollection::SetItem(int Index, const TDrawMaterialItem &Item)
{
    GetItem(Index)->Assign(Item);
}

void TDrawMaterialCollection::Assign(const TDrawMaterialCollection &Source)
{
    if (&Source == this)
        return;
    TUpdateScope scope(*this);
    Clear();
    for (const TDrawMaterialItem *item : Source.FItems)
        Add()->Assign(*item);
}

void TDrawMaterialCollection::Delete(int Index)
{
    delete GetItem(Index);
}

void TDrawMaterialCollection::Clear()
{
    if (FItems.isEmpty())
        return;
    TUpdateScope scope(*this);
    while (!FItems.isEmpty())
        delete FItems.last();
}

void TDrawMaterialCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TDrawMaterialCollection::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TDrawMaterialCollection::Update(TDrawMaterialItem *)
{
    if (FCustomDrawMaterial)
        FCustomDrawMaterial->Paint();
}

void TDrawMaterialCollection::InsertItem(TDrawMaterialItem *Item)
{
    FItems.append(Item);
    Item->FCollection = this;
    Changed();
}

void TDrawMaterialCollection::RemoveItem(TDrawMaterialItem *Item)
{
    FItems.removeOne(Item);
    Item->FCollection = nullptr;
    Changed();
}

void TDrawMaterialCollection::MoveItem(int From, int To)
{
    FItems.move(From, To);
    Changed();
}

void TDrawMaterialCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

// ---------------------------------------------------------------------------------------------
// TCustomDrawMaterial: properties

TCustomDrawMaterial::TCustomDrawMaterial(QWidget *AOwner)
    : QWidget(AOwner)
    , FMaterials(std::make_unique<TDrawMaterialCollection>(this))
    , FColor(palette().color(QPalette::Base))
{
    // The hint follows the pointer over the parts, without a button held.
    setMouseTracking(true);
    resize(0, 0);
}

TCustomDrawMaterial::~TCustomDrawMaterial()
{
    // Freeing the items must not paint a widget that is going away.
    FDrawer = false;
    FMaterials.reset();
}

void TCustomDrawMaterial::Assign(const TCustomDrawMaterial &Source)
{
    if (&Source == this)
        return;
    FMaterials->Assign(*Source.FMaterials);
    SetOffSet(Source.OffSet());
    SetMWidth(Source.MWidth());
    SetMHeight(Source.MHeight());
    FTag = Source.FTag;
    FGroup = Source.FGroup;
    FBlade = Source.FBlade;
    SetSelectColor(Source.SelectColor());
    FLeftOffset = Source.FLeftOffset;
    FTopOffset = Source.FTopOffset;
    FCutPlan = Source.FCutPlan;
    FTrim = Source.FTrim;
    FSheetGrain = Source.FSheetGrain;
    SetShowCuts(Source.FShowCuts);
}

void TCustomDrawMaterial::Assign(const QObject *Source)
{
    if (const auto *view = qobject_cast<const TCustomDrawMaterial *>(Source)) {
        Assign(*view);
        return;
    }
    const QString from = Source ? QString::fromLatin1(Source->metaObject()->className()) : u"nil"_s;
    const QString message = u"Cannot assign a "_s + from + u" to a "_s
        + QString::fromLatin1(metaObject()->className());
    throw EAssignError(message.toStdString());
}

void TCustomDrawMaterial::SetSelectindex(int Value)
{
    if (Value < -1 || Value >= FMaterials->Count())
        return;
    FSelectIndex = Value;
    Paint();
}

void TCustomDrawMaterial::SetSelectColor(const QColor &Value)
{
    FSelectColor = Value;
    Paint();
}

void TCustomDrawMaterial::SetLineColor(const QColor &Value)
{
    FLineColor = Value;
    Paint();
}

void TCustomDrawMaterial::ResizeControl(qint64 w, qint64 h)
{
    // The platform has no negative sizes and a largest one.
    constexpr qint64 largest = QWIDGETSIZE_MAX;
    resize(int(std::clamp<qint64>(w, 0, largest)), int(std::clamp<qint64>(h, 0, largest)));
}

void TCustomDrawMaterial::SetOffSet(int Value)
{
    FOffSet = Value;
    const qint64 w = qint64(MWidth()) + 2 * qint64(Value);
    const qint64 hgt = qint64(MHeight()) + 2 * qint64(Value);
    ResizeControl(w, hgt);
    Paint();
}

void TCustomDrawMaterial::SetScale(int Value)
{
    if (Value < 0 || Value > 501)
        return;
    FScale = Value;
    ResizeControl(qint64(MulDiv(MWidth(), Value, 100)) + 2 * qint64(FOffSet),
        qint64(MulDiv(MHeight(), Value, 100)) + 2 * qint64(FOffSet));
    update();
}

int TCustomDrawMaterial::MWidth() const
{
    if (FMWidth == 0)
        FMWidth = width() - FOffSet;
    return FMWidth;
}

void TCustomDrawMaterial::SetMWidth(int Value)
{
    FMWidth = Value;
    ResizeControl(qint64(Value) + 2 * qint64(FOffSet), height());
}

int TCustomDrawMaterial::MHeight() const
{
    if (FMHeight == 0)
        FMHeight = height() - FOffSet;
    return FMHeight;
}

void TCustomDrawMaterial::SetMHeight(int Value)
{
    FMHeight = Value;
    ResizeControl(width(), qint64(Value) + 2 * qint64(FOffSet));
}

void TCustomDrawMaterial::SetCutPlan(std::shared_ptr<const TCutPlan> Plan)
{
    FCutPlan = std::move(Plan);
    if (FShowCuts)
        Paint();
}

void TCustomDrawMaterial::SetTrim(int Value)
{
    if (Value == FTrim)
        return;
    FTrim = Value;
    Paint();
}

void TCustomDrawMaterial::SetSheetGrain(TGrainDirection Value)
{
    if (Value == FSheetGrain)
        return;
    FSheetGrain = Value;
    Paint();
}

void TCustomDrawMaterial::SetShowCuts(bool Value)
{
    FShowCuts = Value;
    Paint();
}

void TCustomDrawMaterial::SetGuage(bool Value)
{
    FGuage = Value;
    Paint();
}

void TCustomDrawMaterial::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    Paint();
}

void TCustomDrawMaterial::SetDrawer(bool Value)
{
    FDrawer = Value;
    Paint();
}

void TCustomDrawMaterial::SetColor(const QColor &Value)
{
    FColor = Value;
    update();
}

void TCustomDrawMaterial::SetHint(const QString &Value)
{
    FHint = Value;
    QString lines = Value;
    lines.replace(QChar(13), QChar(u'\n'));
    // As plain text, so a part name that looks like markup is shown as typed.
    setToolTip(lines.isEmpty() ? QString() : Qt::convertFromPlainText(lines, Qt::WhiteSpacePre));
    // An open hint window follows the pointer from part to part.
    if (FShowHint && QToolTip::isVisible() && underMouse())
        QToolTip::showText(QCursor::pos(), toolTip(), this);
}

void TCustomDrawMaterial::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    update();
}

void TCustomDrawMaterial::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    update();
}

void TCustomDrawMaterial::SetBevelWidth(int Value)
{
    if (Value < 1)
        return;
    FBevelWidth = Value;
    update();
}

void TCustomDrawMaterial::SetBorderWidth(int Value)
{
    if (Value < 0)
        return;
    FBorderWidth = Value;
    update();
}

// ---------------------------------------------------------------------------------------------
// Geometry

TPixelRect TCustomDrawMaterial::GetRect() const
{
    return { clampCoord(FLeftOffset), clampCoord(FTopOffset),
        clampCoord(qint64(FLeftOffset) + width()), clampCoord(qint64(FTopOffset) + height()) };
}

TPixelRect TCustomDrawMaterial::MulDivRect(const TPixelRect &Rect) const
{
    return { MulDiv(Rect.Left, FScale, 100), MulDiv(Rect.Top, FScale, 100),
        MulDiv(Rect.Right, FScale, 100), MulDiv(Rect.Bottom, FScale, 100) };
}

TPixelRect TCustomDrawMaterial::SheetRect() const
{
    const TPixelRect r = GetRect();
    return { clampCoord(qint64(r.Left) + FOffSet), clampCoord(qint64(r.Top) + FOffSet),
        clampCoord(qint64(r.Right) - FOffSet), clampCoord(qint64(r.Bottom) - FOffSet) };
}

TPixelRect TCustomDrawMaterial::PartPixels(const TDrawMaterialItem &Item, int dx, int dy) const
{
    // Each edge on its own, so that neighbours in mm share their pixel edge.
    const qint64 left = Item.Left();
    const qint64 top = Item.Top();
    return { clampCoord(qint64(MulDiv64(left, FScale, 100)) + dx),
        clampCoord(qint64(MulDiv64(top, FScale, 100)) + dy),
        clampCoord(qint64(MulDiv64(left + Item.Width(), FScale, 100)) + dx),
        clampCoord(qint64(MulDiv64(top + Item.Height(), FScale, 100)) + dy) };
}

TPixelRect TCustomDrawMaterial::PartRect(int Index) const
{
    const TDrawMaterialItem &item = *FMaterials->GetItem(Index);
    return PartPixels(
        item, clampCoord(qint64(FOffSet) + FLeftOffset), clampCoord(qint64(FOffSet) + FTopOffset));
}

int TCustomDrawMaterial::PartAt(QPoint P) const
{
    // The hit area is the part's full pixel rectangle in control coordinates: the frames do
    // not shrink it and the surface origin plays no part.
    for (int i = 0; i < FMaterials->Count(); ++i) {
        if (PartPixels(*FMaterials->GetItem(i), FOffSet, FOffSet).Contains(P))
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TCustomDrawMaterial::Paint()
{
    if (!FDrawer)
        return;
    if (FPrinter) {
        if (FPrinterCanvas && FPrinterCanvas->isActive())
            PaintTo(*FPrinterCanvas);
        return;
    }
    // Synchronous, like every property change asks; a hidden control has nothing to show.
    repaint();
}

void TCustomDrawMaterial::paintEvent(QPaintEvent *event)
{
    if (!FDrawer)
        return;
    const QRect area = event->rect();
    if (area.isEmpty())
        return;
    // The exposed part of the picture is drawn off screen and copied in one step, so a
    // repaint never shows half a picture; only that part, so a large zoom costs no more
    // memory than the screen shows.
    const qreal ratio = devicePixelRatioF();
    QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    {
        QPainter offscreen(&image);
        offscreen.translate(-area.topLeft());
        PaintTo(offscreen);
    }
    QPainter painter(this);
    painter.drawImage(area.topLeft(), image);
}

QImage TCustomDrawMaterial::RenderImage() const
{
    const TPixelRect r = GetRect();
    QImage image(qMax(0, r.Right), qMax(0, r.Bottom), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintTo(painter);
    return image;
}

void TCustomDrawMaterial::PaintTo(QPainter &Painter) const
{
    TDrawCanvas canvas(Painter);
    TPixelRect r = GetRect();
    canvas.SetBrushColor(FPrinter ? QColor(Qt::white) : FColor);
    canvas.SetBrushClear(false);
    canvas.FillRect(r);
    canvas.SetFontColor(Qt::black);
    FrameSet(canvas, r);
    DrawinRect(canvas);
    DrawSheetMarks(canvas);
    // The parts' texts, which the cut numbers keep clear of where they can.
    QList<QRect> texts;
    DrawMaterials(canvas, FShowCuts ? &texts : nullptr);
    if (FShowCuts)
        DrawCutPlan(canvas, texts);
    // Paper shows neither selection nor marks; Selectindex may also lag behind a collection
    // that was replaced or shortened, and then there is nothing to show.
    if (!FPrinter && !FReadOnly && FSelectIndex >= 0 && FSelectIndex < FMaterials->Count())
        DrawSelectMaterial(canvas);
}

void TCustomDrawMaterial::Frame(TDrawCanvas &Canvas, TPixelRect &R, const QColor &TopColor,
    const QColor &BottomColor, int Width) const
{
    R.Right -= 1;
    R.Bottom -= 1;
    for (int i = 0; i < Width; ++i) {
        Canvas.SetPenColor(TopColor);
        Canvas.MoveTo(R.Left, R.Bottom);
        Canvas.LineTo(R.Left, R.Top);
        Canvas.LineTo(R.Right, R.Top);
        Canvas.SetPenColor(BottomColor);
        Canvas.LineTo(R.Right, R.Bottom);
        Canvas.LineTo(qint64(R.Left) - 1, R.Bottom);
        R = R.Inflated(-1);
    }
    R.Right += 1;
    R.Bottom += 1;
}

void TCustomDrawMaterial::FrameSet(TDrawCanvas &Canvas, TPixelRect &R) const
{
    // Lowered: button shadow at top and left, button highlight at bottom and right.
    const QColor shadow = FPrinter ? QColor(Qt::black) : palette().color(QPalette::Dark);
    const QColor highlight = FPrinter ? QColor(Qt::black) : palette().color(QPalette::Light);
    const auto bevel = [&](TBevelCut kind) {
        if (kind == TBevelCut::bvNone)
            return;
        if (kind == TBevelCut::bvLowered)
            Frame(Canvas, R, shadow, highlight, FBevelWidth);
        else
            Frame(Canvas, R, highlight, shadow, FBevelWidth);
    };
    const QColor border = FPrinter ? QColor(Qt::black) : FColor;
    bevel(FBevelOuter);
    Frame(Canvas, R, border, border, FBorderWidth);
    bevel(FBevelInner);
}

void TCustomDrawMaterial::DrawinRect(TDrawCanvas &Canvas) const
{
    TPixelRect s = SheetRect();
    FrameSet(Canvas, s);
    if (!FGuage || FReadOnly || FPrinter)
        return;

    // Length under the sheet, width to its right, each between dimension lines with a gap
    // for the number. The width reads upwards along its line: written across, a four-digit
    // width is wider than the margin and was cut off at the control's edge ("122" for 1220).
    const qint64 L = s.Left, T = s.Top, R = s.Right, B = s.Bottom, O = FOffSet;
    const QString w = QString::number(MWidth());
    const QString hgt = QString::number(MHeight());
    const qint64 mHeight = Canvas.TextHeight(u"M"_s);
    const qint64 hgtWidth = Canvas.TextWidth(hgt);
    const qint64 a = std::max<qint64>(0, h(B - T - hgtWidth));
    const qint64 b = h(R - L - Canvas.TextWidth(w));

    Canvas.SetPenColor(FLineColor);
    Canvas.MoveTo(R + O, T - 2);
    Canvas.LineTo(R, T - 2);
    Canvas.MoveTo(R + O, B);
    Canvas.LineTo(R, B);
    Canvas.MoveTo(R + h(O), T - 2);
    Canvas.LineTo(R + h(O), T + a - 4);
    Canvas.MoveTo(R + h(O), B);
    Canvas.LineTo(R + h(O), B - a);
    Canvas.MoveTo(L - 2, B + O);
    Canvas.LineTo(L - 2, B);
    Canvas.MoveTo(R, B + O);
    Canvas.LineTo(R, B);
    Canvas.MoveTo(L - 2, B + h(O));
    Canvas.LineTo(L + b - 4, B + h(O));
    Canvas.MoveTo(R, B + h(O));
    Canvas.LineTo(R - b + 2, B + h(O));
    Canvas.SetBrushClear(true);
    Canvas.TextOut(L + b, B + h(O - mHeight), w);
    QPainter &painter = Canvas.Painter();
    painter.save();
    painter.translate(R + h(O - mHeight), T + a + hgtWidth);
    painter.rotate(-90);
    Canvas.TextOut(0, 0, hgt);
    painter.restore();
}

void TCustomDrawMaterial::DrawSheetMarks(TDrawCanvas &Canvas) const
{
    if (FTrim <= 0 && FSheetGrain == TGrainDirection::None)
        return;
    QPainter &painter = Canvas.Painter();
    const TPixelRect sheet = SheetRect();
    const int dx = clampCoord(qint64(FOffSet) + FLeftOffset);
    const int dy = clampCoord(qint64(FOffSet) + FTopOffset);
    // The area kept, each edge scaled on its own like the parts'.
    const qint64 t = std::max(0, FTrim);
    const TPixelRect kept { clampCoord(qint64(MulDiv64(t, FScale, 100)) + dx),
        clampCoord(qint64(MulDiv64(t, FScale, 100)) + dy),
        clampCoord(qint64(MulDiv64(qint64(MWidth()) - t, FScale, 100)) + dx),
        clampCoord(qint64(MulDiv64(qint64(MHeight()) - t, FScale, 100)) + dy) };
    const double dpi = painter.device() ? painter.device()->logicalDpiX() : 96.0;
    const double dots = FPrinter ? dpi / 96.0 : 1.0;
    if (FSheetGrain != TGrainDirection::None)
        DrawGrainLines(painter, FTrim > 0 ? kept : sheet, FSheetGrain,
            FPrinter ? QColor(200, 200, 200) : QColor(215, 195, 160), 8 * dots);
    if (FTrim <= 0)
        return;
    // The trim: a hatched band between the sheet's edge and the area kept, with a line along
    // the area's edge.
    painter.save();
    const QColor ink = FPrinter ? QColor(110, 110, 110) : QColor(120, 120, 120);
    QBrush hatch(ink, Qt::FDiagPattern);
    if (FPrinter)
        hatch.setTransform(QTransform::fromScale(dots, dots));
    QRegion band(sheet.toQRect());
    band -= QRegion(kept.toQRect());
    painter.setClipRegion(band, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(hatch);
    painter.drawRect(sheet.toQRect());
    painter.restore();
    Canvas.SetPenColor(ink);
    Canvas.MoveTo(kept.Left, kept.Top);
    Canvas.LineTo(kept.Right, kept.Top);
    Canvas.LineTo(kept.Right, kept.Bottom);
    Canvas.LineTo(kept.Left, kept.Bottom);
    Canvas.LineTo(kept.Left, kept.Top);
}

void TCustomDrawMaterial::DrawGrainLines(QPainter &Painter, const TPixelRect &r,
    TGrainDirection Direction, const QColor &Colour, double Gap) const
{
    const qint64 W = qint64(r.Right) - r.Left, H = qint64(r.Bottom) - r.Top;
    if (W <= 2 || H <= 2 || Gap < 1 || Direction == TGrainDirection::None)
        return;
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setClipRect(r.toQRect(), Qt::IntersectClip);
    Painter.setPen(QPen(Colour, 0));
    const bool alongX = Direction == TGrainDirection::AlongX;
    const qint64 across = alongX ? H : W;
    // Lines a gap apart, the first half a gap in; a very large picture keeps to 4000 lines.
    const double step = std::max(Gap, double(across) / 4000.0);
    for (double at = step / 2; at < double(across); at += step) {
        const int p = int(at);
        if (alongX)
            Painter.drawLine(r.Left, r.Top + p, r.Right - 1, r.Top + p);
        else
            Painter.drawLine(r.Left + p, r.Top, r.Left + p, r.Bottom - 1);
    }
    Painter.restore();
}

void TCustomDrawMaterial::DrawMaterials(TDrawCanvas &Canvas, QList<QRect> *Texts) const
{
    const double dpi = Canvas.Painter().device() ? Canvas.Painter().device()->logicalDpiX() : 96.0;
    const double dots = FPrinter ? dpi / 96.0 : 1.0;
    const QColor background = FPrinter ? QColor(Qt::white) : FColor;
    for (int i = 0; i < FMaterials->Count(); ++i) {
        const TDrawMaterialItem &item = *FMaterials->GetItem(i);
        TPixelRect r = PartRect(i);
        // On a sheet with grain the part covers the sheet's lines; a part held to its grain
        // shows its own.
        if (FSheetGrain != TGrainDirection::None) {
            const QColor keep = Canvas.BrushColor();
            const bool clear = Canvas.BrushClear();
            Canvas.SetBrushColor(background);
            Canvas.SetBrushClear(false);
            Canvas.FillRect(r);
            Canvas.SetBrushColor(keep);
            Canvas.SetBrushClear(clear);
        }
        if (item.Grain() != TGrainDirection::None)
            DrawGrainLines(Canvas.Painter(), r, item.Grain(),
                FPrinter ? QColor(170, 170, 170) : QColor(200, 160, 110), 8 * dots);
        FrameSet(Canvas, r);
        Canvas.SetBrushClear(true);
        DrawPartTexts(Canvas, r, item, Texts);
        if (FPrinter)
            Canvas.SetBrushClear(false);
    }
}

void TCustomDrawMaterial::DrawPartTexts(
    TDrawCanvas &Canvas, const TPixelRect &r, const TDrawMaterialItem &item, QList<QRect> *Texts)
{
    // A part carries its name in the middle and its size as entered in the top left corner,
    // on screen and on paper alike. A printout is read at the saw: texts that run into each
    // other or over the neighbours are worse than none. So where the two do not fit that way,
    // they go on one line, or along a tall narrow part; then the name alone, then the size
    // alone; a part too small for any of them stays blank (the part list names it, the hint
    // on screen too).
    const QString name = item.Text();
    const QString size = u"  "_s + item.SizeText();
    const qint64 W = qint64(r.Right) - r.Left, H = qint64(r.Bottom) - r.Top;
    const qint64 tn = Canvas.TextWidth(name), ts = Canvas.TextWidth(size);
    const qint64 th = Canvas.TextHeight(name);

    // As laid out by default: the name centred, the size at the corner, neither overlapping.
    const qint64 nameLeft = h(W - tn), nameTop = h(H - th);
    const bool nameInside = tn <= W && th <= H;
    const bool sizeInside = ts <= W && th <= H;
    const bool apart = name.isEmpty() || nameTop >= th || nameLeft >= ts;
    // Writes s at (x, y) of the part's box, or of the part turned a quarter left (reading
    // upwards), and notes where it went.
    QPainter &painter = Canvas.Painter();
    const auto put = [&](bool turned, qint64 x, qint64 y, const QString &s) {
        Canvas.TextOut(x, y, s);
        if (Texts && !s.isEmpty()) {
            const qint64 tw = Canvas.TextWidth(s);
            *Texts << (turned ? QRect(int(r.Left + y), int(r.Bottom - x - tw), int(th), int(tw))
                              : QRect(int(r.Left + x), int(r.Top + y), int(tw), int(th)));
        }
    };
    if (nameInside && sizeInside && apart) {
        painter.save();
        painter.translate(r.Left, r.Top);
        put(false, nameLeft, nameTop, name);
        put(false, 0, 0, size);
        painter.restore();
        return;
    }

    // Writes with the texts' top left at (x, y) of a box w x h that is the part itself or the
    // part turned a quarter left (reading upwards), as `turned` says.
    const auto write = [&](bool turned, const auto &texts) {
        painter.save();
        if (turned) {
            painter.translate(r.Left, r.Bottom);
            painter.rotate(-90);
        } else {
            painter.translate(r.Left, r.Top);
        }
        texts(turned ? H : W, turned ? W : H,
            [&](qint64 x, qint64 y, const QString &s) { put(turned, x, y, s); });
        painter.restore();
    };
    const bool tall = H > W;
    for (const bool turned : { false, true }) {
        if (turned && !tall)
            break;
        const qint64 w = turned ? H : W, hgt = turned ? W : H;
        if (hgt >= 2 * th && w >= std::max(tn, ts)) { // two lines: size above, name below
            write(turned, [&](qint64 bw, qint64 bh, const auto &out) {
                out(0, 0, size);
                out(h(bw - tn), th + h(bh - th - th), name);
            });
            return;
        }
        if (hgt >= th && w >= ts + tn) { // one line: size, then the name in what is left
            write(turned, [&](qint64 bw, qint64 bh, const auto &out) {
                out(0, h(bh - th), size);
                out(ts + h(bw - ts - tn), h(bh - th), name);
            });
            return;
        }
    }
    for (const QString *only : { &name, &size }) {
        const qint64 tw = Canvas.TextWidth(*only);
        for (const bool turned : { false, true }) {
            const qint64 w = turned ? H : W, hgt = turned ? W : H;
            if (only->isEmpty() || tw > w || th > hgt || (turned && !tall))
                continue;
            write(turned,
                [&](qint64 bw, qint64 bh, const auto &out) { out(h(bw - tw), h(bh - th), *only); });
            return;
        }
    }
}

void TCustomDrawMaterial::DrawSelectMaterial(TDrawCanvas &Canvas) const
{
    const TDrawMaterialItem &item = *FMaterials->GetItem(FSelectIndex);
    TPixelRect r = PartRect(FSelectIndex);
    Canvas.SetBrushColor(FSelectColor);
    Canvas.FillRect(r);
    if (item.Grain() != TGrainDirection::None)
        DrawGrainLines(Canvas.Painter(), r, item.Grain(), QColor(200, 160, 110), 8);
    FrameSet(Canvas, r);
    Canvas.SetBrushClear(true);
    DrawPartTexts(Canvas, r, item, nullptr);
    if (!FGuage)
        return;

    // The part's own marks: its length above it, its width to its left, drawn over the
    // neighbours in the same margin width as the sheet's.
    const qint64 L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, O = FOffSet;
    const QString w = QString::number(item.Width());
    const QString hgt = QString::number(item.Height());
    const qint64 mWidth = Canvas.TextWidth(u"M"_s);
    const qint64 mHeight = Canvas.TextHeight(u"M"_s);
    const qint64 a = h(B - T - mWidth);
    const qint64 b = h(R - L - Canvas.TextWidth(w));

    Canvas.SetPenColor(FLineColor);
    Canvas.MoveTo(L - O, T - 2);
    Canvas.LineTo(L, T - 2);
    Canvas.MoveTo(L - O, B);
    Canvas.LineTo(L, B);
    Canvas.MoveTo(L - h(O), T - 2);
    Canvas.LineTo(L - h(O), T + a - 4);
    Canvas.MoveTo(L - h(O), B);
    Canvas.LineTo(L - h(O), B - a);
    Canvas.MoveTo(L - 2, T - O);
    Canvas.LineTo(L - 2, T);
    Canvas.MoveTo(R, T - O);
    Canvas.LineTo(R, T);
    Canvas.MoveTo(L - 2, T - h(O));
    Canvas.LineTo(L + b - 4, T - h(O));
    Canvas.MoveTo(R, T - h(O));
    Canvas.LineTo(R - b + 2, T - h(O));
    Canvas.TextOut(L + b, T - h(mHeight + O), w);
    Canvas.TextOut(L - O, T + h(B - T - mHeight), hgt);
}

void TCustomDrawMaterial::DrawCutPlan(TDrawCanvas &Canvas, const QList<QRect> &Texts) const
{
    const TCutPlan *plan = FCutPlan.get();
    if (!plan)
        return;
    QPainter &painter = Canvas.Painter();
    const qint64 dx = qint64(FOffSet) + FLeftOffset, dy = qint64(FOffSet) + FTopOffset;
    const auto px = [&](qint64 mm, qint64 d) { return clampCoord(MulDiv64(mm, FScale, 100) + d); };
    const QColor ink = FPrinter ? QColor(Qt::black) : QColor(200, 0, 0);
    // Lengths on paper follow its resolution; on screen they are pixels.
    const double dpi = painter.device() ? painter.device()->logicalDpiX() : 96.0;
    const auto dots = [&](double screenPixels) {
        return FPrinter ? std::max(1, int(std::lround(screenPixels * dpi / 96.0)))
                        : int(screenPixels);
    };
    const int pad = dots(2);
    const qint64 th = Canvas.TextHeight(u"M"_s);
    const auto label = [&](const QRect &box, const QString &text, const QColor &frame) {
        painter.save();
        painter.setPen(QPen(frame, dots(1)));
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        painter.restore();
        Canvas.SetBrushClear(true);
        Canvas.SetFontColor(frame);
        Canvas.TextOut(box.left() + pad, box.top() + pad, text);
        Canvas.SetFontColor(Qt::black);
    };

    const TPixelRect sheet = SheetRect();
    if (!plan->Cuttable) {
        const QString text = tr("此排版不能全部一刀切通");
        const QRect box(sheet.Left + dots(6), sheet.Top + dots(6), Canvas.TextWidth(text) + 2 * pad,
            int(th) + 2 * pad);
        label(box, text, ink);
        return;
    }

    // The offcuts worth keeping, shaded, with their sizes where they fit.
    const QColor keep = FPrinter ? QColor(150, 150, 150) : QColor(40, 150, 70);
    for (const TOffcut &o : plan->Offcuts) {
        if (!o.Kept)
            continue;
        const TPixelRect r { px(o.X, dx), px(o.Y, dy), px(qint64(o.X) + o.Width, dx),
            px(qint64(o.Y) + o.Height, dy) };
        painter.save();
        painter.setPen(Qt::NoPen);
        QBrush hatch(keep, Qt::BDiagPattern);
        if (FPrinter) // the pattern's own spacing is a few device dots: too fine on paper
            hatch.setTransform(QTransform::fromScale(dpi / 96.0, dpi / 96.0));
        painter.setBrush(hatch);
        painter.drawRect(r.toQRect());
        painter.restore();
        const qint64 W = qint64(r.Right) - r.Left, H = qint64(r.Bottom) - r.Top;
        const QString sized = tr("余料 ") + QString::number(std::max(o.Width, o.Height)) + u"×"_s
            + QString::number(std::min(o.Width, o.Height));
        for (const QString &text : { sized, tr("余料") }) {
            const qint64 tw = Canvas.TextWidth(text);
            if (tw + 2 * pad > W || th + 2 * pad > H)
                continue;
            label(QRect(int(r.Left + h(W - tw) - pad), int(r.Top + h(H - th) - pad),
                      int(tw + 2 * pad), int(th + 2 * pad)),
                text, keep.darker(150));
            break;
        }
    }

    // Every cut where its kerf starts, then its number on it, each number where it covers the
    // fewest numbers already written and then the fewest part texts (along the line from its
    // middle outwards), so that no number is read as part of a size.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink, dots(2), Qt::SolidLine, Qt::FlatCap));
    for (const TCut &c : plan->Cuts)
        painter.drawLine(QPoint(px(c.X1, dx), px(c.Y1, dy)), QPoint(px(c.X2, dx), px(c.Y2, dy)));
    painter.restore();
    QList<QRect> placed;
    const bool avoid = plan->Cuts.size() <= 400; // beyond that the search costs more than it helps
    for (const TCut &c : plan->Cuts) {
        const QString text = QString::number(c.Number);
        const int w = Canvas.TextWidth(text) + 2 * pad, hgt = int(th) + 2 * pad;
        const QPoint a(px(c.X1, dx), px(c.Y1, dy)), b(px(c.X2, dx), px(c.Y2, dy));
        QRect best;
        int bestHits = -1;
        for (const double t : { 0.5, 0.3, 0.7, 0.15, 0.85 }) {
            const QPoint m(a.x() + int((b.x() - a.x()) * t), a.y() + int((b.y() - a.y()) * t));
            const QRect box(m.x() - w / 2, m.y() - hgt / 2, w, hgt);
            int hits = 0;
            if (avoid) {
                for (const QRect &q : std::as_const(placed))
                    hits += q.intersects(box) ? 2 * int(Texts.size() + 1) : 0;
                for (const QRect &q : Texts)
                    hits += q.intersects(box) ? 1 : 0;
            }
            if (bestHits < 0 || hits < bestHits) {
                best = box;
                bestHits = hits;
            }
            if (hits == 0 || !avoid)
                break;
        }
        label(best, text, ink);
        if (avoid)
            placed << best;
    }
}

// ---------------------------------------------------------------------------------------------
// Mouse and hint

QString TCustomDrawMaterial::HintText(const TDrawMaterialItem &Item)
{
    const QChar cr(13);
    return tr("名称：") + Item.Text() + cr + tr("长度：") + QString::number(Item.EnteredLength()) + cr
        + tr("宽度：") + QString::number(Item.EnteredWidth())
        + (Item.Turned() ? cr + tr("↻ 已旋转") : QString());
}

void TCustomDrawMaterial::PointToSelectIndex(QPoint P)
{
    const int i = PartAt(P);
    if (i >= 0)
        SetSelectindex(i);
}

void TCustomDrawMaterial::PointToHint(QPoint P)
{
    const int i = PartAt(P);
    if (i >= 0)
        SetHint(HintText(*FMaterials->GetItem(i)));
}

void TCustomDrawMaterial::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        PointToSelectIndex(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TCustomDrawMaterial::mouseMoveEvent(QMouseEvent *event)
{
    PointToHint(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

bool TCustomDrawMaterial::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !FShowHint) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
