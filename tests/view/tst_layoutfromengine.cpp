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

        DrawPanel(view, engine);
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
    }
};

QTEST_MAIN(TestLayoutFromEngine)
#include "tst_layoutfromengine.moc"
