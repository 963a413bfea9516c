#include "Currency.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

class TestCurrency : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void toString_data();
    void toString();
    void fromDouble_data();
    void fromDouble();
};

void TestCurrency::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("units");
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("33.3") << u"33.3"_s << true << qint64(333000);
    QTest::newRow("smallest step") << u"0.0001"_s << true << qint64(1);
    QTest::newRow("four nines") << u"99999.9999"_s << true << qint64(999999999);
    QTest::newRow("negative") << u"-5"_s << true << qint64(-50000);
    QTest::newRow("plus and blanks") << u"  +7.25 "_s << true << qint64(72500);
    QTest::newRow("no whole part") << u".5"_s << true << qint64(5000);
    QTest::newRow("no fraction") << u"5."_s << true << qint64(50000);
    QTest::newRow("fifth decimal rounds up") << u"1.00005"_s << true << qint64(10001);
    QTest::newRow("fifth decimal rounds down") << u"1.00004999"_s << true << qint64(10000);
    QTest::newRow("negative rounds away") << u"-1.00005"_s << true << qint64(-10001);
    QTest::newRow("largest") << u"922337203685477.5807"_s << true << max;
    QTest::newRow("smallest") << u"-922337203685477.5808"_s << true << min;
    QTest::newRow("just too large") << u"922337203685477.5808"_s << false << qint64(0);
    QTest::newRow("rounding past the limit") << u"922337203685477.58075"_s << false << qint64(0);
    QTest::newRow("huge") << u"123456789012345678901234567890"_s << false << qint64(0);
    QTest::newRow("empty") << QString() << false << qint64(0);
    QTest::newRow("blanks") << u"   "_s << false << qint64(0);
    QTest::newRow("letters") << u"abc"_s << false << qint64(0);
    QTest::newRow("trailing letter") << u"12x"_s << false << qint64(0);
    QTest::newRow("comma") << u"1,5"_s << false << qint64(0);
    QTest::newRow("exponent") << u"1e3"_s << false << qint64(0);
    QTest::newRow("two signs") << u"--1"_s << false << qint64(0);
    QTest::newRow("lone point") << u"."_s << false << qint64(0);
    QTest::newRow("two points") << u"1.2.3"_s << false << qint64(0);
    QTest::newRow("full-width digits") << u"１２"_s << false << qint64(0);
}

void TestCurrency::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, units);
    const std::optional<TCurrency> c = TCurrency::parse(text);
    QCOMPARE(c.has_value(), valid);
    if (valid)
        QCOMPARE(c->units(), units);
}

void TestCurrency::toString_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << u"0"_s;
    QTest::newRow("33.3") << qint64(333000) << u"33.3"_s;
    QTest::newRow("0.0001") << qint64(1) << u"0.0001"_s;
    QTest::newRow("99999.9999") << qint64(999999999) << u"99999.9999"_s;
    QTest::newRow("whole") << qint64(1280000) << u"128"_s;
    QTest::newRow("negative fraction") << qint64(-5) << u"-0.0005"_s;
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << u"-922337203685477.5808"_s;
}

void TestCurrency::toString()
{
    QFETCH(qint64, units);
    QFETCH(QString, text);
    QCOMPARE(TCurrency::fromUnits(units).toString(), text);
    // The text reads back as the same value.
    QCOMPARE(TCurrency::parse(text)->units(), units);
}

void TestCurrency::fromDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("units");
    QTest::newRow("33.3") << 33.3 << true << qint64(333000);
    QTest::newRow("0.0001") << 0.0001 << true << qint64(1);
    QTest::newRow("99999.9999") << 99999.9999 << true << qint64(999999999);
    QTest::newRow("half step away from zero") << -0.00005 << true << qint64(-1);
    QTest::newRow("half step as written, not as stored") << 0.00015 << true << qint64(2);
    QTest::newRow("tiny") << 1e-300 << true << qint64(0);
    QTest::newRow("NaN") << std::nan("") << false << qint64(0);
    QTest::newRow("infinity") << HUGE_VAL << false << qint64(0);
    QTest::newRow("too large") << 1e300 << false << qint64(0);
}

void TestCurrency::fromDouble()
{
    QFETCH(double, value);
    QFETCH(bool, valid);
    QFETCH(qint64, units);
    const auto c = TCurrency::fromDouble(value);
    QCOMPARE(c.has_value(), valid);
    if (valid) {
        QCOMPARE(c->units(), units);
        QCOMPARE(c->toDouble(), double(units) / 10000.0);
    }
}

QTEST_GUILESS_MAIN(TestCurrency)
#include "tst_currency.moc"
