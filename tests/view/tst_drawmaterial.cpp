// The layout view's model: scaling, properties and what setting them does, copying between
// views, the item collection, hit-testing and hints.

#include "CutPlan.h"
#include "DrawMaterial.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

TDrawMaterialItem *addPart(
    TDrawMaterial &v, const QString &text, int left, int top, int width, int height)
{
    TDrawMaterialItem *item = v.Materials()->Add();
    item->SetText(text);
    item->SetLeft(left);
    item->SetTop(top);
    item->SetWidth(width);
    item->SetHeight(height);
    return item;
}

QStringList texts(const TDrawMaterialCollection &c)
{
    QStringList out;
    for (int i = 0; i < c.Count(); ++i)
        out << c.GetItem(i)->Text();
    return out;
}

void moveMouse(QWidget &w, QPoint p)
{
    QMouseEvent ev(
        QEvent::MouseMove, p, w.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

} // namespace

class TestDrawMaterial : public QObject
{
    Q_OBJECT
private slots:
    void mulDiv_roundsHalvesAwayFromZero_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("expected");
        QTest::newRow("half up") << 1 << 50 << 100 << 1;
        QTest::newRow("negative half") << -1 << 50 << 100 << -1;
        QTest::newRow("one and a half") << 3 << 50 << 100 << 2;
        QTest::newRow("negative factor") << 3 << -50 << 100 << -2;
        QTest::newRow("negative divisor") << 5 << 1 << -2 << -3;
        QTest::newRow("both negative") << -5 << -1 << 2 << 3;
        QTest::newRow("below half") << 149 << 1 << 100 << 1;
        QTest::newRow("exact") << 2440 << 30 << 100 << 732;
        QTest::newRow("product beyond 32 bits") << kIntMax << kIntMax << kIntMax << kIntMax;
        QTest::newRow("large product halved") << 2000000000 << 3 << 4 << 1500000000;
        QTest::newRow("quotient above int clamps") << kIntMax << 2 << 1 << kIntMax;
        QTest::newRow("quotient below int clamps") << kIntMin << 2 << 1 << kIntMin;
        QTest::newRow("zero divisor gives 0") << 7 << 3 << 0 << 0;
        QTest::newRow("zero divisor, negative") << -7 << 3 << 0 << 0;
        QTest::newRow("min by -1") << kIntMin << -1 << 1 << kIntMax;
    }
    void mulDiv_roundsHalvesAwayFromZero()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(int, expected);
        QCOMPARE(MulDiv(a, b, c), expected);
    }

    void create_setsDefaults()
    {
        TDrawMaterial v;
        QCOMPARE(v.Scale(), 100);
        QVERIFY(v.Guage());
        QVERIFY(v.Drawer());
        QCOMPARE(v.Materials()->Count(), 0);
        QCOMPARE(v.Materials()->GetOwner(), &v);
        QCOMPARE(v.Selectindex(), -1);
        QCOMPARE(v.OffSet(), 20);
        QCOMPARE(v.SelectColor(), QColor(Qt::black));
        QCOMPARE(v.LineColor(), QColor(Qt::black));
        QVERIFY(!v.ReadOnly());
        QVERIFY(!v.isPrinter());
        QCOMPARE(v.Group(), 0);
        QCOMPARE(v.Blade(), 0);
        QCOMPARE(v.LeftOffset(), 0);
        QCOMPARE(v.TopOffset(), 0);
        QCOMPARE(v.BevelOuter(), TBevelCut::bvLowered);
        QCOMPARE(v.BevelInner(), TBevelCut::bvRaised);
        QCOMPARE(v.BevelWidth(), 1);
        QCOMPARE(v.BorderWidth(), 0);
        QCOMPARE(v.size(), QSize(0, 0));
    }

    // A view never given its sheet size reads it from the control once and keeps it.
    void sheetSize_unset_isDerivedOnceFromControl_data()
    {
        QTest::addColumn<QSize>("control");
        QTest::addColumn<int>("offSet");
        QTest::addColumn<int>("mWidth");
        QTest::addColumn<int>("mHeight");
        QTest::newRow("fresh view") << QSize(0, 0) << 20 << -20 << -20;
        QTest::newRow("sized control") << QSize(500, 300) << 20 << 480 << 280;
        QTest::newRow("no margin") << QSize(500, 300) << 0 << 500 << 300;
    }
    void sheetSize_unset_isDerivedOnceFromControl()
    {
        QFETCH(QSize, control);
        QFETCH(int, offSet);
        QFETCH(int, mWidth);
        QFETCH(int, mHeight);
        TDrawMaterial v;
        v.resize(control);
        if (offSet != v.OffSet()) {
            // The margin setter reads the sheet size, deriving it with the new margin.
            v.SetOffSet(offSet);
            QCOMPARE(v.size(), control);
        }
        QCOMPARE(v.MWidth(), mWidth);
        QCOMPARE(v.MHeight(), mHeight);
        v.resize(900, 700);
        QCOMPARE(v.MWidth(), mWidth);
        QCOMPARE(v.MHeight(), mHeight);
    }

    void setScale_acceptsZeroTo501_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("expectedScale");
        QTest::addColumn<QSize>("expectedSize");
        // Sheet 800 x 600 mm, margin 20, at scale 50 before: 440 x 340.
        QTest::newRow("501 accepted") << 501 << 501 << QSize(4008 + 40, 3006 + 40);
        QTest::newRow("500") << 500 << 500 << QSize(4040, 3040);
        QTest::newRow("502 ignored") << 502 << 50 << QSize(440, 340);
        QTest::newRow("-1 ignored") << -1 << 50 << QSize(440, 340);
        QTest::newRow("0 leaves the margins") << 0 << 0 << QSize(40, 40);
        QTest::newRow("rounds each side") << 33 << 33 << QSize(264 + 40, 198 + 40);
        QTest::newRow("odd size rounds half up") << 1 << 1 << QSize(8 + 40, 6 + 40);
    }
    void setScale_acceptsZeroTo501()
    {
        QFETCH(int, scale);
        QFETCH(int, expectedScale);
        QFETCH(QSize, expectedSize);
        for (bool shown : { false, true }) {
            TDrawMaterial v;
            v.SetMWidth(800);
            v.SetMHeight(600);
            v.SetScale(50);
            if (shown) {
                v.show();
                QVERIFY(QTest::qWaitForWindowExposed(&v));
            }
            v.SetScale(scale);
            QCOMPARE(v.Scale(), expectedScale);
            QCOMPARE(v.size(), expectedSize);
        }
    }

    void sheetSizeOrMargin_resetsControlToUnscaledSize_scaleKept()
    {
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        QCOMPARE(v.size(), QSize(840, 640));
        v.SetScale(50);
        QCOMPARE(v.size(), QSize(440, 340));
        v.SetMWidth(1000);
        QCOMPARE(v.size(), QSize(1040, 340));
        QCOMPARE(v.Scale(), 50);
        v.SetOffSet(10);
        QCOMPARE(v.size(), QSize(1020, 620));
        v.SetScale(v.Scale());
        QCOMPARE(v.size(), QSize(520, 320));
        // A sheet size beyond any control size gives the largest control, not an overflow.
        v.SetMWidth(kIntMax);
        QCOMPARE(v.width(), QWIDGETSIZE_MAX);
    }

    void selectindex_acceptsMinusOneToCountMinusOne_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("none, -1") << 0 << -1 << -1;
        QTest::newRow("none, 0 ignored") << 0 << 0 << 1000;
        QTest::newRow("first") << 3 << 0 << 0;
        QTest::newRow("last") << 3 << 2 << 2;
        QTest::newRow("count ignored") << 3 << 3 << 1000;
        QTest::newRow("-2 ignored") << 3 << -2 << 1000;
        QTest::newRow("deselect") << 3 << -1 << -1;
    }
    void selectindex_acceptsMinusOneToCountMinusOne()
    {
        QFETCH(int, items);
        QFETCH(int, value);
        QFETCH(int, expected);
        TDrawMaterial v;
        for (int i = 0; i < items; ++i)
            v.Materials()->Add();
        const int before = items > 0 ? 1 : -1;
        if (items > 0)
            v.SetSelectindex(1);
        v.SetSelectindex(value);
        QCOMPARE(v.Selectindex(), expected == 1000 ? before : expected);
    }

    void plainValues_areStoredOnly()
    {
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        const QSize size = v.size();
        v.SetGroup(3);
        v.SetBlade(4);
        v.SetTag(7);
        v.SetIsPrinter(true);
        v.SetLeftOffset(30);
        v.SetTopOffset(40);
        QCOMPARE(v.Group(), 3);
        QCOMPARE(v.Blade(), 4);
        QCOMPARE(v.Tag(), 7);
        QVERIFY(v.isPrinter());
        QCOMPARE(v.size(), size);
        QCOMPARE(v.GetRect(), (TPixelRect { 30, 40, 30 + size.width(), 40 + size.height() }));
    }

    void assign_copiesLayoutAndKeepsReceiversLook()
    {
        TDrawMaterial source;
        source.SetOffSet(15);
        source.SetMWidth(2440);
        source.SetMHeight(1220);
        source.SetTag(5);
        source.SetGroup(2);
        source.SetBlade(4);
        source.SetSelectColor(Qt::yellow);
        source.SetLineColor(Qt::blue);
        source.SetLeftOffset(11);
        source.SetTopOffset(12);
        source.SetScale(30);
        addPart(source, u"侧板"_s, 0, 0, 600, 400)->SetTag(9);
        addPart(source, u"顶板"_s, 604, 0, 800, 300)->SetTurned(true);
        source.SetSelectindex(1);
        const auto plan = std::make_shared<const TCutPlan>(
            MakeCutPlan(2440, 1220, 4, { { 0, 0, 600, 400 }, { 604, 0, 800, 300 } }));
        source.SetCutPlan(plan);
        source.SetShowCuts(true);

        TDrawMaterial target;
        target.SetScale(40);
        target.SetLineColor(Qt::red);
        target.SetColor(Qt::green);
        target.SetGuage(false);
        target.SetBevelOuter(TBevelCut::bvNone);
        for (int i = 0; i < 3; ++i)
            target.Materials()->Add();
        target.SetSelectindex(2);

        target.Assign(source);
        QCOMPARE(texts(*target.Materials()), (QStringList { u"侧板"_s, u"顶板"_s }));
        const TDrawMaterialItem *second = target.Materials()->GetItem(1);
        QCOMPARE(second->Left(), 604);
        QCOMPARE(second->Width(), 800);
        QCOMPARE(second->Height(), 300);
        QCOMPARE(target.Materials()->GetItem(0)->Tag(), 9);
        QVERIFY(!target.Materials()->GetItem(0)->Turned());
        QVERIFY(second->Turned());
        // The cut plan is shared, and shown as the source shows it.
        QCOMPARE(target.CutPlan(), plan.get());
        QVERIFY(target.ShowCuts());
        QCOMPARE(target.OffSet(), 15);
        QCOMPARE(target.MWidth(), 2440);
        QCOMPARE(target.MHeight(), 1220);
        QCOMPARE(target.Tag(), 5);
        QCOMPARE(target.Group(), 2);
        QCOMPARE(target.Blade(), 4);
        QCOMPARE(target.SelectColor(), QColor(Qt::yellow));
        QCOMPARE(target.LeftOffset(), 11);
        QCOMPARE(target.TopOffset(), 12);
        // Not copied: the receiver's scale (its control is at the unscaled size until the
        // caller sets Scale), line colour, selection and appearance.
        QCOMPARE(target.Scale(), 40);
        QCOMPARE(target.size(), QSize(2440 + 30, 1220 + 30));
        QCOMPARE(target.LineColor(), QColor(Qt::red));
        QCOMPARE(target.Selectindex(), 2);
        QCOMPARE(target.Color(), QColor(Qt::green));
        QVERIFY(!target.Guage());
        QCOMPARE(target.BevelOuter(), TBevelCut::bvNone);
        // The copy is independent of its source.
        source.Materials()->GetItem(0)->SetText(u"改"_s);
        QCOMPARE(target.Materials()->GetItem(0)->Text(), u"侧板"_s);
    }

    void assign_sourceWithoutSheetSize_derivesItFromItsControl()
    {
        TDrawMaterial source;
        source.resize(300, 200);
        TDrawMaterial target;
        target.Assign(source);
        QCOMPARE(target.MWidth(), 280);
        QCOMPARE(target.MHeight(), 180);
        QCOMPARE(source.MWidth(), 280);
    }

    void assign_intoItself_keepsItems()
    {
        TDrawMaterial v;
        addPart(v, u"A"_s, 0, 0, 10, 10);
        v.Assign(v);
        QCOMPARE(texts(*v.Materials()), QStringList { u"A"_s });
        v.Materials()->Assign(*v.Materials());
        QCOMPARE(v.Materials()->Count(), 1);
    }

    void assign_fromOtherKinds_throws()
    {
        TDrawMaterial v;
        addPart(v, u"A"_s, 0, 0, 10, 10);
        QWidget plain;
        QVERIFY_THROWS_EXCEPTION(EAssignError, v.Assign(&plain));
        QVERIFY_THROWS_EXCEPTION(EAssignError, v.Assign(static_cast<const QObject *>(nullptr)));
        QCOMPARE(v.Materials()->Count(), 1);
        TDrawMaterial source;
        addPart(source, u"B"_s, 0, 0, 10, 10);
        v.Assign(static_cast<const QObject *>(&source));
        QCOMPARE(texts(*v.Materials()), QStringList { u"B"_s });
    }

    void item_createAssignAndDisplayName()
    {
        TDrawMaterial v;
        TDrawMaterialItem *item = v.Materials()->Add();
        QCOMPARE(item->Width(), 100);
        QCOMPARE(item->Height(), 100);
        QCOMPARE(item->Left(), 0);
        QCOMPARE(item->Top(), 0);
        QCOMPARE(item->Tag(), 0);
        QCOMPARE(item->Collection(), v.Materials());
        QCOMPARE(item->GetDisplayName(), u"TDrawMaterialItem"_s);
        item->SetText(u"背板"_s);
        QCOMPARE(item->GetDisplayName(), u"背板"_s);

        TDrawMaterialItem loose;
        loose.SetText(u"门"_s);
        loose.SetLeft(5);
        loose.SetTop(6);
        loose.SetWidth(7);
        loose.SetHeight(8);
        loose.SetTag(9);
        v.Materials()->SetItem(0, loose);
        QCOMPARE(item->Text(), u"门"_s);
        QCOMPARE(
            (QList<int> { item->Left(), item->Top(), item->Width(), item->Height(), item->Tag() }),
            (QList<int> { 5, 6, 7, 8, 9 }));
    }

    // A part lying turned gives its size as it was entered, marked, in its texts and its hint.
    void turnedPart_sizeAsEntered_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("turned");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("hint");
        const QString cr(QChar(13));
        QTest::newRow("as entered") << 764 << 540 << false << u"764×540"_s
                                    << u"名称：门"_s + cr + u"长度：764"_s + cr + u"宽度：540"_s;
        QTest::newRow("turned") << 540 << 764 << true << u"764×540 ↻"_s
                                << u"名称：门"_s + cr + u"长度：764"_s + cr + u"宽度：540"_s + cr
                + u"↻ 已旋转"_s;
        QTest::newRow("entered short side first, lying along x")
            << 540 << 764 << false << u"540×764"_s
            << u"名称：门"_s + cr + u"长度：540"_s + cr + u"宽度：764"_s;
    }
    void turnedPart_sizeAsEntered()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, turned);
        QFETCH(QString, size);
        QFETCH(QString, hint);
        TDrawMaterial v;
        TDrawMaterialItem *item = addPart(v, u"门"_s, 0, 0, width, height);
        item->SetTurned(turned);
        QCOMPARE(item->SizeText(), size);
        QCOMPARE(TCustomDrawMaterial::HintText(*item), hint);
        // The drawn rectangle stays as placed.
        QCOMPARE(item->Width(), width);
        TDrawMaterialItem copy;
        copy.Assign(*item);
        QCOMPARE(copy.Turned(), turned);
    }

    void collection_addItemAndInsertPositions()
    {
        TDrawMaterial v;
        for (const QString &t : { u"a"_s, u"b"_s, u"c"_s })
            v.Materials()->Add()->SetText(t);

        v.Materials()->AddItem(nullptr, -1)->SetText(u"last"_s);
        v.Materials()->Insert(0)->SetText(u"first"_s);
        v.Materials()->Insert(2)->SetText(u"mid"_s);
        QCOMPARE(texts(*v.Materials()),
            (QStringList { u"first"_s, u"a"_s, u"mid"_s, u"b"_s, u"c"_s, u"last"_s }));
        QCOMPARE(v.Materials()->GetItem(2)->Index(), 2);

        // Moving an item of another view into this one takes it out of the other.
        TDrawMaterial other;
        TDrawMaterialItem *moved = other.Materials()->Add();
        moved->SetText(u"moved"_s);
        QCOMPARE(v.Materials()->AddItem(moved, 1), moved);
        QCOMPARE(other.Materials()->Count(), 0);
        QCOMPARE(moved->Collection(), v.Materials());
        QCOMPARE(texts(*v.Materials()).mid(0, 3), (QStringList { u"first"_s, u"moved"_s, u"a"_s }));

        // An item already here is just moved; negative means the last position.
        v.Materials()->AddItem(moved, -1);
        QCOMPARE(texts(*v.Materials()).last(), u"moved"_s);
        QCOMPARE(v.Materials()->Count(), 7);

        // A loose item is taken over.
        auto *loose = new TDrawMaterialItem;
        loose->SetText(u"loose"_s);
        v.Materials()->AddItem(loose, 0);
        QCOMPARE(texts(*v.Materials()).first(), u"loose"_s);

        // A position past the end changes nothing.
        const QStringList before = texts(*v.Materials());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, v.Materials()->Insert(9));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, v.Materials()->AddItem(moved, 8));
        QCOMPARE(texts(*v.Materials()), before);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, v.Materials()->GetItem(8));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, v.Materials()->GetItem(-1));

        v.Materials()->Delete(0);
        delete v.Materials()->GetItem(0);
        QCOMPARE(texts(*v.Materials()),
            (QStringList { u"a"_s, u"mid"_s, u"b"_s, u"c"_s, u"last"_s, u"moved"_s }));
        v.Materials()->Clear();
        QCOMPARE(v.Materials()->Count(), 0);
    }

    // Every change repaints at once while Drawer is on; with Drawer off bulk changes cost no
    // paint, and switching it on paints once.
    void repaint_followsDrawer()
    {
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        v.SetScale(50);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCoreApplication::processEvents();
        PaintCounter paints(&v);

        TDrawMaterialItem *item = addPart(v, u"A"_s, 0, 0, 100, 100);
        // Adding (and the new item's two sizes), then text, left, top, width, height.
        QCOMPARE(paints.count, 8);
        paints.count = 0;
        item->SetLeft(10);
        QCOMPARE(paints.count, 1);
        item->SetTag(3);
        v.SetGroup(1);
        QCOMPARE(paints.count, 1);
        v.SetSelectindex(0);
        v.SetLineColor(Qt::blue);
        v.SetGuage(false);
        QCOMPARE(paints.count, 4);

        v.SetDrawer(false);
        paints.count = 0;
        for (int i = 0; i < 100; ++i)
            addPart(v, QString::number(i), i * 10, 0, 10, 10);
        TDrawMaterial source;
        for (int i = 0; i < 50; ++i)
            addPart(source, QString::number(i), i * 10, 0, 10, 10);
        v.Assign(source);
        v.SetSelectColor(Qt::yellow);
        QCOMPARE(paints.count, 0);
        v.SetDrawer(true);
        QCOMPARE(paints.count, 1);

        // Copying a whole layout with Drawer on still ends in one paint of the collection.
        paints.count = 0;
        v.Materials()->Assign(*source.Materials());
        QCOMPARE(paints.count, 1);

        // The scale is repainted through the event loop, not at once.
        paints.count = 0;
        v.SetScale(60);
        QCOMPARE(paints.count, 0);
        QTRY_VERIFY(paints.count > 0);
    }

    // Scale 50, margin 20: the sheet's origin is at (20, 20) in the control.
    void partGeometry_scalesEachEdgeOnItsOwn_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("pixelLeft");
        QTest::addColumn<int>("pixelRight");
        QTest::newRow("1 mm rounds to 1 px") << 1 << 100 << 21 << 71;
        QTest::newRow("3 mm rounds to 2 px") << 3 << 100 << 22 << 72;
        QTest::newRow("width from both edges") << 1 << 1 << 21 << 21;
        QTest::newRow("neighbour shares the edge") << 0 << 3 << 20 << 22;
        QTest::newRow("negative half away from zero") << -1 << 2 << 19 << 21;
        QTest::newRow("far out stays bounded")
            << kIntMax << kIntMax << int(TDrawCanvas::CoordLimit) << int(TDrawCanvas::CoordLimit);
    }
    void partGeometry_scalesEachEdgeOnItsOwn()
    {
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(int, pixelLeft);
        QFETCH(int, pixelRight);
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        v.SetScale(50);
        addPart(v, u"p"_s, left, 10, width, 20);
        const TPixelRect r = v.PartRect(0);
        QCOMPARE(r.Left, pixelLeft);
        QCOMPARE(r.Right, pixelRight);
        QCOMPARE(r.Top, 25);
        QCOMPARE(r.Bottom, 35);
        // The surface origin moves the drawing, not the hit area.
        v.SetLeftOffset(100);
        v.SetTopOffset(200);
        QCOMPARE(v.PartRect(0).Left, int(qMin<qint64>(r.Left + 100, TDrawCanvas::CoordLimit)));
        QCOMPARE(v.PartRect(0).Top, 225);
        QCOMPARE(v.SheetRect(), (TPixelRect { 120, 220, 100 + 440 - 20, 200 + 340 - 20 }));
    }

    // Part 0 at 100,100 mm, 200 x 100 mm; part 1 overlaps it from 200,150 mm. Scale 50,
    // margin 20: part 0 covers pixels x 70..169, y 70..119.
    void hitTest_firstPartUnderPointerWins_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("selected");
        QTest::newRow("top left corner") << QPoint(70, 70) << 0;
        QTest::newRow("last pixel inside") << QPoint(169, 119) << 0;
        QTest::newRow("right edge is outside") << QPoint(170, 80) << -1;
        QTest::newRow("bottom edge is outside") << QPoint(80, 120) << -1;
        QTest::newRow("left of the part") << QPoint(69, 80) << -1;
        QTest::newRow("overlap: lower index wins") << QPoint(150, 110) << 0;
        QTest::newRow("second part alone") << QPoint(150, 130) << 1;
        QTest::newRow("second part's right edge") << QPoint(220, 130) << -1;
        QTest::newRow("margin") << QPoint(5, 5) << -1;
    }
    void hitTest_firstPartUnderPointerWins()
    {
        QFETCH(QPoint, point);
        QFETCH(int, selected);
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        v.SetScale(50);
        v.SetLeftOffset(300); // plays no part on screen
        v.SetTopOffset(300);
        addPart(v, u"甲"_s, 100, 100, 200, 100);
        addPart(v, u"乙"_s, 200, 150, 200, 100);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCOMPARE(v.PartAt(point), selected);

        // A real click: a hit selects, a miss keeps the earlier selection.
        v.Materials()->Add(); // part 2 sits at 0,0 mm
        v.SetSelectindex(2);
        QTest::mouseClick(&v, Qt::LeftButton, {}, point);
        QCOMPARE(v.Selectindex(), selected >= 0 ? selected : 2);
        // Only the left button selects.
        v.SetSelectindex(2);
        QTest::mouseClick(&v, Qt::RightButton, {}, point);
        QCOMPARE(v.Selectindex(), 2);
    }

    void hint_namesPartUnderPointer_andStaysOnBareSheet()
    {
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        v.SetScale(50);
        v.SetShowHint(true);
        addPart(v, u"侧板"_s, 0, 0, 600, 400);
        addPart(v, u"<b>门</b>"_s, 600, 0, 200, 300);
        const QChar cr(13);

        moveMouse(v, QPoint(25, 25));
        QCOMPARE(v.Hint(), u"名称：侧板"_s + cr + u"长度：600"_s + cr + u"宽度：400"_s);
        // Shown as three lines.
        QVERIFY(!v.toolTip().contains(cr));
        QVERIFY(v.toolTip().contains(u"名称：侧板"_s));
        QVERIFY(v.toolTip().indexOf(u"长度：600"_s) < v.toolTip().indexOf(u"宽度：400"_s));
        QCOMPARE(v.toolTip().count(u"<br"_s), 2);

        // Bare sheet and the part's right edge (x 320) leave the hint as it was.
        moveMouse(v, QPoint(25, 300));
        moveMouse(v, QPoint(10, 10));
        QCOMPARE(v.Hint(), u"名称：侧板"_s + cr + u"长度：600"_s + cr + u"宽度：400"_s);

        // A name that looks like markup is shown as typed.
        moveMouse(v, QPoint(320, 30));
        QCOMPARE(v.Hint(), u"名称：<b>门</b>"_s + cr + u"长度：200"_s + cr + u"宽度：300"_s);
        QVERIFY(v.toolTip().contains(u"&lt;b&gt;"_s));
    }

    // The hint window opens only while ShowHint is on.
    void hint_isShownOnlyWithShowHint()
    {
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        v.SetScale(50);
        addPart(v, u"侧板"_s, 0, 0, 600, 400);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QPoint p(25, 25);
        moveMouse(v, p);
        for (bool show : { false, true }) {
            v.SetShowHint(show);
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
            QHelpEvent help(QEvent::ToolTip, p, v.mapToGlobal(p));
            QApplication::sendEvent(&v, &help);
            QCOMPARE(QToolTip::isVisible(), show);
            if (show)
                QCOMPARE(QToolTip::text(), v.toolTip());
        }
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestDrawMaterial)
#include "tst_drawmaterial.moc"
