// Every text of the translated folders has its English. lupdate runs over their sources into a
// copy of translations/pnx_en.ts (as the target update_translations would), and every message
// that is then new, unfinished or empty is listed with where it is written. The translated
// folders are every folder of the program with texts the user sees (shell/CMakeLists.txt,
// PNX_TRANSLATED_DIRS); engine and cli have none of their own.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

struct TMessage
{
    QString context;
    QString source;
    QString location;
    QString translation;
    QString type; // "", "unfinished", "vanished", "obsolete"
};

QList<TMessage> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QXmlStreamReader xml(&file);
    QList<TMessage> messages;
    QString context;
    TMessage m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"name")
            context = xml.readElementText();
        else if (name == u"message")
            m = TMessage { context, {}, {}, {}, {} };
        else if (name == u"location" && m.location.isEmpty())
            m.location = xml.attributes().value(u"filename"_s).toString() + u':'
                + xml.attributes().value(u"line"_s).toString();
        else if (name == u"source")
            m.source = xml.readElementText();
        else if (name == u"translation") {
            m.type = xml.attributes().value(u"type"_s).toString();
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages << m;
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return messages;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    // lupdate reads every folder of the program whose windows, messages, printouts or files
    // the user sees.
    void everyFolderIsRead()
    {
        QFile list(QStringLiteral(PNX_TRANSLATED_SOURCES));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QString sources = QString::fromUtf8(list.readAll());
        for (const QString &folder : { u"shell"_s, u"workspace"_s, u"results"_s, u"preview"_s,
                 u"library"_s, u"view"_s, u"widgets"_s, u"exchange"_s, u"data"_s })
            QVERIFY2(sources.contains(u'/' + folder + u'/'), qPrintable(folder));
    }

    void everyTextHasItsEnglish()
    {
        QTemporaryDir dir;
        const QString ts = dir.filePath(u"pnx_en.ts"_s);
        QVERIFY(QFile::copy(QStringLiteral(PNX_TS_FILE), ts));
        QFile::setPermissions(ts, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(PNX_LUPDATE),
            { u"-no-obsolete"_s, u"-locations"_s, u"absolute"_s,
                u"@"_s + QStringLiteral(PNX_TRANSLATED_SOURCES), u"-ts"_s, ts });
        QVERIFY(lupdate.waitForFinished(120000));
        const QString output = QString::fromUtf8(lupdate.readAll());
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
            qPrintable(output));

        const QList<TMessage> messages = readTs(ts);
        QVERIFY(messages.size() > 100); // the sources were read
        QStringList untranslated;
        for (const TMessage &m : messages) {
            if (m.type == u"vanished" || m.type == u"obsolete")
                continue;
            if (m.type == u"unfinished" || m.translation.trimmed().isEmpty())
                untranslated << u"%1  [%2] %3"_s.arg(m.location, m.context, m.source);
        }
        QVERIFY2(untranslated.isEmpty(),
            qPrintable(u"texts without an English translation (add them to "
                       "translations/pnx_en.ts, e.g. after cmake --build build --target "
                       "update_translations):\n"_s
                + untranslated.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
