// The desk calculator of the task pane.

#include "DeskCalculator.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDeskCalculator : public QObject
{
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("display");
        QTest::newRow("start") << QByteArray() << u"0"_s;
        QTest::newRow("sum") << QByteArray("12+30=") << u"42"_s;
        QTest::newRow("left to right") << QByteArray("2+3*4=") << u"20"_s;
        QTest::newRow("intermediate result") << QByteArray("2+3*") << u"5"_s;
        QTest::newRow("fraction") << QByteArray("1/4=") << u"0.25"_s;
        QTest::newRow("repeating fraction") << QByteArray("2/3=") << u"0.666666666667"_s;
        QTest::newRow("second point ignored") << QByteArray("1.5.2") << u"1.52"_s;
        QTest::newRow("leading point") << QByteArray(".5+1=") << u"1.5"_s;
        QTest::newRow("sign change") << QByteArray("9N") << u"-9"_s;
        QTest::newRow("sign change of a result") << QByteArray("2-5=N+1=") << u"4"_s;
        QTest::newRow("operator replaced") << QByteArray("6+*2=") << u"12"_s;
        QTest::newRow("back space") << QByteArray("123BB") << u"1"_s;
        QTest::newRow("back space to zero") << QByteArray("7B") << u"0"_s;
        QTest::newRow("no negative zero") << QByteArray("0N1-1=") << u"0"_s;
        QTest::newRow("division by zero") << QByteArray("5/0=") << TCalcEngine::errorText();
        QTest::newRow("error holds until cleared")
            << QByteArray("5/0=7+1=") << TCalcEngine::errorText();
        QTest::newRow("clear after error") << QByteArray("5/0=C7+1=") << u"8"_s;
        QTest::newRow("overflow is an error")
            << QByteArray("99999999" + QByteArray("*99999999").repeated(40) + "=")
            << TCalcEngine::errorText();
        QTest::newRow("digits are limited")
            << QByteArray("12345678901234567890") << u"123456789012345"_s;
        QTest::newRow("new number after result") << QByteArray("2+2=7") << u"7"_s;
        QTest::newRow("unknown keys ignored") << QByteArray("1x%2") << u"12"_s;
    }
    void keys()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, display);
        TCalcEngine calc;
        calc.press(keys.constData());
        QCOMPARE(calc.display(), display);
    }
};

QTEST_APPLESS_MAIN(TestDeskCalculator)
#include "tst_deskcalculator.moc"
