#include "DataFixture.h"
#include "RowCheck.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The sheet rules of a scheme: sizes above 0, kerf and price may be empty but not negative.
static const QList<TColumnRule> SheetRules {
    { u"长度"_s, u"长度"_s, TColumnRule::Positive },
    { u"宽度"_s, u"宽度"_s, TColumnRule::Positive },
    { u"刀口"_s, u"刀口"_s, TColumnRule::NonNegative },
    { u"价格"_s, u"价格"_s, TColumnRule::NonNegative },
};

class TestRowCheck : public QObject
{
    Q_OBJECT
private slots:
    void badCells_areListedRowByRow_inRuleOrder_pendingEditsIncluded()
    {
        TTempStore store;
        TRowSet rows;
        rows.open(u"select * from 原材料表"_s);
        struct Row
        {
            QString name, length, width, kerf, price;
        };
        const QList<Row> table {
            { u"好板"_s, u"2440"_s, u"1220"_s, u""_s, u""_s }, // empty kerf and price are fine
            { u"零长"_s, u"0"_s, u"1220"_s, u"0"_s, u"10"_s },
            { u""_s, u"2440"_s, u"-5"_s, u"-1"_s, u"-0.5"_s },
            { u"空"_s, u""_s, u""_s, u""_s, u""_s },
        };
        for (const Row &r : table) {
            rows.append();
            rows.field(u"名称"_s).setAsString(r.name);
            rows.field(u"长度"_s).setAsString(r.length);
            rows.field(u"宽度"_s).setAsString(r.width);
            rows.field(u"刀口"_s).setAsString(r.kerf);
            rows.field(u"价格"_s).setAsString(r.price);
            rows.post();
        }
        rows.setRecNo(2);
        const QList<TRowProblem> problems = CheckRows(rows, SheetRules);
        QCOMPARE(rows.recNo(), 2); // the current row did not move
        QCOMPARE(DescribeProblems(rows, problems, u"名称"_s),
            (QStringList { u"第2行（零长） 长度：必须大于0"_s, u"第3行 宽度：必须大于0"_s,
                u"第3行 刀口：不能小于0"_s, u"第3行 价格：不能小于0"_s,
                u"第4行（空） 长度：不能为空"_s, u"第4行（空） 宽度：不能为空"_s }));
        QVERIFY(!RowIsBlank(rows, 0, SheetRules));
        QVERIFY(RowIsBlank(rows, 3, SheetRules));
    }

    void requiredNonNegative_refusesEmpty_acceptsZero()
    {
        TTempStore store;
        TRowSet rows;
        rows.open(u"select * from 零件表"_s);
        for (const QString &count : { u""_s, u"0"_s, u"-2"_s }) {
            rows.append();
            rows.field(u"长度"_s).setAsString(u"100"_s);
            rows.field(u"宽度"_s).setAsString(u"50"_s);
            rows.field(u"数量"_s).setAsString(count);
            rows.post();
        }
        const QList<TColumnRule> rules { { u"数量"_s, u"数量"_s, TColumnRule::RequiredNonNegative },
            { u"不存在"_s, u"不存在"_s, TColumnRule::Positive } };
        QCOMPARE(DescribeProblems(rows, CheckRows(rows, rules)),
            (QStringList { u"第1行 数量：不能为空"_s, u"第3行 数量：不能小于0"_s }));
    }
};

QTEST_MAIN(TestRowCheck)
#include "tst_rowcheck.moc"
