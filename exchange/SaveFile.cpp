#include "SaveFile.h"

#include "ExchangeError.h"
#include "ExchangeTypes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(SaveFile)
};

} // namespace

void SaveBytes(const QString &Path, const QByteArray &Bytes)
{
    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly))
        throw EExchangeError(
            Tr::tr("不能写入文件“%1”：%2").arg(QDir::toNativeSeparators(Path), file.errorString()));
    if (file.write(Bytes) != Bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw EExchangeError(Tr::tr("不能写入文件“%1”：%2").arg(QDir::toNativeSeparators(Path), why));
    }
    if (!file.commit())
        throw EExchangeError(
            Tr::tr("不能写入文件“%1”：%2").arg(QDir::toNativeSeparators(Path), file.errorString()));
}

void SaveFile(const QString &Path, const std::function<void(QIODevice &)> &Write)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        try {
            Write(buffer);
        } catch (const EExchangeError &e) {
            throw EExchangeError(
                Tr::tr("不能生成文件“%1”：%2").arg(QDir::toNativeSeparators(Path), e.message()));
        }
    }
    SaveBytes(Path, bytes);
}

QStringList SaveIntoFolder(const QString &Folder, const QList<QPair<QString, QByteArray>> &Files)
{
    QDir dir(Folder);
    if (!dir.exists() && !QDir().mkpath(Folder))
        throw EExchangeError(Tr::tr("不能建立文件夹“%1”").arg(QDir::toNativeSeparators(Folder)));
    QStringList written;
    QStringList created;
    try {
        for (const auto &[name, bytes] : Files) {
            const QString path = dir.filePath(name);
            const bool existed = QFileInfo::exists(path);
            SaveBytes(path, bytes);
            written << path;
            if (!existed)
                created << path;
        }
    } catch (...) {
        for (const QString &path : std::as_const(created))
            QFile::remove(path);
        throw;
    }
    return written;
}

QString LayoutFileName(const TLayoutSheet &Layout, int LargestNumber, const QString &Suffix)
{
    const int digits = int(QString::number(std::max(LargestNumber, 1)).size());
    return Tr::tr("切割%1").arg(Layout.Number, digits, 10, QChar(u'0')) + Suffix;
}

QList<QPair<QString, QByteArray>> LayoutFiles(const std::vector<TLayoutSheet> &Layouts,
    const QString &Suffix, const std::function<QByteArray(const TLayoutSheet &)> &Render)
{
    int largest = 0;
    for (const TLayoutSheet &l : Layouts)
        largest = std::max(largest, l.Number);
    QList<QPair<QString, QByteArray>> files;
    for (const TLayoutSheet &l : Layouts)
        files.append({ LayoutFileName(l, largest, Suffix), Render(l) });
    return files;
}
