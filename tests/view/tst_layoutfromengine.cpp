#include "DrawMaterial.h"
#include "LayoutFromEngine.h"
#include "TypeSetClass.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLayoutFromEngine : public QObject
{
    Q_OBJECT
private slots:
    // Each strip is a row of Count equal parts spaced by the kerf; only the view's group is drawn,
    // in the engine's strip order.
    void drawPanel_spreadsStripsOfTheViewsGroup()
    {
        TRectManage engine;
        struct Strip
        {
            const char *text;
            int group, x, y, width, height, count, blade;
            TOrient range;
        };
        const Strip strips[] = {
            { "门板", 1, 0, 0, 500, 300, 4, 4, TOrient::horizontal },
            { "别组", 2, 0, 0, 100, 100, 3, 4, TOrient::horizontal },
            { "侧板", 1, 2000, 0, 200, 350, 3, 4, TOrient::vertical },
        };
        for (const Strip &s : strips) {
            TMaterialType *r = engine.CreateRectList().Add();
            r->SetText(s.text);
            r->SetGroup(s.group);
            r->SetX(s.x);
            r->SetY(s.y);
            r->SetWidth(s.width);
            r->SetHeight(s.height);
            r->SetCount(s.count);
            r->SetBlade(s.blade);
            r->SetRange(s.range);
        }
        TMaterialType *sheet = engine.BCTypeList().Add();
        sheet->SetWidth(2440);
        sheet->SetHeight(1220);
        sheet->SetBlade(4);

        TDrawMaterial view;
        SetupLayoutView(view, *sheet, 1, 6);
        QCOMPARE(view.MWidth(), 2440);
        QCOMPARE(view.MHeight(), 1220);
        QCOMPARE(view.Tag(), 6);
        QCOMPARE(view.Group(), 1);
        QCOMPARE(view.Blade(), 4);
        QCOMPARE(view.SelectColor(), QColor(255, 255, 0));
        QCOMPARE(view.LineColor(), QColor(0, 0, 255));
        QVERIFY(view.ShowHint());

        DrawPanel(view, engine, TOffcutRule());
        QVERIFY(view.Drawer());
        QStringList got;
        for (int i = 0; i < view.Materials()->Count(); ++i) {
            const TDrawMaterialItem *it = view.Materials()->GetItem(i);
            got << u"%1 %2,%3 %4x%5"_s.arg(it->Text())
                       .arg(it->Left())
                       .arg(it->Top())
                       .arg(it->Width())
                       .arg(it->Height());
        }
        QCOMPARE(got,
            (QStringList { u"门板 0,0 500x300"_s, u"门板 504,0 500x300"_s, u"门板 1008,0 500x300"_s,
                u"门板 1512,0 500x300"_s, u"侧板 2000,0 200x350"_s, u"侧板 2000,354 200x350"_s,
                u"侧板 2000,708 200x350"_s }));
        // The view has the layout's cut plan, on its own sheet with its kerf: none here, as the
        // row of doors runs into the side panels (x 2000 to 2012).
        QVERIFY(view.CutPlan());
        QVERIFY(!view.CutPlan()->Cuttable);
        QCOMPARE(view.CutPlan()->SheetWidth, 2440);
        QCOMPARE(view.CutPlan()->Kerf, 4);
        QVERIFY(!view.ShowCuts());
    }

    // A part lies turned when its entered length runs along the sheet's width: the engine keeps
    // the longer side in Width and notes on the strip that the entered length was the shorter.
    void drawPanel_marksTurnedParts_data()
    {
        QTest::addColumn<int>("width"); // of the strip's part, along x
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("shortFirst"); // entered with the shorter side as its length
        QTest::addColumn<bool>("turned");
        QTest::addColumn<QString>("size");
        QTest::newRow("764 x 540 lying along x") << 764 << 540 << false << false << u"764×540"_s;
        QTest::newRow("764 x 540 turned") << 540 << 764 << false << true << u"764×540 ↻"_s;
        QTest::newRow("540 x 764 lying along x") << 540 << 764 << true << false << u"540×764"_s;
        QTest::newRow("540 x 764 turned") << 764 << 540 << true << true << u"540×764 ↻"_s;
        QTest::newRow("square") << 500 << 500 << true << false << u"500×500"_s;
    }
    void drawPanel_marksTurnedParts()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, shortFirst);
        QFETCH(bool, turned);
        QFETCH(QString, size);
        TRectManage engine;
        TMaterialType *r = engine.CreateRectList().Add();
        r->SetText("门");
        r->SetGroup(1);
        r->SetWidth(width);
        r->SetHeight(height);
        r->SetCount(2);
        r->SetRange(TOrient::horizontal);
        r->SetEnteredLengthShorter(shortFirst);
        TDrawMaterial view;
        SetupLayoutView(view, 2440, 1220, 0, 1, 1);
        DrawPanel(view, engine, TOffcutRule());
        QCOMPARE(view.Materials()->Count(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(view.Materials()->GetItem(i)->Turned(), turned);
            QCOMPARE(view.Materials()->GetItem(i)->SizeText(), size);
        }
    }
};

QTEST_MAIN(TestLayoutFromEngine)
#include "tst_layoutfromengine.moc"
