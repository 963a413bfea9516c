#include "TabStrip.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

class TestTabStrip : public QObject
{
    Q_OBJECT
private slots:
    // Filling the strip chooses nothing; choosing scrolls the tab into view; clearing empties.
    void currentTab_noneUntilChosen_scrolledIntoView()
    {
        TTabStrip strip;
        strip.resize(300, strip.sizeHint().height());
        strip.show();
        QSignalSpy changed(&strip, &TTabStrip::currentChanged);
        for (int i = 1; i <= 3000; ++i)
            strip.addTab(u"切割"_s + QString::number(i));
        QCOMPARE(strip.count(), 3000);
        QCOMPARE(strip.currentIndex(), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(strip.tabText(2999), u"切割3000"_s);

        auto *left = strip.findChild<QToolButton *>(u"btnScrollLeft"_s);
        auto *right = strip.findChild<QToolButton *>(u"btnScrollRight"_s);
        QVERIFY(left->isVisible() && right->isVisible());
        QVERIFY(!left->isEnabled() && right->isEnabled());

        strip.setCurrentIndex(2999);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toInt(), 2999);
        QCOMPARE(strip.firstVisible() + strip.visibleCount() - 1, 2999);
        QVERIFY(!strip.tabRect(2999).isEmpty());
        QVERIFY(strip.tabRect(0).isEmpty());
        QVERIFY(left->isEnabled() && !right->isEnabled());
        strip.setCurrentIndex(2999); // no change, no signal
        QCOMPARE(changed.count(), 1);

        QTest::mouseClick(left, Qt::LeftButton);
        QCOMPARE(strip.firstVisible() + strip.visibleCount() - 1, 2998);

        strip.clear();
        QCOMPARE(strip.count(), 0);
        QCOMPARE(strip.currentIndex(), -1);
        QCOMPARE(changed.last().at(0).toInt(), -1);
        QVERIFY(!left->isVisible());
    }

    // A click on a tab reports the click and makes it current; keys move the current tab.
    void mouseAndKeys()
    {
        TTabStrip strip;
        strip.resize(600, strip.sizeHint().height());
        strip.show();
        for (int i = 1; i <= 3; ++i)
            strip.addTab(u"切割"_s + QString::number(i));
        QSignalSpy clicked(&strip, &TTabStrip::tabBarClicked);
        QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.tabRect(1).center());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(strip.currentIndex(), 1);
        QCOMPARE(strip.tabAt(QPoint(599, 2)), -1);
        QTest::keyClick(&strip, Qt::Key_Right);
        QCOMPARE(strip.currentIndex(), 2);
        QTest::keyClick(&strip, Qt::Key_Right);
        QCOMPARE(strip.currentIndex(), 2);
        QTest::keyClick(&strip, Qt::Key_Home);
        QCOMPARE(strip.currentIndex(), 0);
    }
};

QTEST_MAIN(TestTabStrip)
#include "tst_tabstrip.moc"
