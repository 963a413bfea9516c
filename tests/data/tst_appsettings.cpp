// Work-area settings: defaults, what a damaged or hand-edited file reads as, and clamping on store.
#include "AppSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using AppSettings::Key;

class TestAppSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    void writeRaw(Key key, const QVariant &v)
    {
        QSettings s(AppSettings::organisation(), AppSettings::application());
        s.setValue(AppSettings::keyName(key), v);
        s.sync();
    }

private slots:
    void init()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        QSettings(AppSettings::organisation(), AppSettings::application()).clear();
    }

    void defaults_whenNothingStored()
    {
        QCOMPARE(AppSettings::boolValue(Key::DeepMode), false);
        QCOMPARE(AppSettings::intValue(Key::DeepSeconds), 10);
        QCOMPARE(AppSettings::intValue(Key::MinOffcutLength), 200);
        QCOMPARE(AppSettings::stringValue(Key::MakerCompany), QString());
        QCOMPARE(AppSettings::intValue(Key::LabelColumns), 3);
        QCOMPARE(AppSettings::intValue(Key::LabelRows), 8);
        QCOMPARE(AppSettings::doubleValue(Key::LabelWidthMm), 60.0);
    }

    void unusableStoredValues_readAsDefault_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("raw");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("seconds 0") << int(Key::DeepSeconds) << QVariant(u"0"_s) << QVariant(10);
        QTest::newRow("seconds 3601") << int(Key::DeepSeconds) << QVariant(3601) << QVariant(10);
        QTest::newRow("seconds text") << int(Key::DeepSeconds) << QVariant(u"ten"_s) << QVariant(10);
        QTest::newRow("seconds 3600") << int(Key::DeepSeconds) << QVariant(u"3600"_s) << QVariant(3600);
        QTest::newRow("bool garbage") << int(Key::DeepMode) << QVariant(u"yes please"_s) << QVariant(false);
        QTest::newRow("bool 1") << int(Key::DeepMode) << QVariant(u"1"_s) << QVariant(true);
        QTest::newRow("ratio nan") << int(Key::OffcutPriceRatio) << QVariant(u"nan"_s) << QVariant(0.0);
        QTest::newRow("ratio negative") << int(Key::OffcutPriceRatio) << QVariant(-1.0) << QVariant(0.0);
        QTest::newRow("language fr") << int(Key::Language) << QVariant(u"fr"_s) << QVariant(QString());
        QTest::newRow("language en") << int(Key::Language) << QVariant(u"en"_s) << QVariant(u"en"_s);
    }
    void unusableStoredValues_readAsDefault()
    {
        QFETCH(int, key);
        QFETCH(QVariant, raw);
        QFETCH(QVariant, expected);
        const Key k = static_cast<Key>(key);
        writeRaw(k, raw);
        switch (expected.typeId()) {
        case QMetaType::Bool:
            QCOMPARE(AppSettings::boolValue(k), expected.toBool());
            break;
        case QMetaType::Int:
            QCOMPARE(AppSettings::intValue(k), expected.toInt());
            break;
        case QMetaType::Double:
            QCOMPARE(AppSettings::doubleValue(k), expected.toDouble());
            break;
        default:
            QCOMPARE(AppSettings::stringValue(k), expected.toString());
        }
    }

    void setValue_clampsNumbersAndRefusesUnofferedLanguage()
    {
        QCOMPARE(AppSettings::setValue(Key::DeepSeconds, 0).toInt(), 1);
        QCOMPARE(AppSettings::intValue(Key::DeepSeconds), 1);
        QCOMPARE(AppSettings::setValue(Key::DeepSeconds, 99999).toInt(), 3600);
        QCOMPARE(AppSettings::setValue(Key::LabelWidthMm, 62.5).toDouble(), 62.5);
        QCOMPARE(AppSettings::doubleValue(Key::LabelWidthMm), 62.5);
        AppSettings::setValue(Key::Language, u"en"_s);
        QCOMPARE(AppSettings::setValue(Key::Language, u"xx"_s).toString(), u"en"_s);
        QCOMPARE(AppSettings::stringValue(Key::Language), u"en"_s);
        AppSettings::setValue(Key::MakerCompany, u"木工坊"_s);
        QCOMPARE(AppSettings::stringValue(Key::MakerCompany), u"木工坊"_s);
    }
};

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
