#pragma once
// The layout view: one sheet with its placed parts drawn to scale inside a pixel margin that
// carries the dimension marks, on screen (a self-painting widget) or on a printer page.
//
// Lengths of the sheet and of the parts are whole millimetres, x to the right from the
// sheet's left edge, y downwards from its top edge. Pixel = MulDiv(mm, Scale, 100), every
// edge scaled on its own, so parts that touch in millimetres share their pixel edge.
//
// Every change of an item, of the collection or of most view properties repaints the whole
// view at once. Fill or copy a view with Drawer switched off and switch it on afterwards;
// set Scale last, because writing MWidth, MHeight or OffSet puts the control back to the
// unscaled size.

#include "DrawCanvas.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <stdexcept>

class QPainter;
struct TCutPlan;

// a * b / c with the product formed exactly and the quotient rounded to the nearest integer,
// halves away from zero: MulDiv(1, 50, 100) = 1, MulDiv(-1, 50, 100) = -1,
// MulDiv(3, 50, 100) = 2. A zero divisor gives 0; a quotient beyond the int range is
// clamped to it.
int MulDiv(int a, int b, int c);
// The same on 64-bit operands (the product is formed in 128 bits), clamped to the int range.
int MulDiv64(qint64 a, qint64 b, qint64 c);

// Kinds of a 3-D frame edge. Lowered: shadow at top and left, highlight at bottom and right;
// any other kind except none draws the colours the other way round.
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Thrown when Assign is given a source of a kind it cannot copy.
class EAssignError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TDrawMaterialCollection;
class TCustomDrawMaterial;

// Which way a grain runs in the drawing: none, along x (the sheet's length as drawn) or along y.
enum class TGrainDirection { None, AlongX, AlongY };

// One drawn rectangle, normally one placed part, in sheet millimetres.
//
// An item created with a collection belongs to it and is destroyed with it; deleting an item
// removes it from its collection. An item without a collection belongs to whoever created it
// until AddItem moves it into one.
class TDrawMaterialItem
{
public:
    explicit TDrawMaterialItem(TDrawMaterialCollection *Collection = nullptr);
    virtual ~TDrawMaterialItem();
    TDrawMaterialItem(const TDrawMaterialItem &) = delete;
    TDrawMaterialItem &operator=(const TDrawMaterialItem &) = delete;

    // Text, Left, Top, Width and Height through their setters (in that order), Tag and Turned
    // as they are.
    virtual void Assign(const TDrawMaterialItem &Source);
    // Text, or the class name while Text is empty.
    virtual QString GetDisplayName() const;

    TDrawMaterialCollection *Collection() const { return FCollection; }
    // Moves the item to the end of another collection (nullptr: out of any collection; the
    // caller then owns it).
    void SetCollection(TDrawMaterialCollection *Value);
    // Position in the collection, -1 without one. Setting moves the item there; a position
    // outside the collection throws std::out_of_range.
    int Index() const;
    void SetIndex(int Value);

    QString Text() const { return FText; }
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Tag() const { return FTag; }
    // The part lies turned from the way it was entered: its entered length (长度) runs along the
    // sheet's width (y). Its size as entered is then Height x Width, and it is marked "↻".
    bool Turned() const { return FTurned; }
    // Entered length and width: Width x Height, or Height x Width for a turned part.
    int EnteredLength() const { return FTurned ? FHeight : FWidth; }
    int EnteredWidth() const { return FTurned ? FWidth : FHeight; }
    // The size as entered as drawn on the part: "764×540", with " ↻" after it when turned.
    QString SizeText() const;
    // A part held to its grain (顺纹): its grain runs this way, drawn as fine lines along it.
    // None for a part that may be turned.
    TGrainDirection Grain() const { return FGrain; }

    // Each reports one change to the collection, which repaints the view.
    void SetText(const QString &Value);
    void SetLeft(int Value);
    void SetTop(int Value);
    void SetWidth(int Value);
    void SetHeight(int Value);
    // A free integer of the caller; reports nothing and is never drawn.
    void SetTag(int Value) { FTag = Value; }
    // Reports one change, like the sizes.
    void SetTurned(bool Value);
    void SetGrain(TGrainDirection Value);

private:
    friend class TDrawMaterialCollection;
    template <typename T> void Store(T &field, const T &value);

