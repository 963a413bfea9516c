// What the layout view puts on screen and paper, checked on the pixels of rendered images,
// and a layout printed to a PDF file.

#include "CutPlan.h"
#include "DrawMaterial.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QColor kShadow(160, 160, 160);
const QColor kHighlight(250, 250, 250);
const QColor kFace(212, 208, 200);
const QColor kUntouched(255, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kBlue(0, 0, 255);

bool isDark(QRgb p)
{
    return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
}

bool isBlue(QRgb p)
{
    return qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80;
}

// Bounding box of the pixels within area that satisfy pred; empty when none does.
template <typename Pred> QRect findPixels(const QImage &img, const QRect &area, Pred pred)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (pred(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The picture onto an image of GetRect's right and bottom edges plus a rim, prefilled so
// that pixels the picture leaves alone can be told apart.
QImage render(const TCustomDrawMaterial &v, int rim = 0)
{
    const TPixelRect r = v.GetRect();
    QImage img(r.Right + rim, r.Bottom + rim, QImage::Format_RGB32);
    img.fill(kUntouched);
    QPainter p(&img);
    v.PaintTo(p);
    return img;
}

// Sheet 800 x 600 mm at scale 50 in the default margin of 20: control 440 x 340, sheet
// pixels (20, 20) - (420, 320). Parts: A (20,20)-(120,70), B (120,20)-(170,120),
// C (220,120)-(370,220).
void setUp(TDrawMaterial &v)
{
    QPalette pal = v.palette();
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::Light, kHighlight);
    v.setPalette(pal);
    v.SetColor(kFace);
    v.SetSelectColor(kYellow);
    v.SetLineColor(kBlue);
    v.SetMWidth(800);
    v.SetMHeight(600);
    const struct
    {
        QString text;
        int left, top, width, height;
    } parts[] = { { u"A"_s, 0, 0, 200, 100 }, { u"侧板"_s, 200, 0, 100, 200 },
        { u"C"_s, 400, 200, 300, 200 } };
    for (const auto &p : parts) {
        TDrawMaterialItem *item = v.Materials()->Add();
        item->SetText(p.text);
        item->SetLeft(p.left);
        item->SetTop(p.top);
        item->SetWidth(p.width);
        item->SetHeight(p.height);
    }
    v.SetScale(50);
}

} // namespace

class TestDrawMaterialPaint : public QObject
{
    Q_OBJECT
private slots:
    // On paper the name and the size of a part never run into each other or over the part:
    // by default the size in the corner and the name in the middle, else on one line, else
    // along a tall narrow part, else the name alone, else nothing.
    void paperTexts_stayInsideTheirPart_data()
    {
        QTest::addColumn<QSize>("part"); // in pixels (scale 100: 1 mm is 1 pixel)
        QTest::addColumn<QString>("layout");
        const int th = QFontMetrics(QApplication::font()).height();
        const int tn = QFontMetrics(QApplication::font()).horizontalAdvance(u"踢脚板"_s);
        QTest::newRow("room for both") << QSize(300, 6 * th) << u"corner"_s;
        QTest::newRow("one line") << QSize(400, th + 4) << u"across"_s;
        QTest::newRow("tall and narrow") << QSize(th + 4, 400) << u"upwards"_s;
        QTest::newRow("the name alone") << QSize(tn + 6, th + 4) << u"name"_s;
        QTest::newRow("too small") << QSize(th / 2, th / 2) << u"none"_s;
    }
    // On screen a tall narrow part too slim for its name carries it upwards along its length.
    void screenName_turnsInATallNarrowPart()
    {
        const int th = QFontMetrics(QApplication::font()).height();
        TDrawMaterial v;
        v.SetDrawer(false);
        v.SetMWidth(600);
        v.SetMHeight(600);
        TDrawMaterialItem *item = v.Materials()->Add();
        item->SetText(u"踢脚板"_s);
        item->SetLeft(100);
        item->SetTop(100);
        item->SetWidth(th + 4);
        item->SetHeight(400);
        v.SetScale(100);
        const QImage img = render(v);
        const TPixelRect r = v.PartRect(0);
        const QRect inner(r.Left + 2, r.Top + 2, r.Right - r.Left - 4, r.Bottom - r.Top - 4);
        const QRect ink = findPixels(img, inner, isDark);
        QVERIFY(ink.isValid() && ink.width() <= th && ink.height() > 2 * th);
        QVERIFY(
            findPixels(img, QRect(r.Right + 2, r.Top, 200, r.Bottom - r.Top), isDark).isEmpty());
    }

    void paperTexts_stayInsideTheirPart()
    {
        QFETCH(QSize, part);
        QFETCH(QString, layout);
        TDrawMaterial v;
        v.SetDrawer(false);
        v.SetMWidth(1000);
        v.SetMHeight(700);
        TDrawMaterialItem *item = v.Materials()->Add();
        item->SetText(u"踢脚板"_s);
        item->SetLeft(100);
        item->SetTop(100);
        item->SetWidth(part.width());
        item->SetHeight(part.height());
        v.SetScale(100);
        v.SetReadOnly(true);
        v.SetIsPrinter(true);
        const QImage img = render(v);
        const TPixelRect r = v.PartRect(0);
        // Inside the frame lines, and outside the part (the sheet's own frame left aside).
        const QRect inner(r.Left + 2, r.Top + 2, r.Right - r.Left - 4, r.Bottom - r.Top - 4);
        const QRect ink = inner.isValid() ? findPixels(img, inner, isDark) : QRect();
        const QRect around(r.Right + 2, 40, 1000 - r.Right - 10, 640);
        QVERIFY(findPixels(img, around, isDark).isEmpty());
        QVERIFY(findPixels(img, QRect(40, r.Bottom + 2, 900, 600 - r.Bottom), isDark).isEmpty());
        const int th = QFontMetrics(QApplication::font()).height();
        if (layout == u"none"_s) {
            QVERIFY(ink.isEmpty());
        } else if (layout == u"corner"_s) {
            QVERIFY(findPixels(img, QRect(inner.left(), inner.top(), 120, th), isDark).isValid());
            QVERIFY(ink.height() > 3 * th); // the name lies well below the size line
        } else if (layout == u"across"_s || layout == u"name"_s) {
            QVERIFY(ink.isValid() && ink.height() <= th);
            const int tsz = QFontMetrics(QApplication::font()).horizontalAdvance(u"  400×"_s);
            QCOMPARE(ink.width() > tsz, layout == u"across"_s);
        } else if (layout == u"upwards"_s) {
            QVERIFY(ink.isValid() && ink.width() <= th && ink.height() > 3 * th);
        }
    }

    void initTestCase() { QApplication::setFont(QFont(u"DejaVu Sans"_s, 9)); }

    // A line sets every pixel from its start towards its end, but not the end pixel.
    void canvas_lineLeavesOutItsEndPixel_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QList<QPoint>>("pixels");
        QTest::newRow("right") << QPoint(2, 2) << QPoint(5, 2)
                               << QList<QPoint> { { 2, 2 }, { 3, 2 }, { 4, 2 } };
        QTest::newRow("left") << QPoint(5, 2) << QPoint(2, 2)
                              << QList<QPoint> { { 5, 2 }, { 4, 2 }, { 3, 2 } };
        QTest::newRow("down") << QPoint(1, 1) << QPoint(1, 4)
                              << QList<QPoint> { { 1, 1 }, { 1, 2 }, { 1, 3 } };
        QTest::newRow("up") << QPoint(8, 5) << QPoint(8, 2)
                            << QList<QPoint> { { 8, 5 }, { 8, 4 }, { 8, 3 } };
        QTest::newRow("one step") << QPoint(2, 7) << QPoint(3, 7) << QList<QPoint> { { 2, 7 } };
        QTest::newRow("no length") << QPoint(3, 3) << QPoint(3, 3) << QList<QPoint> {};
    }
    void canvas_lineLeavesOutItsEndPixel()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QList<QPoint>, pixels);
        QImage img(10, 10, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            TDrawCanvas canvas(p);
            canvas.SetPenColor(Qt::black);
            canvas.MoveTo(from.x(), from.y());
            canvas.LineTo(to.x(), to.y());
        }
        QList<QPoint> set;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                if (img.pixel(x, y) != QColor(Qt::white).rgb())
                    set << QPoint(x, y);
        auto byPosition
            = [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); };
        std::sort(set.begin(), set.end(), byPosition);
        std::sort(pixels.begin(), pixels.end(), byPosition);
        QCOMPARE(set, pixels);
    }

    // Text is placed by the top left corner of its cell, not by its baseline.
    void canvas_textOutPlacesTopLeftCorner()
    {
        QImage img(80, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        int cell = 0;
        {
            QPainter p(&img);
            TDrawCanvas canvas(p);
            canvas.SetBrushClear(true);
            canvas.TextOut(10, 20, u"M"_s);
            cell = canvas.TextHeight(u"M"_s);
        }
        const QRect ink = findPixels(img, img.rect(), isDark);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.top() >= 20 && ink.bottom() < 20 + cell,
            qPrintable(u"ink top %1 bottom %2"_s.arg(ink.top()).arg(ink.bottom())));
        QVERIFY(ink.left() >= 10 && ink.left() <= 12);
    }

    // The 3-D frames: lowered outside (shadow top and left), raised inside, each frame's
    // top-right and bottom-left corner pixels in its bottom colour; the dimension lines stop
    // one pixel short of the sheet.
    void screen_framesAndMarksOnTheirPixels_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("control: outer top left") << QPoint(0, 0) << kShadow;
        QTest::newRow("control: outer left") << QPoint(0, 200) << kShadow;
        QTest::newRow("control: outer bottom left corner") << QPoint(0, 339) << kHighlight;
        QTest::newRow("control: outer top right corner") << QPoint(439, 0) << kHighlight;
        QTest::newRow("control: inner top") << QPoint(200, 1) << kHighlight;
        QTest::newRow("control: inner right") << QPoint(438, 200) << kShadow;
        QTest::newRow("margin background") << QPoint(5, 5) << kFace;
        QTest::newRow("sheet: outer left") << QPoint(20, 200) << kShadow;
        QTest::newRow("sheet: outer top") << QPoint(300, 20) << kShadow;
        QTest::newRow("sheet: outer right") << QPoint(419, 200) << kHighlight;
        QTest::newRow("sheet: outer bottom") << QPoint(100, 319) << kHighlight;
        QTest::newRow("sheet: inner left") << QPoint(21, 200) << kHighlight;
        QTest::newRow("sheet: inner bottom") << QPoint(100, 318) << kShadow;
        QTest::newRow("bare sheet") << QPoint(100, 200) << kFace;
        QTest::newRow("part B: outer left") << QPoint(120, 60) << kShadow;
        QTest::newRow("part B: top right corner") << QPoint(169, 20) << kHighlight;
        QTest::newRow("part B: bottom left corner") << QPoint(120, 119) << kHighlight;
        QTest::newRow("part B: inner left") << QPoint(121, 60) << kHighlight;
        QTest::newRow("part B: inner right") << QPoint(168, 60) << kShadow;
        QTest::newRow("part B: inside, not filled") << QPoint(124, 26) << kFace;
        QTest::newRow("top extension line") << QPoint(419, 20) << kBlue;
        QTest::newRow("top extension line's end pixel") << QPoint(418, 20) << kShadow;
        QTest::newRow("bottom extension line") << QPoint(430, 318) << kBlue;
        QTest::newRow("bottom extension line's end pixel") << QPoint(418, 318) << kShadow;
        QTest::newRow("vertical dimension line") << QPoint(428, 25) << kBlue;
        QTest::newRow("left extension line") << QPoint(20, 330) << kBlue;
        QTest::newRow("horizontal dimension line") << QPoint(25, 328) << kBlue;
        QTest::newRow("horizontal dimension line, right") << QPoint(415, 328) << kBlue;
    }
    void screen_framesAndMarksOnTheirPixels()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, colour);
        TDrawMaterial v;
        setUp(v);
        const QImage img = render(v);
        QCOMPARE(img.size(), QSize(440, 340));
        QCOMPARE(QColor(img.pixel(pixel)), colour);
    }

    // The sheet's frame sits at origin + OffSet and holds exactly the scaled sheet.
    void sheetFrame_followsScaleOffsetAndOrigin_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("offSet");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<QRect>("sheet");
        QTest::newRow("scale 50, margin 20") << 50 << 20 << QPoint(0, 0) << QRect(20, 20, 400, 300);
        QTest::newRow("scale 33 rounds") << 33 << 20 << QPoint(0, 0) << QRect(20, 20, 264, 198);
        QTest::newRow("scale 25, margin 10") << 25 << 10 << QPoint(0, 0) << QRect(10, 10, 200, 150);
        QTest::newRow("paper: margin 0 at an origin")
            << 50 << 0 << QPoint(30, 40) << QRect(30, 40, 400, 300);
    }
    void sheetFrame_followsScaleOffsetAndOrigin()
    {
        QFETCH(int, scale);
        QFETCH(int, offSet);
        QFETCH(QPoint, origin);
        QFETCH(QRect, sheet);
        TDrawMaterial v;
        setUp(v);
        v.Materials()->Clear();
        v.SetGuage(false);
        v.SetOffSet(offSet);
        v.SetLeftOffset(origin.x());
        v.SetTopOffset(origin.y());
        v.SetScale(scale);
        QCOMPARE(v.SheetRect().toQRect(), sheet);
        const QImage img = render(v, 5);
        // Lowered outer frame: shadow top left, highlight bottom right; raised inside it.
        QCOMPARE(QColor(img.pixel(sheet.topLeft())), kShadow);
        QCOMPARE(QColor(img.pixel(sheet.left(), sheet.center().y())), kShadow);
        QCOMPARE(QColor(img.pixel(sheet.right(), sheet.center().y())), kHighlight);
        QCOMPARE(QColor(img.pixel(sheet.center().x(), sheet.bottom())), kHighlight);
        QCOMPARE(QColor(img.pixel(sheet.left() + 1, sheet.center().y())), kHighlight);
        QCOMPARE(QColor(img.pixel(sheet.center().x(), sheet.bottom() - 1)), kShadow);
        QCOMPARE(QColor(img.pixel(sheet.center().x(), sheet.top() + 2)), kFace);
        // Nothing is drawn outside the view's rectangle on its surface.
        const TPixelRect all = v.GetRect();
        if (all.Left > 0)
            QCOMPARE(QColor(img.pixel(all.Left - 1, all.Top + 5)), kUntouched);
        QCOMPARE(QColor(img.pixel(all.Right, all.Bottom)), kUntouched);
    }

    // The bevel settings shape every frame set: outer bevel, border in Color, inner bevel.
    void frameSet_followsBevelSettings()
    {
        TDrawMaterial v;
        setUp(v);
        v.Materials()->Clear();
        v.SetGuage(false);
        v.SetBevelOuter(TBevelCut::bvNone);
        v.SetBorderWidth(1);
        v.SetBevelInner(TBevelCut::bvLowered);
        v.SetBevelWidth(2);
        const QImage img = render(v);
        const QList<QColor> left = { kFace, kShadow, kShadow, kFace };
        const QList<QColor> right = { kFace, kHighlight, kHighlight, kFace };
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(QColor(img.pixel(i, 200)), left[i]);
            QCOMPARE(QColor(img.pixel(439 - i, 200)), right[i]);
            QCOMPARE(QColor(img.pixel(20 + i, 200)), left[i]); // the sheet's frame set
        }
        v.SetBevelInner(TBevelCut::bvNone);
        v.SetBorderWidth(0);
        const QImage bare = render(v);
        QVERIFY(findPixels(bare, bare.rect(), [](QRgb p) { return QColor(p) != kFace; }).isEmpty());
    }

    void selectedPart_filledAndMarked_data()
    {
        QTest::addColumn<int>("select");
        QTest::addColumn<bool>("guage");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("printer");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<bool>("marks");
        QTest::newRow("not selected") << -1 << true << false << false << kFace << false;
        QTest::newRow("other part selected") << 0 << true << false << false << kFace << false;
        QTest::newRow("selected") << 2 << true << false << false << kYellow << true;
        QTest::newRow("selected without marks") << 2 << false << false << false << kYellow << false;
        QTest::newRow("read only") << 2 << true << true << false << kFace << false;
        QTest::newRow("printer") << 2 << true << false << true << QColor(Qt::white) << false;
    }
    void selectedPart_filledAndMarked()
    {
        QFETCH(int, select);
        QFETCH(bool, guage);
        QFETCH(bool, readOnly);
        QFETCH(bool, printer);
        QFETCH(QColor, fill);
        QFETCH(bool, marks);
        TDrawMaterial v;
        setUp(v);
        v.SetSelectindex(select);
        v.SetGuage(guage);
        v.SetReadOnly(readOnly);
        v.SetIsPrinter(printer);
        const QImage img = render(v);
        // Part C covers (220,120)-(370,220); its name sits in the middle.
        QCOMPARE(QColor(img.pixel(223, 150)), fill);
        QCOMPARE(QColor(img.pixel(365, 200)), fill);
        QCOMPARE(QColor(img.pixel(220, 170)), printer ? QColor(Qt::black) : kShadow);
        // Its own marks stand in the band left of it and above it.
        const bool blueLeft = !findPixels(img, QRect(200, 100, 20, 140), isBlue).isEmpty();
        const bool blueAbove = !findPixels(img, QRect(215, 100, 160, 20), isBlue).isEmpty();
        QCOMPARE(blueLeft, marks);
        QCOMPARE(blueAbove, marks);
    }

    // A selection index left over from a longer list draws nothing and does not fail.
    void staleSelection_drawsNoSelection()
    {
        TDrawMaterial v;
        setUp(v);
        v.SetSelectindex(2);
        v.Materials()->Delete(2);
        QCOMPARE(v.Selectindex(), 2);
        const QImage img = render(v);
        QVERIFY(findPixels(img, img.rect(), [](QRgb p) { return QColor(p) == kYellow; }).isEmpty());
    }

    // The sheet's numbers: length centred under it, width centred right of it, both only
    // with Guage on and ReadOnly off.
    void sheetNumbers_onlyWithGuageAndNotReadOnly_data()
    {
        QTest::addColumn<bool>("guage");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("shown");
        QTest::newRow("guage") << true << false << true;
        QTest::newRow("no guage") << false << false << false;
        QTest::newRow("read only") << true << true << false;
        QTest::newRow("neither") << false << true << false;
    }
    void sheetNumbers_onlyWithGuageAndNotReadOnly()
    {
        QFETCH(bool, guage);
        QFETCH(bool, readOnly);
        QFETCH(bool, shown);
        TDrawMaterial v;
        setUp(v);
        v.SetGuage(guage);
        v.SetReadOnly(readOnly);
        const QImage img = render(v);
        const QRect below = findPixels(img, QRect(22, 320, 396, 18), isDark);
        const QRect right = findPixels(img, QRect(421, 22, 16, 296), isDark);
        const bool anyBlue = !findPixels(img, img.rect(), isBlue).isEmpty();
        QCOMPARE(!below.isEmpty(), shown);
        QCOMPARE(!right.isEmpty(), shown);
        QCOMPARE(anyBlue, shown);
        if (shown) {
            QVERIFY2(qAbs(below.center().x() - 220) <= 2,
                qPrintable(u"centre %1"_s.arg(below.center().x())));
            QVERIFY2(qAbs(right.center().y() - 170) <= 3,
                qPrintable(u"centre %1"_s.arg(right.center().y())));
        }
    }

    // A four-digit width reads upwards inside the right margin, centred on the sheet's side:
    // written across it would not fit the 20-pixel margin and would be cut at the edge.
    void sheetWidthNumber_fitsTheMargin()
    {
        TDrawMaterial v;
        setUp(v);
        v.SetMWidth(2440);
        v.SetMHeight(1220);
        v.SetScale(20); // sheet 488 x 244 pixels at (20, 20)
        const QImage img = render(v, 40);
        const QRect number = findPixels(img, QRect(509, 22, 55, 240), isDark);
        QVERIFY(!number.isEmpty());
        QVERIFY2(number.right() < 526 && number.left() > 508,
            qPrintable(u"ink from %1 to %2"_s.arg(number.left()).arg(number.right())));
        QVERIFY2(number.height() > 2 * number.width(),
            qPrintable(u"ink %1 x %2"_s.arg(number.width()).arg(number.height())));
        QVERIFY2(qAbs(number.center().y() - 142) <= 3,
            qPrintable(u"centre %1"_s.arg(number.center().y())));
    }

    // On screen, as on paper, a part with room for both carries its size in the corner and its
    // name centred; a part too narrow for them carries them along its length, inside it.
    void partTexts_nameCentredSizeInCorner()
    {
        TDrawMaterial v;
        setUp(v);
        const QImage img = render(v);
        const int th = QFontMetrics(QApplication::font()).height();
        // Part C (220,120)-(370,220): its size "300×200" on the first line, "C" in the middle.
        QVERIFY(!findPixels(img, QRect(223, 123, 144, th), isDark).isEmpty());
        const QRect c = findPixels(img, QRect(223, 123 + th + 2, 144, 94 - th - 2), isDark);
        QVERIFY(!c.isEmpty());
        QVERIFY(qAbs(c.center().x() - 295) <= 2);
        QVERIFY(qAbs(c.center().y() - 170) <= 3);
        // 侧板 in part B (120,20)-(170,120), 50 pixels wide: name and size run upwards inside
        // it, and nothing spills onto the bare sheet right of it.
        const QRect b = findPixels(img, QRect(123, 23, 44, 94), isDark);
        QVERIFY(b.height() > 2 * th);
        QVERIFY(findPixels(img, QRect(172, 22, 46, 96), isDark).isEmpty());
    }

    // On paper everything is black on white whatever colours were set, without marks or
    // selection, and each part carries its size in its top left corner.
    void printer_blackOnWhiteWithSizeTexts()
    {
        TDrawMaterial v;
        setUp(v);
        QPalette pal = v.palette();
        pal.setColor(QPalette::Dark, Qt::green);
        pal.setColor(QPalette::Light, Qt::cyan);
        v.setPalette(pal);
        v.SetColor(Qt::red);
        v.SetOffSet(0);
        v.SetLeftOffset(30);
        v.SetTopOffset(40);
        v.SetScale(50);

        const QImage screen = render(v, 10);
        v.SetSelectindex(2);
        v.SetIsPrinter(true);
        const QImage paper = render(v, 10);
        const TPixelRect all = v.GetRect();
        QCOMPARE(all, (TPixelRect { 30, 40, 430, 340 }));
        for (int y = 0; y < paper.height(); ++y) {
            for (int x = 0; x < paper.width(); ++x) {
                const QRgb p = paper.pixel(x, y);
                if (all.Contains(QPoint(x, y)))
                    QVERIFY2(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p),
                        qPrintable(u"colour at %1,%2"_s.arg(x).arg(y)));
                else
                    QCOMPARE(QColor(p), kUntouched);
            }
        }
        // The sheet's top left frame corner is at the origin; the background is white.
        QCOMPARE(QColor(paper.pixel(30, 40)), QColor(Qt::black));
        QCOMPARE(QColor(paper.pixel(429, 200)), QColor(Qt::black));
        QCOMPARE(QColor(paper.pixel(300, 300)), QColor(Qt::white));
        // Part C at (230,140)-(380,240): "  300×200" from its inner top left corner, on
        // paper as on screen.
        const QRect corner(232, 142, 100, 20);
        QVERIFY(!findPixels(paper, corner, isDark).isEmpty());
        QCOMPARE(findPixels(screen, corner, isDark), findPixels(paper, corner, isDark));
        const QRect size = findPixels(paper, corner, isDark);
        QVERIFY(size.left() > 232 + 4); // after the two spaces
    }

    // The cut plan is drawn only when asked: on screen each cut a red line where its kerf
    // starts with its number, the offcuts kept shaded green; on paper the lines black and
    // thick; a layout without a plan says so on the sheet.
    void cutPlan_drawnWhenAsked()
    {
        TDrawMaterial v;
        v.SetMWidth(800);
        v.SetMHeight(600);
        TDrawMaterialItem *item = v.Materials()->Add();
        item->SetText(u"A"_s);
        item->SetWidth(400);
        item->SetHeight(300);
        v.SetScale(50); // sheet (20,20)-(420,320); part (20,20)-(220,170)
        // A cut along the sheet at y 300 (pixel row 170), then one across the strip at x 400
        // (pixel column 220); the 800 x 300 below and the 400 x 300 right are kept.
        v.SetCutPlan(
            std::make_shared<const TCutPlan>(MakeCutPlan(800, 600, 0, { { 0, 0, 400, 300 } })));
        QCOMPARE(v.CutPlan()->Cuts.size(), std::size_t(2));
        const auto isRed = [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 60 && qBlue(p) < 60; };
        const auto isGreen
            = [](QRgb p) { return qGreen(p) > 100 && qRed(p) < 100 && qBlue(p) < 120; };
        const QImage off = render(v);
        QVERIFY(findPixels(off, QRect(0, 0, 440, 340), isRed).isEmpty());
        QVERIFY(findPixels(off, QRect(0, 0, 440, 340), isGreen).isEmpty());

        v.SetShowCuts(true);
        const QImage on = render(v);
        const QRect first = findPixels(on, QRect(20, 165, 400, 10), isRed);
        QVERIFY(first.left() <= 22 && first.right() >= 417);
        const QRect second = findPixels(on, QRect(215, 20, 10, 150), isRed);
        QVERIFY(second.top() <= 22 && second.bottom() >= 165);
        // Numbers in white boxes on the lines, the offcuts shaded.
        QVERIFY(findPixels(on, QRect(100, 150, 240, 40), [](QRgb p) {
            return qGray(p) == 255;
        }).isValid());
        QVERIFY(findPixels(on, QRect(30, 200, 380, 110), isGreen).isValid());
        QVERIFY(findPixels(on, QRect(230, 30, 180, 130), isGreen).isValid());

        v.SetReadOnly(true);
        v.SetIsPrinter(true);
        const QImage paper = render(v);
        QVERIFY(findPixels(paper, QRect(0, 0, 440, 340), isRed).isEmpty());
        QVERIFY(findPixels(paper, QRect(100, 160, 20, 20), isDark).height() >= 2);

        // No plan: the message, and no lines.
        v.SetIsPrinter(false);
        v.SetReadOnly(false);
        TCutPlan none;
        none.SheetWidth = 800;
        none.SheetHeight = 600;
        v.SetCutPlan(std::make_shared<const TCutPlan>(none));
        const QImage message = render(v);
        QVERIFY(findPixels(message, QRect(20, 20, 400, 40), isRed).isValid());
        QVERIFY(findPixels(message, QRect(20, 165, 400, 10), isRed).isEmpty());
    }

    // The trim is a hatched band inside the sheet's edge, the sheet's grain fine lines over the
    // bare sheet (the parts cover them), a part held to its grain fine lines of its own; on
    // screen and on paper. Without them the picture is as before.
    void trimAndGrain_drawnOnScreenAndPaper()
    {
        TDrawMaterial v;
        v.SetColor(kFace);
        v.SetMWidth(800);
        v.SetMHeight(600);
        // At scale 50 the sheet is (20,20)-(420,320) and a trim of 40 mm a band of 20 pixels.
        // Part H (held, grain along y) at (60,60)-(160,160), part F (free) at (200,60)-(300,160).
        const struct
        {
            int left;
            TGrainDirection grain;
        } parts[] = { { 80, TGrainDirection::AlongY }, { 360, TGrainDirection::None } };
        for (const auto &p : parts) {
            TDrawMaterialItem *item = v.Materials()->Add();
            item->SetLeft(p.left);
            item->SetTop(80);
            item->SetWidth(200);
            item->SetHeight(200);
            item->SetGrain(p.grain);
        }
        v.SetScale(50);
        const auto notFace = [](QRgb p) { return QColor(p) != kFace; };
        const QRect band(24, 100, 12, 100), bare(330, 200, 60, 100), held(75, 75, 70, 70),
            free(215, 75, 70, 70);
        // Held part lines show without the sheet's grain too; nothing else does.
        const QImage plain = render(v);
        QVERIFY(findPixels(plain, band, notFace).isEmpty());
        QVERIFY(findPixels(plain, bare, notFace).isEmpty());
        QVERIFY(findPixels(plain, free, notFace).isEmpty());
        const QRect heldLines = findPixels(plain, held, notFace);
        QVERIFY(heldLines.height() >= 65); // lines along y
        QVERIFY(findPixels(plain, QRect(75, 100, 70, 1), notFace).width() >= 45); // many of them

        v.SetTrim(40);
        v.SetSheetGrain(TGrainDirection::AlongX);
        const QImage marked = render(v);
        QVERIFY(findPixels(marked, band, notFace).isValid()); // hatched
        QVERIFY(findPixels(marked, QRect(30, 30, 4, 4), notFace).isValid()); // in the corner too
        const QRect lines = findPixels(marked, bare, notFace);
        QVERIFY(lines.width() >= 55); // lines along x over the bare sheet
        QVERIFY(findPixels(marked, free, notFace).isEmpty()); // the free part covers them
        QVERIFY(findPixels(marked, QRect(75, 100, 70, 1), notFace).width() >= 45);
        // Grain lines stop at the trim.
        QVERIFY(findPixels(marked, QRect(24, 250, 12, 60), [](QRgb p) {
            return QColor(p) == QColor(215, 195, 160);
        }).isEmpty());

        // Paper: the same marks in grey on white.
        v.SetReadOnly(true);
        v.SetIsPrinter(true);
        const QImage paper = render(v);
        const auto isGrey = [](QRgb p) { return qGray(p) < 230 && qGray(p) > 60; };
        QVERIFY(findPixels(paper, band, isGrey).isValid());
        QVERIFY(findPixels(paper, bare, isGrey).isValid());
        QVERIFY(findPixels(paper, free, [](QRgb p) { return qGray(p) < 250; }).isEmpty());
        QVERIFY(findPixels(paper, held, isGrey).isValid());
    }

    // Painting through the widget shows exactly what the paint routine draws.
    void screenPath_showsThePaintRoutinesPicture()
    {
        TDrawMaterial v;
        setUp(v);
        v.SetSelectindex(1);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QImage shown = v.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage drawn = v.RenderImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), drawn.size());
        QVERIFY(shown == drawn);
        QCOMPARE(QColor(shown.pixel(145, 40)), kYellow);
    }

    // Printing as the print commands do it: a hidden temporary view in printer mode paints
    // onto the page as soon as Drawer is switched on.
    void printToPdf_givesOnePageWithTheLayout()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TDrawMaterial shown;
        setUp(shown);
        shown.SetSelectindex(0);

        const auto print = [&](const QString &file, bool draw) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setResolution(300); // a fitted scale within 0 to 501
            printer.setOutputFileName(file);
            printer.setPageSize(QPageSize(QPageSize::A4));
            QPainter painter(&printer);
            const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
            TDrawMaterial temp;
            temp.hide();
            temp.SetDrawer(false);
            temp.Assign(shown);
            temp.SetOffSet(0);
            temp.SetLeftOffset(100);
            temp.SetTopOffset(100);
            const int sw = int((page.width() - 300) / (temp.MWidth() / 100.0));
            const int sh = int((page.height() - 500) / (temp.MHeight() / 100.0));
            temp.SetScale(sw < sh ? sw : sh);
            QCOMPARE(temp.Scale(), sw < sh ? sw : sh);
            QCOMPARE(
                temp.size(), QSize(MulDiv(800, temp.Scale(), 100), MulDiv(600, temp.Scale(), 100)));
            temp.SetReadOnly(true);
            temp.SetPrinterCanvas(&painter);
            temp.SetIsPrinter(true);
            if (draw)
                temp.SetDrawer(true);
            temp.SetIsPrinter(false);
            // Texts written next get a white box, as on the page the view left.
            if (draw) {
                QCOMPARE(painter.backgroundMode(), Qt::OpaqueMode);
                QCOMPARE(painter.background().color(), QColor(Qt::white));
            }
            QVERIFY(painter.end());
        };
        const QString drawn = dir.filePath(u"layout.pdf"_s);
        const QString blank = dir.filePath(u"blank.pdf"_s);
        print(drawn, true);
        print(blank, false);

        QFile f(drawn);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray pdf = f.readAll();
        QVERIFY(pdf.startsWith("%PDF-1."));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        const auto pages
            = QRegularExpression(u"/Type\\s*/Page(?!s)"_s).globalMatch(QString::fromLatin1(pdf));
        int count = 0;
        for (auto it = pages; it.hasNext(); it.next())
            ++count;
        QCOMPARE(count, 1);
        QVERIFY(pdf.contains("/Count 1"));
        // The drawing made it into the page: more content than the same job left blank.
        QVERIFY(pdf.size() > QFileInfo(blank).size() + 1000);
    }
};

QTEST_MAIN(TestDrawMaterialPaint)
#include "tst_drawmaterial_paint.moc"
