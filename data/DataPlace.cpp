#include "DataPlace.h"

#include "DBTypes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>

using namespace Qt::StringLiterals;

namespace DataPlace {

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(DataPlace)
};

const QString DatabaseName = u"pnx.dat"_s;
const QString FolderName = u"pnx"_s;

QString &chosenDatabase()
{
    static QString file;
    return file;
}

std::optional<TPlace> &decided()
{
    static std::optional<TPlace> place;
    return place;
}

QString &sharedOverride()
{
    static QString dir;
    return dir;
}

void copyWhole(const QString &from, const QString &to)
{
    const QString shownFrom = QDir::toNativeSeparators(from);
    const QString shownTo = QDir::toNativeSeparators(to);
    QFile source(from);
    if (!source.exists())
        throw TDBError(
            Tr::tr("找不到随程序安装的空白数据库“%1”，不能建立“%2”").arg(shownFrom, shownTo));
    if (!source.open(QIODevice::ReadOnly))
        throw TDBError(Tr::tr("不能读取空白数据库“%1”：%2").arg(shownFrom, source.errorString()));
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        throw TDBError(Tr::tr("不能建立数据库文件“%1”：%2").arg(shownTo, target.errorString()));
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(1 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            throw TDBError(
                Tr::tr("不能读取空白数据库“%1”：%2").arg(shownFrom, source.errorString()));
        if (target.write(chunk) != chunk.size())
            throw TDBError(Tr::tr("不能写入数据库文件“%1”：%2").arg(shownTo, target.errorString()));
    }
    if (!target.commit())
        throw TDBError(Tr::tr("不能写入数据库文件“%1”：%2").arg(shownTo, target.errorString()));
}

void makeFolder(const QString &dir)
{
    if (!QDir().mkpath(dir))
        throw TDBError(Tr::tr("不能建立文件夹“%1”").arg(QDir::toNativeSeparators(dir)));
}

} // namespace

bool holdsWritableDatabase(const QString &dir)
{
    const QFileInfo file(QDir(dir).filePath(DatabaseName));
    return file.isFile() && file.isWritable() && QFileInfo(dir).isWritable();
}

TPlace choose(const TFolders &folders, const QString &chosen, bool (*writable)(const QString &dir))
{
    TPlace place;
    const bool portable = writable(folders.program);
    if (portable) {
        place.kind = TKind::Portable;
        place.databaseFile = QDir(folders.program).absoluteFilePath(DatabaseName);
        place.configDirectory = QDir(folders.program).absolutePath();
    } else {
        place.kind = TKind::User;
        place.databaseFile = QDir(folders.userData).absoluteFilePath(DatabaseName);
        place.configDirectory = QDir(folders.userConfig).absolutePath();
    }
    if (!chosen.isEmpty()) {
        place.kind = TKind::Chosen;
        place.databaseFile = QFileInfo(chosen).absoluteFilePath();
    }
    return place;
}

TFolders runningFolders()
{
    return { QCoreApplication::applicationDirPath(),
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath(FolderName),
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(FolderName) };
}

void setChosenDatabase(const QString &file)
{
    chosenDatabase() = file;
    decided().reset();
}

TPlace current()
{
    if (!decided())
        decided() = choose(runningFolders(), chosenDatabase());
    return *decided();
}

void forgetCurrent()
{
    decided().reset();
}

bool provide(const TPlace &place, const QString &templateFile)
{
    if (place.kind != TKind::User)
        return false;
    makeFolder(place.configDirectory);
    makeFolder(QFileInfo(place.databaseFile).absolutePath());
    const QFileInfo database(place.databaseFile);
    if (database.exists() || database.isSymLink())
        return false;
    copyWhole(templateFile, place.databaseFile);
    return true;
}

QString sharedDirectory()
{
    if (!sharedOverride().isEmpty())
        return sharedOverride();
    const QString program = QCoreApplication::applicationDirPath();
    const QDir installed(program + u'/' + QStringLiteral(PNX_SHARE_FROM_BIN));
    if (installed.exists())
        return installed.canonicalPath();
    return program;
}

void setSharedDirectory(const QString &dir)
{
    sharedOverride() = dir;
}

QString templateDatabase()
{
    return QDir(sharedDirectory()).filePath(DatabaseName);
}

} // namespace DataPlace
