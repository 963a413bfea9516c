#include "RtfReader.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <random>

using namespace Qt::StringLiterals;

namespace {

// The format of the first fragment whose text contains needle.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &needle)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(needle))
                return it.fragment().charFormat();
    return {};
}

QString read(const QByteArray &rtf)
{
    QTextDocument doc;
    TRtfReader::read(rtf, doc);
    return doc.toRawText();
}

const QString LS = QString(QChar(QChar::LineSeparator));
const QString PS = QString(QChar(QChar::ParagraphSeparator));

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT
private slots:
    void plainText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");

        QTest::newRow("paragraphs and line break") << QByteArray(
            "{\\rtf1\\ansi a\\par b\\line c\\par}") << (u"a"_s + PS + u"b" + LS + u"c");
        QTest::newRow("gbk escapes in code page 936")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}") << u"中文"_s;
        QTest::newRow("gbk by the font's charset") << QByteArray(
            "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
            "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f1\\'c7\\'d0\\'b8\\'ee\\f0  \\'e9}")
                                                   << u"切割 é"_s;
        QTest::newRow("raw gbk bytes with an ascii trail byte")
            << QByteArray("{\\rtf1\\ansicpg936 \x81\x40}") << u"丂"_s;
        QTest::newRow("unicode with fallback")
            << QByteArray("{\\rtf1\\uc1\\u20013?\\u25991?}") << u"中文"_s;
        QTest::newRow("unicode with two-byte fallback")
            << QByteArray("{\\rtf1\\ansicpg936\\uc2\\u20013\\'d6\\'d0x}") << u"中x"_s;
        QTest::newRow("negative unicode")
            << QByteArray("{\\rtf1\\u-3913?}") << QString(QChar(0xF0B7));
        QTest::newRow("fallback count is scoped to the group")
            << QByteArray("{\\rtf1{\\uc3 \\u65?}\\u66?c}") << u"ABc"_s;
        QTest::newRow("fallback ends at a group brace")
            << QByteArray("{\\rtf1\\uc5\\u65{b}c}") << u"Abc"_s;
        QTest::newRow("nested groups") << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << u"abcde"_s;
        QTest::newRow("picture skipped")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip\\picw10 89504e470d0a}b}") << u"ab"_s;
        QTest::newRow("binary picture with braces inside")
            << QByteArray("{\\rtf1 a{\\pict\\bin4 }}{{}b}") << u"ab"_s;
        QTest::newRow("starred and unknown destinations") << QByteArray(
            "{\\rtf1{\\*\\generator Writer;}a{\\*\\unknown x{y}z}b{\\info{\\title t}}}")
                                                          << u"ab"_s;
        QTest::newRow("style sheet and colour table are not text") << QByteArray(
            "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\colortbl;\\red1\\green2\\blue3;}x}")
                                                                   << u"x"_s;
        QTest::newRow("escaped symbols")
            << QByteArray("{\\rtf1 \\{a\\}\\\\b\\~c\\-d\\_e}") << u"{a}\\b\u00A0cd\u2011e"_s;
        QTest::newRow("special characters")
            << QByteArray("{\\rtf1\\ldblquote x\\rdblquote\\emdash\\bullet\\tab y}")
            << u"\u201Cx\u201D\u2014\u2022\ty"_s;
        QTest::newRow("table cells as tabs, rows as paragraphs")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c}")
            << (u"a\tb\t"_s + PS + u"c");
        QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v hidden}b}") << u"ab"_s;
        QTest::newRow("field result shown, instruction not")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}")
            << u"link"_s;
        QTest::newRow("unbalanced: extra closing brace ends the document")
            << QByteArray("{\\rtf1 a}}b") << u"a"_s;
        QTest::newRow("unbalanced: missing closing braces")
            << QByteArray("{\\rtf1 a{\\b b{\\i c") << u"abc"_s;
        QTest::newRow("truncated in a hex escape") << QByteArray("{\\rtf1 x\\'d") << u"x"_s;
        QTest::newRow("truncated after a gbk lead byte")
            << QByteArray("{\\rtf1\\ansicpg936 x\\'d6") << u"x"_s;
        QTest::newRow("truncated in a control word") << QByteArray("{\\rtf1 x\\pa") << u"x"_s;
        QTest::newRow("truncated after a backslash") << QByteArray("{\\rtf1 x\\") << u"x"_s;
        QTest::newRow("huge \\bin stops at the end")
            << QByteArray("{\\rtf1 a\\bin2147483647 xyz}") << u"a"_s;
        QTest::newRow("negative \\bin skips nothing")
            << QByteArray("{\\rtf1 a\\bin-5 b}") << u"ab"_s;
        QTest::newRow("very long control word")
            << (QByteArray("{\\rtf1 a\\") + QByteArray(5000, 'x') + QByteArray(" b}")) << u"ab"_s;
        QTest::newRow("control characters in the file are dropped")
            << QByteArray("{\\rtf1 a\x01\x7f\r\nb\x00}", 15) << u"a\u007Fb"_s;
        QTest::newRow("lone surrogate replaced")
            << QByteArray("{\\rtf1\\u55357?x}") << u"\uFFFDx"_s;
        QTest::newRow("surrogate pair kept")
            << QByteArray("{\\rtf1\\u55357?\\u56832?}") << u"\U0001F600"_s;
        QTest::newRow("leading whitespace and byte-order mark")
            << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 ok}") << u"ok"_s;
    }
    void plainText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(read(rtf), text);
    }

    void characterFormats()
    {
        QTextDocument doc;
        TRtfReader::read(
            QByteArray("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 Arial;}"
                       "{\\f1\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                       "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                       "\\f0 plain {\\b bold}{\\i italic}{\\ul under}{\\strike gone}"
                       "{\\fs40 big}{\\cf1 red}{\\cf9 nocolour}{\\f1 song}"
                       "{\\b\\i\\ul\\cf2 all\\plain  reset}\\fs99999 huge\\fs0  back}"),
            doc);
        QVERIFY(formatOf(doc, u"bold"_s).fontWeight() == QFont::Bold);
        QCOMPARE(formatOf(doc, u"plain"_s).fontWeight(), int(QFont::Normal));
        QVERIFY(formatOf(doc, u"italic"_s).fontItalic());
        QVERIFY(!formatOf(doc, u"bold"_s).fontItalic());
        QVERIFY(formatOf(doc, u"under"_s).fontUnderline());
        QVERIFY(formatOf(doc, u"gone"_s).fontStrikeOut());
        QCOMPARE(formatOf(doc, u"big"_s).fontPointSize(), 20.0);
        QCOMPARE(formatOf(doc, u"red"_s).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(doc, u"nocolour"_s).foreground().style(), Qt::NoBrush);
        QCOMPARE(formatOf(doc, u"song"_s).fontFamilies().toStringList(), QStringList { u"宋体"_s });
        const QTextCharFormat all = formatOf(doc, u"all"_s);
        QVERIFY(all.fontWeight() == QFont::Bold && all.fontItalic() && all.fontUnderline());
        QCOMPARE(all.foreground().color(), QColor(0, 0, 255));
        const QTextCharFormat reset = formatOf(doc, u"reset"_s);
        QVERIFY(
            reset.fontWeight() == QFont::Normal && !reset.fontItalic() && !reset.fontUnderline());
        QCOMPARE(reset.foreground().style(), Qt::NoBrush);
        QCOMPARE(formatOf(doc, u"huge"_s).fontPointSize(), 200.0);
        QVERIFY(!formatOf(doc, u"back"_s).hasProperty(QTextFormat::FontPointSize));
    }

    void paragraphAlignment()
    {
        QTextDocument doc;
        TRtfReader::read(QByteArray("{\\rtf1\\qc centred\\par\\pard left\\par\\qr right}"), doc);
        QCOMPARE(doc.blockCount(), 3);
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignLeft);
        QCOMPARE(doc.findBlockByNumber(2).blockFormat().alignment(), Qt::AlignRight);
    }

    void notRtf_throwsAndLeavesTheDocument_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("hello");
        QTest::newRow("cut inside the header") << QByteArray("{\\rt");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
    }
    void notRtf_throwsAndLeavesTheDocument()
    {
        QFETCH(QByteArray, data);
        QTextDocument doc(u"before"_s);
        QVERIFY_THROWS_EXCEPTION(TRtfError, TRtfReader::read(data, doc));
        QCOMPARE(doc.toPlainText(), u"before"_s);
    }

    void deepNesting_isSkippedWithoutExhaustingTheStack()
    {
        const int depth = 200000;
        const QByteArray rtf
            = "{\\rtf1 a" + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "b}";
        QCOMPARE(read(rtf), u"ab"_s);
        // Just inside the limit the text is still shown.
        const int inside = TRtfReader::MaxDepth - 1;
        QCOMPARE(read("{\\rtf1 " + QByteArray(inside, '{') + "in" + QByteArray(inside, '}') + "}"),
            u"in"_s);
    }

    void readFile_reportsMissingTooLargeAndNonRtf()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QTextDocument doc;
        try {
            TRtfReader::readFile(dir.filePath(u"absent.rtf"_s), doc);
            QFAIL("missing file read");
        } catch (const TRtfError &e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(u"absent.rtf"_s));
        }

        QFile big(dir.filePath(u"big.rtf"_s));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(TRtfReader::MaxFileSize + 1));
        big.close();
        QVERIFY_THROWS_EXCEPTION(TRtfError, TRtfReader::readFile(big.fileName(), doc));

        QFile text(dir.filePath(u"text.rtf"_s));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not rich text");
        text.close();
        QVERIFY_THROWS_EXCEPTION(TRtfError, TRtfReader::readFile(text.fileName(), doc));

        QFile good(dir.filePath(u"good.rtf"_s));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write("{\\rtf1\\ansi\\ansicpg936 \\'bb\\'b6\\'d3\\'ad}");
        good.close();
        TRtfReader::readFile(good.fileName(), doc);
        QCOMPARE(doc.toPlainText(), u"欢迎"_s);
    }

    // Random and mutated documents: the reader must return (or refuse a non-RTF start) for every
    // one, and never produce more characters than there were bytes.
    void fuzz_randomAndMutatedInputs()
    {
        std::mt19937 rng(20240611u);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        const QList<QByteArray> tokens = { "{", "}", "{", "}", "\\b ", "\\b0 ", "\\i", "\\ul",
            "\\par ", "\\line ", "\\tab", "\\'d6", "\\'d0", "\\'", "\\'zz", "\\u20013?", "\\u-1?",
            "\\u99999999", "\\uc0", "\\uc9999 ", "\\bin3 ", "\\bin99999 ", "\\bin-1 ", "\\pict ",
            "\\*", "\\fonttbl", "\\colortbl", "\\red300", "\\green-9", ";", "\\f1",
            "\\f-2147483648", "\\fcharset134 ", "\\cf1", "\\cf99999", "\\fs99999999999 ",
            "\\ansicpg936", "\\ansicpg65001", "\\ansicpg-1", "\\plain", "\\pard\\qc", "\\cell",
            "\\row", "\\v", "\\deff7", "\\", "\\\\", "\\{", "\\}", "x", "中", "\xff", "\x00",
            "\r\n", "\\fi-99999", "\\li99999", "\\highlight2", "\\sub", "\\super" };
        const QList<QByteArray> seeds = {
            "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
            "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 \\b \\'d6\\'d0\\'ce\\'c4\\b0\\par"
            "{\\cf1\\u20013?}{\\pict\\bin4 {}}}\\line x}",
            "{\\rtf1{\\*\\generator w;}{\\info{\\title t}}\\uc2\\u25991\\'ce\\'c4\\trowd "
            "a\\cell\\row}",
        };

        int inputs = 0;
        for (int round = 0; round < 20000; ++round) {
            QByteArray data;
            switch (round % 3) {
            case 0: { // random bytes after a valid header
                data = "{\\rtf1 ";
                const int n = pick(600);
                for (int i = 0; i < n; ++i)
                    data.append(char(pick(256)));
                break;
            }
            case 1: { // random token soup
                data = "{\\rtf1";
                const int n = pick(300);
                for (int i = 0; i < n; ++i)
                    data.append(tokens[pick(int(tokens.size()))]);
                break;
            }
            default: { // mutations of well-formed documents
                data = seeds[pick(int(seeds.size()))];
                const int edits = 1 + pick(8);
                for (int e = 0; e < edits && !data.isEmpty(); ++e) {
                    const int at = pick(int(data.size()));
                    switch (pick(4)) {
                    case 0:
                        data[at] = char(pick(256));
                        break;
                    case 1:
                        data.remove(at, 1 + pick(10));
                        break;
                    case 2:
                        data.insert(at, tokens[pick(int(tokens.size()))]);
                        break;
                    default:
                        data.insert(at, data.mid(pick(int(data.size())), pick(40)));
                        break;
                    }
                }
                break;
            }
            }
            QTextDocument doc;
            try {
                TRtfReader::read(data, doc);
            } catch (const TRtfError &) {
                // Only a damaged header may be refused.
                QVERIFY2(!data.startsWith("{\\rtf"), data.toHex().constData());
                continue;
            }
            ++inputs;
            QVERIFY2(doc.characterCount() <= data.size() + 1, data.toHex().constData());
        }
        QVERIFY(inputs > 15000); // most inputs were actually read, not refused
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestRtfReader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rtfreader.moc"