    TDrawMaterialCollection *FCollection = nullptr;
    QString FText;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    int FTag = 0;
    bool FTurned = false;
    TGrainDirection FGrain = TGrainDirection::None;
};

// The ordered, owned list of items of one view. Every structural change and every item
// change ends in Update, which repaints the owning view (nothing while its Drawer is off).
// Changes between BeginUpdate and EndUpdate end in one Update at the closing EndUpdate.
class TDrawMaterialCollection
{
public:
    explicit TDrawMaterialCollection(TCustomDrawMaterial *CustomDrawMaterial);
    virtual ~TDrawMaterialCollection();
    TDrawMaterialCollection(const TDrawMaterialCollection &) = delete;
    TDrawMaterialCollection &operator=(const TDrawMaterialCollection &) = delete;

    TCustomDrawMaterial *GetOwner() const { return FCustomDrawMaterial; }
    int Count() const { return int(FItems.size()); }

    // Appends a new item (Width and Height 100, the rest 0 or empty) and returns it.
    TDrawMaterialItem *Add();
    // Moves Item (nullptr: a new item) into this collection and then to Index (negative: the
    // last position). An Index past the last position throws std::out_of_range and changes
    // nothing.
    TDrawMaterialItem *AddItem(TDrawMaterialItem *Item, int Index);
    // A new item at Index: AddItem(nullptr, Index).
    TDrawMaterialItem *Insert(int Index);
    // The item at Index; std::out_of_range outside 0 .. Count-1.
    TDrawMaterialItem *GetItem(int Index) const;
    TDrawMaterialItem *operator[](int Index) const { return GetItem(Index); }
    // Copies Item into the existing item at Index.
    void SetItem(int Index, const TDrawMaterialItem &Item);
    // Clears, then appends a copy of every item of Source in order. Copying a collection
    // into itself changes nothing.
    void Assign(const TDrawMaterialCollection &Source);
    void Delete(int Index);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    // Repaints the owning view.
    virtual void Update(TDrawMaterialItem *Item);

private:
    friend class TDrawMaterialItem;
    void InsertItem(TDrawMaterialItem *Item);
    void RemoveItem(TDrawMaterialItem *Item);
    void MoveItem(int From, int To);
    void Changed();

    TCustomDrawMaterial *FCustomDrawMaterial;
    QList<TDrawMaterialItem *> FItems;
    int FUpdateCount = 0;
};

// The layout view widget. See the top of this file for the drawing rules.
class TCustomDrawMaterial : public QWidget
{
    Q_OBJECT
public:
    // Scale 100, Guage on, Drawer on, no items, Selectindex -1, OffSet 20, everything else
    // zero, black or off; the control starts 0 x 0 pixels.
    explicit TCustomDrawMaterial(QWidget *AOwner = nullptr);
    ~TCustomDrawMaterial() override;

    // Copies Source's items, OffSet, MWidth, MHeight, Tag, Group, Blade, SelectColor,
    // LeftOffset and TopOffset, in that order through the setters, and its cut plan, ShowCuts,
    // Trim and SheetGrain. Scale, LineColor, Guage, ReadOnly, Drawer, isPrinter, Selectindex,
    // Color, the font and the bevel settings stay as they are. Copying a view into itself changes
    // nothing.
    virtual void Assign(const TCustomDrawMaterial &Source);
    // The same for a source of unknown kind; anything but a layout view throws EAssignError.
    void Assign(const QObject *Source);

    // ---- properties ----
    TDrawMaterialCollection *Materials() const { return FMaterials.get(); }

    // -1 (none) up to Count-1 is stored and repainted; any other value is ignored.
    int Selectindex() const { return FSelectIndex; }
    void SetSelectindex(int Value);

    QColor SelectColor() const { return FSelectColor; }
    void SetSelectColor(const QColor &Value);
    QColor LineColor() const { return FLineColor; }
    void SetLineColor(const QColor &Value);

    // Margin in pixels between the control's edge and the sheet. Setting it puts the control
    // to MWidth + 2*OffSet by MHeight + 2*OffSet (unscaled) and repaints.
    int OffSet() const { return FOffSet; }
    void SetOffSet(int Value);

