#pragma once
// Files written whole or not at all: the content is made in memory first, then written through
// QSaveFile, which replaces the file only once every byte is on disk. A folder of files (one
// drawing per layout) is made the same way, file by file; when one of them fails, the files
// this call created are removed again and the error names the file.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <vector>

struct TLayoutSheet;

class QIODevice;

// Runs Write on a memory buffer, then saves the buffer at Path. Throws EExchangeError (naming
// the file) when Write throws it or the file cannot be written; the file is then as it was.
void SaveFile(const QString &Path, const std::function<void(QIODevice &)> &Write);
void SaveBytes(const QString &Path, const QByteArray &Bytes);

// Saves each (file name, content) into Folder (created when missing). Returns the paths
// written, in order.
QStringList SaveIntoFolder(const QString &Folder, const QList<QPair<QString, QByteArray>> &Files);

// The file name of a layout's drawing: 切割 + its number, padded to as many digits as the
// largest number has (切割01 .. 切割12), + Suffix (".dxf", ".svg").
QString LayoutFileName(const TLayoutSheet &Layout, int LargestNumber, const QString &Suffix);

// One file per layout, named by LayoutFileName, its content made by Render; for SaveIntoFolder.
QList<QPair<QString, QByteArray>> LayoutFiles(const std::vector<TLayoutSheet> &Layouts,
    const QString &Suffix, const std::function<QByteArray(const TLayoutSheet &)> &Render);
