// The print settings file: its exact bytes, the integer forms, reading in any order and form,
// damaged files, and loading and saving beside the executable (a test folder here).

#include "Dialogs.h"
#include "PrintConfig.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// One property record: name, then the raw type byte and value bytes.
QByteArray record(const QByteArray &name, const QByteArray &typeAndValue)
{
    return char(name.size()) + name + typeAndValue;
}

QByteArray stream(const QByteArray &records)
{
    return "TPF0\x0CTPrintConfig\x00"_ba + records + "\x00\x00"_ba;
}

// Values nobody writes, to see which properties a read changed.
TPrintConfig sentinel()
{
    TPrintConfig c;
    c.LineWidth = -7001;
    c.LeftOffset = -7002;
    c.TopOffset = -7003;
    c.PageWidth = -7004;
    c.PageHeight = -7005;
    return c;
}

// A device that accepts nothing.
class TFullDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override
    {
        setErrorString(u"device full"_s);
        return -1;
    }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPrintConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        SetConfigDirectory(FDir.path());
    }
    void init()
    {
        PrintConfig = TPrintConfig();
        QFile::remove(ConfigFile());
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanupTestCase() { SetConfigDirectory(QString()); }

    void configStream_isTheExampleByteForByte()
    {
        TPrintConfig c;
        c.LeftOffset = 25;
        c.TopOffset = 25;
        c.PageWidth = 21000;
        c.PageHeight = 29700;
        const QByteArray expected = QByteArray::fromHex("54504630"
                                                        "0C")
            + "TPrintConfig" + QByteArray(1, 0) + "\x09LineWidth\x02\x00"_ba
            + "\x0ALeftOffset\x02\x19"_ba + "\x09TopOffset\x02\x19"_ba
            + "\x09PageWidth\x03\x08\x52"_ba + "\x0APageHeight\x03\x04\x74"_ba + "\x00\x00"_ba;
        QCOMPARE(ConfigStream(c), expected);
        TPrintConfig back = sentinel();
        ReadConfig(expected, back);
        QCOMPARE(back, c);
    }

    // Each value in the shortest of the three forms, and read back as itself where it is a
    // possible paper height; the others are refused as damage.
    void integers_takeTheShortestForm_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("typeAndBytes");
        QTest::newRow("0") << 0 << "\x02\x00"_ba;
        QTest::newRow("127") << 127 << "\x02\x7F"_ba;
        QTest::newRow("128") << 128 << "\x03\x80\x00"_ba;
        QTest::newRow("-128") << -128 << "\x02\x80"_ba;
        QTest::newRow("-129") << -129 << "\x03\x7F\xFF"_ba;
        QTest::newRow("32767") << 32767 << "\x03\xFF\x7F"_ba;
        QTest::newRow("32768") << 32768 << "\x04\x00\x80\x00\x00"_ba;
        QTest::newRow("-32768") << -32768 << "\x03\x00\x80"_ba;
        QTest::newRow("-32769") << -32769 << "\x04\xFF\x7F\xFF\xFF"_ba;
        QTest::newRow("int max") << INT_MAX << "\x04\xFF\xFF\xFF\x7F"_ba;
        QTest::newRow("int min") << INT_MIN << "\x04\x00\x00\x00\x80"_ba;
    }
    void integers_takeTheShortestForm()
    {
        QFETCH(int, value);
        QFETCH(QByteArray, typeAndBytes);
        TPrintConfig c;
        c.PageHeight = value;
        const QByteArray bytes = ConfigStream(c);
        const QByteArray tail = record("PageHeight", typeAndBytes) + "\x00\x00"_ba;
        QVERIFY2(bytes.endsWith(tail), bytes.toHex(' ').constData());
        TPrintConfig back = sentinel();
        if (value >= 0 && value <= MaxPaperSide) {
            ReadConfig(bytes, back);
            QCOMPARE(back.PageHeight, value);
        } else {
            QVERIFY_THROWS_EXCEPTION(EConfigError, ReadConfig(bytes, back));
            QCOMPARE(back.PageHeight, sentinel().PageHeight);
        }
    }

    // Any order, any integer form, any case of the names.
    void read_takesAnyOrderAndAnyForm()
    {
        const QByteArray bytes = stream(record("PageHeight", "\x04\x04\x74\x00\x00"_ba)
            + record("PageWidth", "\x04\x08\x52\x00\x00"_ba)
            + record("TopOffset", "\x03\x19\x00"_ba)
            + record("leftoffset", "\x04\x19\x00\x00\x00"_ba)
            + record("LINEWIDTH", "\x03\x03\x00"_ba));
        TPrintConfig c = sentinel();
        ReadConfig(bytes, c);
        QCOMPARE(c.LineWidth, 3);
        QCOMPARE(c.LeftOffset, 25);
        QCOMPARE(c.TopOffset, 25);
        QCOMPARE(c.PageWidth, 21000);
        QCOMPARE(c.PageHeight, 29700);
    }

    void read_absentPropertiesKeepTheirValues()
    {
        TPrintConfig c = sentinel();
        ReadConfig(stream(record("LeftOffset", "\x02\x0A"_ba)), c);
        TPrintConfig expected = sentinel();
        expected.LeftOffset = 10;
        QCOMPARE(c, expected);

        c = sentinel();
        ReadConfig(stream(QByteArray()), c);
        QCOMPARE(c, sentinel());
    }

    // The class name is not compared, and bytes after the stream are not read.
    void read_ignoresClassNameAndTrailingBytes()
    {
        const QByteArray bytes = "TPF0\x05Other\x04Name"_ba + record("TopOffset", "\x02\x05"_ba)
            + "\x00\x00garbage"_ba;
        TPrintConfig c = sentinel();
        ReadConfig(bytes, c);
        QCOMPARE(c.TopOffset, 5);
    }

    // Damaged files fail with a message saying what is wrong; properties read before the
    // fault keep their new values.
    void read_damagedFileFailsClearly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("lineWidthAfter");
        const QByteArray first = record("LineWidth", "\x02\x03"_ba);
        QTest::newRow("empty") << QByteArray() << u"TPF0"_s << -7001;
        QTest::newRow("other signature")
            << "TPF1\x0CTPrintConfig\x00\x00\x00"_ba << u"TPF0"_s << -7001;
        QTest::newRow("text file") << "LeftOffset=25\n"_ba << u"TPF0"_s << -7001;
        QTest::newRow("unknown property")
            << stream(first + record("Margin", "\x02\x01"_ba)) << u"属性名“Margin”未知"_s << 3;
        QTest::newRow("unprintable name")
            << stream(record("\x01\xFF", "\x02\x01"_ba)) << u"“\\x01\\xff”"_s << -7001;
        QTest::newRow("string value") << stream(first
            + record("TopOffset",
                "\x06\x02"
                "25"_ba)) << u"值类型 6 不是整数"_s
                                      << 3;
        QTest::newRow("64-bit value")
            << stream(record("TopOffset", "\x13\x01\x00\x00\x00\x00\x00\x00\x00"_ba))
            << u"值类型 19"_s << -7001;
        QTest::newRow("owned component")
            << "TPF0\x0CTPrintConfig\x00"_ba + first + "\x00\x06TLabel"_ba << u"子组件"_s << 3;
        QTest::newRow("length byte past the end")
            << "TPF0\x0CTPrintConfig\x00\xFFLineWidth"_ba << u"意外结束"_s << -7001;
        QTest::newRow("class name past the end") << "TPF0\xF0TPrint"_ba << u"意外结束"_s << -7001;
        QTest::newRow("value cut short")
            << "TPF0\x0CTPrintConfig\x00"_ba + first + "\x09PageWidth\x04\x08\x52"_ba
            << u"第 43 字节处意外结束"_s << 3;
        QTest::newRow("no end markers")
            << "TPF0\x0CTPrintConfig\x00"_ba + first << u"意外结束"_s << 3;
        // Values that would print drawings over each other or off the page.
        QTest::newRow("negative margin") << stream(first + record("LeftOffset", "\x02\xFF"_ba))
                                         << u"LeftOffset 的值 -1 超出范围（0 到 100）"_s << 3;
        QTest::newRow("margin of 101 mm") << stream(first + record("TopOffset", "\x02\x65"_ba))
                                          << u"TopOffset 的值 101 超出范围"_s << 3;
        QTest::newRow("negative pen") << stream(record("LineWidth", "\x02\xFE"_ba))
                                      << u"LineWidth 的值 -2 超出范围（0 到 50）"_s << -7001;
        QTest::newRow("pen of 51") << stream(record("LineWidth", "\x02\x33"_ba))
                                   << u"LineWidth 的值 51 超出范围"_s << -7001;
    }
    void read_damagedFileFailsClearly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(int, lineWidthAfter);
        TPrintConfig c = sentinel();
        try {
            ReadConfig(bytes, c);
            QFAIL("a damaged file was read without complaint");
        } catch (const EConfigError &e) {
            const QString what = QString::fromUtf8(e.what());
            QVERIFY2(what.contains(message), qPrintable(what));
        }
        QCOMPARE(c.LineWidth, lineWidthAfter);
        QCOMPARE(c.PageHeight, -7005);
    }

    // Every shorter piece of a good file is refused.
    void read_everyTruncationFails()
    {
        const QByteArray good = ConfigStream(TPrintConfig { 3, 25, 20, 21000, 29700 });
        for (qsizetype n = 0; n < good.size(); ++n) {
            TPrintConfig c;
            QVERIFY_THROWS_EXCEPTION(EConfigError, ReadConfig(good.left(n), c));
        }
    }

    // Mutated and random inputs: a value or EConfigError, never anything else, and quickly.
    void read_survivesAnyBytes()
    {
        QRandomGenerator rng(20240611);
        const QByteArray good = ConfigStream(TPrintConfig { 3, 25, 20, 21000, 29700 });
        int accepted = 0;
        int refused = 0;
        for (int round = 0; round < 4000; ++round) {
            QByteArray bytes = good;
            switch (round % 5) {
            case 0: // bit flips
                for (int k = 0, n = 1 + rng.bounded(4); k < n; ++k)
                    bytes[rng.bounded(int(bytes.size()))] ^= char(1 << rng.bounded(8));
                break;
            case 1: // a huge length or type byte
                bytes[rng.bounded(int(bytes.size()))] = char(0xF0 + rng.bounded(16));
                break;
            case 2: // truncated and flipped
                bytes.truncate(rng.bounded(int(bytes.size())));
                if (!bytes.isEmpty())
                    bytes[rng.bounded(int(bytes.size()))] ^= char(rng.bounded(256));
                break;
            case 3: { // random bytes behind the signature
                bytes = "TPF0"_ba;
                for (int k = 0, n = rng.bounded(200); k < n; ++k)
                    bytes += char(rng.bounded(256));
                break;
            }
            default: // spliced: a piece of the file repeated somewhere else
            {
                const int from = rng.bounded(int(good.size()));
                const int len = rng.bounded(int(good.size()) - from + 1);
                bytes.insert(rng.bounded(int(bytes.size()) + 1), good.mid(from, len));
            }
            }
            TPrintConfig c;
            try {
                ReadConfig(bytes, c);
                ++accepted;
            } catch (const EConfigError &e) {
                QVERIFY(QByteArray(e.what()).size() > 0);
                ++refused;
            }
        }
        // Both outcomes occur, so the loop exercised the reader rather than one early check.
        QVERIFY(accepted > 0);
        QVERIFY(refused > 0);
    }

    void writeConfig_reportsADeviceThatRefuses()
    {
        TFullDevice device;
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY_THROWS_EXCEPTION(EConfigError, WriteConfig(TPrintConfig(), device));
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        WriteConfig(TPrintConfig { 1, 2, 3, 4, 5 }, buffer);
        QCOMPARE(buffer.data(), ConfigStream(TPrintConfig { 1, 2, 3, 4, 5 }));
    }

    void setConfig_withoutFileChangesNothing()
    {
        PrintConfig = sentinel();
        QImage page(10, 10, QImage::Format_RGB32);
        QPainter painter(&page);
        painter.setPen(QPen(Qt::black, 4));
        SetConfig(&painter);
        QCOMPARE(PrintConfig, sentinel());
        QCOMPARE(painter.pen().width(), 4);
    }

    void setConfig_loadsTheFileAndSetsThePen()
    {
        writeFile(ConfigFile(),
            stream(record("LineWidth", "\x02\x03"_ba) + record("TopOffset", "\x02\x0C"_ba)));
        PrintConfig = sentinel();
        QImage page(10, 10, QImage::Format_RGB32);
        QPainter painter(&page);
        SetConfig(&painter);
        QCOMPARE(PrintConfig.LineWidth, 3);
        QCOMPARE(PrintConfig.TopOffset, 12);
        QCOMPARE(PrintConfig.LeftOffset, -7002);
        QCOMPARE(painter.pen().width(), 3);
    }

    void saveConfig_writesTheStreamAndReadsBack()
    {
        PrintConfig = TPrintConfig { 0, 25, 25, 21000, 29700 };
        SaveConfig();
        QCOMPARE(readFile(ConfigFile()), ConfigStream(PrintConfig));
        QCOMPARE(
            QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"Config"_s });
        PrintConfig = TPrintConfig();
        SetConfig();
        QCOMPARE(PrintConfig, (TPrintConfig { 0, 25, 25, 21000, 29700 }));
    }

    // A damaged file reaches the application's error display with the file named; the
    // command stops there.
    void setConfig_damagedFileIsReportedThroughTheErrorDisplay()
    {
        writeFile(ConfigFile(), stream(record("Colour", "\x02\x01"_ba)));
        bool after = false;
        Dialogs::guarded([&] {
            SetConfig();
            after = true;
        });
        QVERIFY(!after);
        const QStringList shown = Dialogs::takeCaptured();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QDir::toNativeSeparators(ConfigFile())), qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(u"“Colour”"_s), qPrintable(shown[0]));
    }

    void setConfig_refusesAHugeFileWithoutReadingIt()
    {
        writeFile(ConfigFile(),
            ConfigStream(TPrintConfig { 9, 9, 9, 9, 9 }) + QByteArray(MaxConfigSize, 'x'));
        QVERIFY_THROWS_EXCEPTION(EConfigError, SetConfig());
        QCOMPARE(PrintConfig, TPrintConfig());
    }

    // A folder that cannot be written: an error naming the file; the values stay in memory
    // and an earlier file stays whole.
    void saveConfig_unwritableFolderFailsAndKeepsValues()
    {
        QTemporaryDir dir;
        SetConfigDirectory(dir.filePath(u"missing/folder"_s));
        PrintConfig = TPrintConfig { 0, 30, 30, 0, 0 };
        try {
            SaveConfig();
            QFAIL("saved into a folder that does not exist");
        } catch (const EConfigError &e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(u"missing"_s));
        }
        QCOMPARE(PrintConfig.LeftOffset, 30);
        SetConfigDirectory(FDir.path());

        if (QFileInfo(FDir.path()).isWritable() && ::geteuid() != 0) {
            writeFile(ConfigFile(), ConfigStream(TPrintConfig { 1, 1, 1, 1, 1 }));
            QFile::setPermissions(FDir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            QVERIFY_THROWS_EXCEPTION(EConfigError, SaveConfig());
            QFile::setPermissions(FDir.path(),
                QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(readFile(ConfigFile()), ConfigStream(TPrintConfig { 1, 1, 1, 1, 1 }));
        }
    }
};

QTEST_MAIN(TestPrintConfig)
#include "tst_printconfig.moc"
