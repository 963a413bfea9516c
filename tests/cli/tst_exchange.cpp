// pnxcut's file outputs and --convert, run as a user runs the program: layout drawings into
// folders, the layouts' parts as CSV, labels as PDF, and part lists from spreadsheets turned into
// part records, with the importer's messages for bad rows.

#include "JobFile.h"
#include "TableWriter.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct TRun
{
    int Code = -1;
    QString Out;
    QString Err;
};

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray gbk(const QString &text)
{
    QStringEncoder e("GB18030");
    return e(text);
}

const QByteArray Job = "sheet 2440 1220 4 100 柜体板\n"
                       "part 720 560 3 左侧板\n"
                       "part 564 320 5 顶板\n"
                       "part 2000 1000 2 大板\n";

} // namespace

class TestCliExchange : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    TRun pnxcut(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"DISPLAY"_s);
        env.remove(u"QT_QPA_PLATFORM"_s);
        // The user's label settings stay out of the test: defaults (A4, 3 x 8).
        env.insert(u"XDG_CONFIG_HOME"_s, FDir.filePath(u"config"_s));
        p.setProcessEnvironment(env);
        p.start(QString::fromUtf8(PNXCUT_PATH), args);
        TRun r;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
            return r;
        r.Code = p.exitCode();
        r.Out = QString::fromUtf8(p.readAllStandardOutput());
        r.Err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void convert_printsThePartRecordsOfAnyPartList()
    {
        const QList<TPartRow> parts = { { u"左侧板"_s, 720, 560, 2 },
            { u"门板 (左)"_s, 716, 397, 1 }, { {}, 396, 178, 4 } };
        const QString expected
            = u"part 720 560 2 左侧板\npart 716 397 1 门板 (左)\npart 396 178 4\n"_s;
        const QString csv = FDir.filePath(u"parts.csv"_s);
        writeAll(csv,
            gbk(u"名称,长度,宽度,数量\r\n左侧板,720,560,2\r\n门板 (左),716,397,1\r\n,396,178,4\r\n"_s));
        QBuffer xlsx;
        xlsx.open(QIODevice::WriteOnly);
        WriteXlsx(xlsx, { PartListTable(parts) });
        const QString book = FDir.filePath(u"parts.xlsx"_s);
        writeAll(book, xlsx.data());
        const QString tabs = FDir.filePath(u"parts.txt"_s);
        writeAll(tabs, u"Name\tLength\tWidth\tQty\nSide\t720\t560\t2\n"_s.toUtf8());

        for (const QString &file : { csv, book }) {
            const TRun r = pnxcut({ u"--convert"_s, file });
            QCOMPARE(r.Code, 0);
            QCOMPARE(r.Out, expected);
        }
        const TRun r = pnxcut({ u"--convert"_s, tabs });
        QCOMPARE(r.Out, u"part 720 560 2 Side\n"_s);

        // The records are a job's part lines.
        const cli::ParseOutcome job
            = cli::ParseJob(QString(u"sheet 2440 1220 4 100 S\n"_s + expected).toStdString());
        QVERIFY(job.Parsed);
        QCOMPARE(int(job.Parsed->Parts.size()), 3);
        QCOMPARE(job.Parsed->Parts[1].Name, std::string("门板 (左)"));
    }

    void convert_badRowsAndFiles_exitCode2_nothingOnStdout_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("bad rows")
            << gbk(u"名称,长度,宽度,数量\n侧板,720mm,560,2\n顶板,\"1,220\",560,1\n背板,764,716,-1\n"_s)
            << u"bad.csv"_s
            << QStringList { u"第2行 长度（B列）：“720mm”带有单位“mm”，请只填数字（单位是毫米）"_s,
                   u"第3行 长度（B列）：“1,220”含有千位分隔符，请只填数字，不要分隔符"_s,
                   u"第4行 数量（D列）：“-1”必须大于0"_s };
        QTest::newRow("no width column")
            << QByteArray("name,length\nA,1\n") << u"narrow.csv"_s
            << QStringList {
                   u"宽度：没有找到“宽度”列：表头应写“宽度”，或者选择文件中的哪一列是宽度"_s
               };
        QTest::newRow("binary renamed")
            << QByteArray("\x00\x01\x02\x03\x04garbage\x00", 13) << u"bin.csv"_s
            << QStringList {
                   u"这不是文本文件（其中有文本文件不会有的控制字节）：请选择CSV、文本或Excel(.xlsx)文件。"_s
               };
        QTest::newRow("damaged workbook")
            << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8) << u"parts.xlsx"_s
            << QStringList {
                   u"这个文件不是有效的Excel(.xlsx)文件：文件可能已损坏，或者只是改了扩展名。"_s
               };
    }
    void convert_badRowsAndFiles_exitCode2_nothingOnStdout()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        const QString path = FDir.filePath(name);
        writeAll(path, bytes);
        const TRun r = pnxcut({ u"--convert"_s, path });
        QCOMPARE(r.Code, 2);
        QCOMPARE(r.Out, QString());
        QStringList expected;
        for (const QString &m : messages)
            expected << u"pnxcut: "_s + path + u": "_s + m;
        QCOMPARE(r.Err.split(u'\n', Qt::SkipEmptyParts), expected);

        const TRun missing = pnxcut({ u"--convert"_s, FDir.filePath(u"nowhere.csv"_s) });
        QCOMPARE(missing.Code, 2);
        QVERIFY(missing.Err.startsWith(u"pnxcut: cannot read "_s));
    }

    void outputs_drawingsTableAndLabels()
    {
        const QString job = FDir.filePath(u"cabinet.job"_s);
        writeAll(job, Job);
        const QString dxf = FDir.filePath(u"out/dxf"_s), svg = FDir.filePath(u"out/svg"_s);
        const QString csv = FDir.filePath(u"out/parts.csv"_s),
                      labels = FDir.filePath(u"out/labels.pdf"_s);
        QVERIFY(QDir().mkpath(FDir.filePath(u"out"_s)));
        const TRun plain = pnxcut({ job });
        const TRun r = pnxcut(
            { u"--dxf"_s, dxf, u"--svg"_s, svg, u"--csv"_s, csv, u"--labels"_s, labels, job });
        QCOMPARE(r.Code, 0);
        // The records are those of a run without the outputs.
        QCOMPARE(r.Out, plain.Out);
        const int layouts = int(r.Out.count(u"\ngroup "_s));
        QVERIFY(layouts >= 2);
        QStringList names;
        for (int i = 1; i <= layouts; ++i)
            names << u"切割%1"_s.arg(i);
        QStringList dxfFiles = QDir(dxf).entryList(QDir::Files, QDir::Name);
        QStringList svgFiles = QDir(svg).entryList(QDir::Files, QDir::Name);
        for (QString &f : dxfFiles)
            f.chop(4);
        for (QString &f : svgFiles)
            f.chop(4);
        QCOMPARE(dxfFiles, names);
        QCOMPARE(svgFiles, names);
        QVERIFY(readAll(dxf + u"/切割1.dxf"_s).contains("\nENTITIES\n"));
        QVERIFY(readAll(svg + u"/切割1.svg"_s).contains("<svg"));

        const QByteArray table = readAll(csv);
        QVERIFY(table.startsWith("\xEF\xBB\xBF"
                                 "切割,原材料,"));
        // Every piece is in the table and has its label: 3 + 5 + 2 = 10.
        qint64 pieces = 0;
        for (const QByteArray &line : table.split('\n').mid(1))
            if (!line.trimmed().isEmpty())
                pieces += line.trimmed().split(',').last().toLongLong();
        QCOMPARE(pieces, 10);
        const QByteArray pdf = readAll(labels);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 1);
    }

    void outputs_aFolderThatCannotBeMade_exitCode1()
    {
        const QString job = FDir.filePath(u"cabinet.job"_s);
        writeAll(job, Job);
        const QString blocker = FDir.filePath(u"blocker"_s);
        writeAll(blocker, "a file, not a folder");
        const QString csv = FDir.filePath(u"after.csv"_s);
        const TRun r = pnxcut({ u"--dxf"_s, blocker + u"/dxf"_s, u"--csv"_s, csv, job });
        QCOMPARE(r.Code, 1);
        QVERIFY2(r.Err.startsWith(u"pnxcut: --dxf: 不能建立文件夹"_s), qPrintable(r.Err));
        // The other outputs are still written.
        QVERIFY(QFileInfo::exists(csv));

        const TRun missing = pnxcut({ job, u"--svg"_s });
        QCOMPARE(missing.Code, 2);
        QVERIFY(missing.Err.startsWith(u"pnxcut: --svg needs a folder"_s));
        QCOMPARE(missing.Out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCliExchange)
#include "tst_exchange.moc"
