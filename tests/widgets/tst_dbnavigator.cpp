// The record navigator: which buttons a row set's state offers, what each does, the question
// before deleting, a handler that replaces a button's own action, the button subset and hints,
// errors, and text still being typed into a grid going in before the row set moves.

#include "DBNavigator.h"
#include "LibraryFixture.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace LibraryTest;

namespace {

QStringList enabledButtons(const TDBNavigator &nav)
{
    QStringList out;
    for (TDBNavigator::TNavigateBtn b : TDBNavigator::allButtons())
        if (nav.button(b)->isEnabled())
            out << nav.button(b)->objectName();
    return out;
}

QStringList names(TRowSet &rs)
{
    QStringList out;
    const int c = rs.fieldIndex(u"Name"_s);
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.data(rs.index(r, c)).toString();
    return out;
}

void seed(TLibraryStore &store, int rows)
{
    for (int i = 1; i <= rows; ++i)
        store.addPart(QString::number(i), 100 * i, 10 * i);
}

} // namespace

class TestDBNavigator : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup() { QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked"); }

    void buttons_followTheRowSet_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QStringList>("enabled");
        const QStringList moveDown { u"nbNext"_s, u"nbLast"_s };
        const QStringList moveUp { u"nbFirst"_s, u"nbPrior"_s };
        const QStringList browse { u"nbInsert"_s, u"nbDelete"_s, u"nbEdit"_s };
        const QStringList editing { u"nbInsert"_s, u"nbDelete"_s, u"nbPost"_s, u"nbCancel"_s };
        QTest::newRow("no row set") << u"none"_s << QStringList();
        QTest::newRow("closed") << u"closed"_s << QStringList();
        QTest::newRow("first of three")
            << u"row1"_s << moveDown + browse + QStringList { u"nbRefresh"_s };
        QTest::newRow("second of three")
            << u"row2"_s << moveUp + moveDown + browse + QStringList { u"nbRefresh"_s };
        QTest::newRow("last of three")
            << u"row3"_s << moveUp + browse + QStringList { u"nbRefresh"_s };
        QTest::newRow("editing the second") << u"edit"_s << moveUp + moveDown + editing;
        QTest::newRow("new row at the end") << u"append"_s << moveUp + editing;
        QTest::newRow("empty") << u"empty"_s
                               << QStringList { u"nbInsert"_s, u"nbEdit"_s, u"nbRefresh"_s };
        // Refresh would read the rows again and lose what is not saved.
        QTest::newRow("pending change") << u"pending"_s << moveDown + browse;
        QTest::newRow("after saving")
            << u"saved"_s << moveDown + browse + QStringList { u"nbRefresh"_s };
        QTest::newRow("read-only query")
            << u"readonly"_s << moveDown + QStringList { u"nbRefresh"_s };
    }
    void buttons_followTheRowSet()
    {
        QFETCH(QString, situation);
        QFETCH(QStringList, enabled);
        TLibraryStore store;
        seed(store, situation == u"empty"_s ? 0 : 3);
        TRowSet rs(Sql::PartLibrary);
        TDBNavigator nav;
        if (situation != u"none"_s)
            nav.setDataSource(&rs);
        if (situation != u"none"_s && situation != u"closed"_s) {
            if (situation == u"readonly"_s)
                rs.setCommandText(
                    u"select count(*) AS n, 1 AS m from 零件信息表 union all select 2, 3"_s);
            rs.open();
        }
        if (situation == u"row2"_s || situation == u"edit"_s)
            rs.setRecNo(2);
        if (situation == u"row3"_s)
            rs.last();
        if (situation == u"edit"_s)
            rs.edit();
        if (situation == u"append"_s)
            rs.append();
        if (situation == u"pending"_s || situation == u"saved"_s) {
            rs.edit();
            rs.field(u"Name"_s).setAsString(u"x"_s);
            rs.post();
        }
        if (situation == u"saved"_s) {
            rs.updateBatch(); // the save itself tells the navigator that refresh is safe again
        }
        QCOMPARE(enabledButtons(nav), enabled);
    }

    void buttons_actOnTheRowSet()
    {
        TLibraryStore store;
        seed(store, 3);
        TRowSet rs(Sql::PartLibrary);
        rs.open();
        TDBNavigator nav;
        nav.setDataSource(&rs);
        QSignalSpy clicked(&nav, &TDBNavigator::clicked);
        auto click = [&](TDBNavigator::TNavigateBtn b) {
            QTest::mouseClick(nav.button(b), Qt::LeftButton);
        };

        click(TDBNavigator::nbLast);
        QCOMPARE(rs.recNo(), 3);
        click(TDBNavigator::nbPrior);
        QCOMPARE(rs.recNo(), 2);
        click(TDBNavigator::nbFirst);
        QCOMPARE(rs.recNo(), 1);
        click(TDBNavigator::nbNext);
        QCOMPARE(rs.recNo(), 2);
        QCOMPARE(clicked.size(), 4);
        QCOMPARE(clicked.last().at(0).value<TDBNavigator::TNavigateBtn>(), TDBNavigator::nbNext);

        click(TDBNavigator::nbInsert); // before the current row
        QCOMPARE(rs.state(), dsInsert);
        QCOMPARE(rs.recNo(), 2);
        QCOMPARE(rs.recordCount(), 4);
        click(TDBNavigator::nbCancel);
        QCOMPARE(names(rs), (QStringList { u"1"_s, u"2"_s, u"3"_s }));
        QCOMPARE(rs.recNo(), 2);

        click(TDBNavigator::nbEdit);
        QCOMPARE(rs.state(), dsEdit);
        rs.field(u"Name"_s).setAsString(u"二"_s);
        click(TDBNavigator::nbPost);
        QCOMPARE(rs.state(), dsBrowse);
        QCOMPARE(names(rs), (QStringList { u"1"_s, u"二"_s, u"3"_s }));
        rs.updateBatch();
        nav.updateButtons(); // as the one who saves does: nothing pending, refresh offered

        // Refresh reads the rows as stored now and stays on the same position.
        store.addPart(u"4"_s, 400, 40);
        click(TDBNavigator::nbRefresh);
        QCOMPARE(names(rs), (QStringList { u"1"_s, u"二"_s, u"3"_s, u"4"_s }));
        QCOMPARE(rs.recNo(), 2);

        // A button that is not offered does nothing, even when called directly.
        rs.first();
        nav.btnClick(TDBNavigator::nbPrior);
        QCOMPARE(rs.recNo(), 1);
    }

    void delete_asksFirst_withTheQuestionSet_data()
    {
        QTest::addColumn<QString>("question"); // empty: the stock question
        QTest::addColumn<bool>("confirm");
        QTest::newRow("stock question") << QString() << true;
        QTest::newRow("the workspace's question") << u"Delete selected record?"_s << true;
        QTest::newRow("no question") << QString() << false;
    }
    void delete_asksFirst_withTheQuestionSet()
    {
        QFETCH(QString, question);
        QFETCH(bool, confirm);
        TLibraryStore store;
        seed(store, 2);
        TRowSet rs(Sql::PartLibrary);
        rs.open();
        TDBNavigator nav;
        nav.setDataSource(&rs);
        nav.setConfirmDelete(confirm);
        if (!question.isEmpty())
            nav.setDeleteQuestion(question);
        const QString asked = question.isEmpty() ? u"确实要删除当前记录吗？"_s : question;

        nav.btnClick(TDBNavigator::nbDelete); // unanswered under capture: Cancel
        QCOMPARE(Dialogs::takeCaptured(), confirm ? QStringList { u"?"_s + asked } : QStringList());
        QCOMPARE(rs.recordCount(), confirm ? 2 : 1);

        if (confirm) {
            Dialogs::setNextAnswer(true);
            nav.btnClick(TDBNavigator::nbDelete);
            QCOMPARE(names(rs), QStringList { u"2"_s });
        }
    }

    // The project workspace deletes a scheme with its own question and statements in place of
    // the navigator's: the handler runs first and the stock action is skipped.
    void beforeAction_mayReplaceTheStockAction()
    {
        TLibraryStore store;
        seed(store, 3);
        TRowSet rs(Sql::PartLibrary);
        rs.open();
        TDBNavigator nav;
        nav.setDataSource(&rs);
        QList<TDBNavigator::TNavigateBtn> seen;
        nav.setBeforeAction([&](TDBNavigator::TNavigateBtn b) {
            seen << b;
            if (b != TDBNavigator::nbDelete)
                return true;
            if (Dialogs::askOkCancel(nullptr, u"是否删除数据！"_s))
                rs.deleteRecord();
            return false;
        });
        Dialogs::setNextAnswer(true);
        nav.btnClick(TDBNavigator::nbDelete);
        QCOMPARE(names(rs), (QStringList { u"2"_s, u"3"_s })); // one row, not two
        nav.btnClick(TDBNavigator::nbNext);
        QCOMPARE(rs.recNo(), 2);
        QCOMPARE(seen,
            (QList<TDBNavigator::TNavigateBtn> { TDBNavigator::nbDelete, TDBNavigator::nbNext }));

        // A handler that throws abandons the click; the error is reported.
        nav.setBeforeAction(
            [](TDBNavigator::TNavigateBtn) -> bool { throw TDBError(u"磁盘已满"_s); });
        QTest::mouseClick(nav.button(TDBNavigator::nbFirst), Qt::LeftButton);
        QCOMPARE(rs.recNo(), 2);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"磁盘已满."_s });
    }

    void buttonSubsetAndHints()
    {
        TDBNavigator nav;
        nav.resize(432, 35);
        nav.show();
        // The lists of the project workspace: nine buttons, without refresh.
        TDBNavigator::TButtonSet nine = TDBNavigator::allButtons();
        nine.removeAll(TDBNavigator::nbRefresh);
        nav.setVisibleButtons(nine);
        QCoreApplication::sendPostedEvents(); // the layout shares the width anew
        QStringList shown;
        for (TDBNavigator::TNavigateBtn b : TDBNavigator::allButtons())
            if (nav.button(b)->isVisible())
                shown << nav.button(b)->toolTip();
        QCOMPARE(shown,
            (QStringList { u"第一条"_s, u"上一条"_s, u"下一条"_s, u"最后条"_s, u"插入"_s, u"删除"_s,
                u"编辑"_s, u"提交"_s, u"放弃"_s }));
        // The visible buttons share the width.
        const int w = nav.button(TDBNavigator::nbFirst)->width();
        QVERIFY2(w >= 432 / 9 - 1 && w <= 432 / 9 + 1, qPrintable(QString::number(w)));

        QStringList hints = TDBNavigator::defaultHints();
        hints[0] = u"首条|移到第一条记录"_s;
        nav.setHints(hints);
        QCOMPARE(nav.button(TDBNavigator::nbFirst)->toolTip(), u"首条"_s);
        QCOMPARE(nav.button(TDBNavigator::nbFirst)->statusTip(), u"移到第一条记录"_s);
    }

    void storeErrors_areReported()
    {
        TLibraryStore store;
        seed(store, 2);
        TRowSet rs(Sql::PartLibrary);
        rs.open();
        TDBNavigator nav;
        nav.setDataSource(&rs);
        store.exec(u"ALTER TABLE 零件信息表 RENAME TO 旧表"_s);
        QTest::mouseClick(nav.button(TDBNavigator::nbRefresh), Qt::LeftButton);
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"零件信息表"_s), qPrintable(errors[0]));
        QCOMPARE(enabledButtons(nav), QStringList());
    }

    // Text still in a grid's cell editor goes into its row before the navigator moves on, and
    // is dropped by cancel.
    void gridEditorText_goesInBeforeTheRowSetMoves()
    {
        TLibraryStore store;
        seed(store, 3);
        TRowSet rs(Sql::PartLibrary);
        QWidget window;
        TDBGrid grid(&window);
        grid.setGeometry(0, 40, 400, 200);
        TDBNavigator nav(&window);
        nav.setGeometry(0, 0, 400, 35);
        grid.setColumns({ { u"Name"_s, u"名称"_s, 95 }, { u"Length"_s, u"长"_s, 100 } });
        grid.setDataSource(&rs);
        nav.setDataSource(&rs);
        rs.open();
        QVERIFY(showActive(&window));
        grid.setFocus();

        QTest::mouseClick(
            grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.cellIndex(0, 1)).center());
        type(&grid, u"777"_s);
        QVERIFY(grid.indexWidget(grid.currentIndex()));
        QTest::mouseClick(nav.button(TDBNavigator::nbNext), Qt::LeftButton);
        QCOMPARE(rs.recNo(), 2);
        QCOMPARE(grid.cellIndex(0, 1).data().toString(), u"777"_s);
        QCOMPARE(grid.currentIndex(), grid.cellIndex(1, 1));

        type(&grid, u"55"_s);
        QTest::mouseClick(nav.button(TDBNavigator::nbEdit), Qt::LeftButton); // text goes in
        QCOMPARE(rs.field(u"Length"_s).asString(), u"55"_s);
        type(&grid, u"9"_s);
        QTest::mouseClick(nav.button(TDBNavigator::nbCancel), Qt::LeftButton);
        QVERIFY(!grid.indexWidget(grid.currentIndex()));
        QCOMPARE(rs.field(u"Length"_s).asString(), u"200"_s);

        // Text the row set refuses keeps the editor open and the row set where it is.
        type(&grid, u"1"_s);
        auto *editor = qobject_cast<QLineEdit *>(grid.indexWidget(grid.currentIndex()));
        QVERIFY(editor);
        editor->setValidator(nullptr);
        editor->setText(u"12x"_s);
        QTest::mouseClick(nav.button(TDBNavigator::nbNext), Qt::LeftButton);
        QCOMPARE(rs.recNo(), 2);
        QVERIFY(grid.indexWidget(grid.currentIndex()));
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"12x"_s), qPrintable(errors[0]));
    }
};

QTEST_MAIN(TestDBNavigator)
#include "tst_dbnavigator.moc"