    // Drawing scale in percent (pixels per 100 mm). 0 to 501 is accepted: the control is
    // sized to the scaled sheet plus the margins and repainted later; other values are
    // ignored.
    int Scale() const { return FScale; }
    void SetScale(int Value);

    // Sheet size in mm. While unset (0), reading derives it once from the control as
    // width() - OffSet (height() - OffSet) and keeps it. Setting sizes the control to
    // value + 2*OffSet (unscaled).
    int MWidth() const;
    void SetMWidth(int Value);
    int MHeight() const;
    void SetMHeight(int Value);

    bool Guage() const { return FGuage; }
    void SetGuage(bool Value);
    // Display only: no sheet dimension marks, no selection drawn.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // Painting enabled. Setting it paints at once when switched on.
    bool Drawer() const { return FDrawer; }
    void SetDrawer(bool Value);

    // Plain values carried for the callers; setting them does nothing else.
    int Group() const { return FGroup; }
    void SetGroup(int Value) { FGroup = Value; }
    int Blade() const { return FBlade; }
    void SetBlade(int Value) { FBlade = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    // The sheet's edge trim in mm (0: none), drawn as a hatched band inside the sheet's edge; and
    // its grain, drawn as fine lines over the bare sheet. Both repaint at once.
    int Trim() const { return FTrim; }
    void SetTrim(int Value);
    TGrainDirection SheetGrain() const { return FSheetGrain; }
    void SetSheetGrain(TGrainDirection Value);

    // The cut plan of the layout (the engine's, see CutPlan.h; DrawPanel sets it), or nullptr.
    // The view shares it with its copies and never changes it.
    const TCutPlan *CutPlan() const { return FCutPlan.get(); }
    std::shared_ptr<const TCutPlan> SharedCutPlan() const { return FCutPlan; }
    void SetCutPlan(std::shared_ptr<const TCutPlan> Plan);
    // Draw the cut plan over the layout: every cut as a line where its kerf starts with its
    // number, and the offcuts kept as 余料 shaded with their sizes; a layout without a plan says
    // "此排版不能全部一刀切通" on the sheet. Off by default; repaints at once.
    bool ShowCuts() const { return FShowCuts; }
    void SetShowCuts(bool Value);

    // Printer mode: black on white, no marks, no selection; Paint draws onto PrinterCanvas at
    // the LeftOffset, TopOffset origin. On screen and paper alike each part carries its name and
    // its size as entered, each where it fits.
    bool isPrinter() const { return FPrinter; }
    void SetIsPrinter(bool Value) { FPrinter = Value; }
    int LeftOffset() const { return FLeftOffset; }
    void SetLeftOffset(int Value) { FLeftOffset = Value; }
    int TopOffset() const { return FTopOffset; }
    void SetTopOffset(int Value) { FTopOffset = Value; }
    // The printer page's painter Paint draws on in printer mode (not owned; nullptr: none).
    // Switch printer mode off, or clear this, before the painter goes away.
    QPainter *PrinterCanvas() const { return FPrinterCanvas; }
    void SetPrinterCanvas(QPainter *Value) { FPrinterCanvas = Value; }

    // Background colour on screen (default: the palette's base colour). Repaints later.
    QColor Color() const { return FColor; }
    void SetColor(const QColor &Value);

    // Hint text as stored: "名称：…", "长度：…", "宽度：…" separated by the character 13.
    // The tooltip shows it as lines, and only while ShowHint is on.
    QString Hint() const { return FHint; }
    void SetHint(const QString &Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }

    // 3-D frame settings. Each frame set is: outer bevel, border in Color, inner bevel.
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // ---- geometry ----
    // The whole drawing on its surface: (LeftOffset, TopOffset, LeftOffset + width(),
    // TopOffset + height()).
    TPixelRect GetRect() const;
    // A rectangle in sheet mm scaled to pixels, each coordinate on its own.
    TPixelRect MulDivRect(const TPixelRect &Rect) const;
    // The sheet on the drawing surface: GetRect inset by OffSet.
    TPixelRect SheetRect() const;
    // Part Index's pixel rectangle on the drawing surface (with LeftOffset, TopOffset).
    TPixelRect PartRect(int Index) const;
    // The first part (lowest index) whose pixel rectangle, in control coordinates, holds P;
    // -1 on bare sheet or margin.
    int PartAt(QPoint P) const;

    // ---- painting ----
    // Paints the picture now: in screen mode a synchronous repaint of the visible control,
    // in printer mode onto PrinterCanvas. Nothing while Drawer is off.
    virtual void Paint();
    // The one paint routine: the whole picture onto any painter (screen image, test image,
    // printer page), at the LeftOffset, TopOffset origin, in the mode isPrinter says. It
    // ignores Drawer. The painter's font is used as it comes. Afterwards the painter's text
    // background is as the picture left it: opaque white after a printer-mode picture with
    // at least one part, so texts written next cover the drawing beneath them.
    void PaintTo(QPainter &Painter) const;
    // The picture as the screen shows it, the size of GetRect's right and bottom edges, in
    // the control's screen resolution.
    QImage RenderImage() const;

    // ---- mouse ----
    // Selects the first part under P (control coordinates); bare sheet keeps the selection.
    void PointToSelectIndex(QPoint P);
    // Sets the hint to the part under P; bare sheet keeps the last hint.
    void PointToHint(QPoint P);

    // The hint text for a part: "名称：" Text CR "长度：" length CR "宽度：" width, the size as
    // the part was entered (EnteredLength, EnteredWidth), and for a turned part a fourth line
    // "↻ 已旋转".
    static QString HintText(const TDrawMaterialItem &Item);

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void ResizeControl(qint64 w, qint64 h);
    TPixelRect PartPixels(const TDrawMaterialItem &Item, int dx, int dy) const;
    void Frame(TDrawCanvas &Canvas, TPixelRect &R, const QColor &TopColor,
        const QColor &BottomColor, int Width) const;
    void FrameSet(TDrawCanvas &Canvas, TPixelRect &R) const;
    void DrawinRect(TDrawCanvas &Canvas) const;
    // The trim band and the sheet's grain, under the parts.
    void DrawSheetMarks(TDrawCanvas &Canvas) const;
    // Fine lines along Direction inside r, Gap screen pixels apart.
    void DrawGrainLines(QPainter &Painter, const TPixelRect &r, TGrainDirection Direction,
        const QColor &Colour, double Gap) const;
    // Texts, when given, receives the rectangles of the parts' texts.
    void DrawMaterials(TDrawCanvas &Canvas, QList<QRect> *Texts = nullptr) const;
    static void DrawPartTexts(TDrawCanvas &Canvas, const TPixelRect &r,
        const TDrawMaterialItem &item, QList<QRect> *Texts);
    void DrawCutPlan(TDrawCanvas &Canvas, const QList<QRect> &Texts) const;
    void DrawSelectMaterial(TDrawCanvas &Canvas) const;

    std::unique_ptr<TDrawMaterialCollection> FMaterials;
    int FSelectIndex = -1;
    QColor FSelectColor = Qt::black;
    QColor FLineColor = Qt::black;
    int FOffSet = 20;
    int FScale = 100;
    mutable int FMWidth = 0;
    mutable int FMHeight = 0;
    bool FGuage = true;
    bool FReadOnly = false;
    int FGroup = 0;
    bool FDrawer = true;
    int FBlade = 0;
    bool FPrinter = false;
    QPainter *FPrinterCanvas = nullptr;
    int FLeftOffset = 0;
    int FTopOffset = 0;
    int FTag = 0;
    QColor FColor;
    QString FHint;
    bool FShowHint = false;
    TBevelCut FBevelOuter = TBevelCut::bvLowered;
    TBevelCut FBevelInner = TBevelCut::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    std::shared_ptr<const TCutPlan> FCutPlan;
    bool FShowCuts = false;
    int FTrim = 0;
    TGrainDirection FSheetGrain = TGrainDirection::None;
};

// The class everyone instantiates.
class TDrawMaterial : public TCustomDrawMaterial
{
    Q_OBJECT
public:
    using TCustomDrawMaterial::TCustomDrawMaterial;
};
