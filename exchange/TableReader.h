#pragma once
// Tables read from outside: CSV and tab-separated text files (any encoding DecodeText reads),
// text pasted from a spreadsheet, and the first sheet of an Excel (.xlsx) file. What the file
// is comes from its content first (an Excel file renamed .csv is still read as Excel) and from
// its name second. Every failure is a message for the user; nothing here throws or crashes on
// any input.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// One row that holds at least one non-blank cell; rows without any are left out.
struct TSourceRow
{
    int Number = 0; // the row as the user sees it: the line in a text file, the row in Excel
    QStringList Cells; // from the first column on
    QList<int> Uncomputed; // columns holding a formula whose result the file does not store
};

struct TSourceTable
{
    QList<TSourceRow> Rows;
    QString Format; // "CSV", "制表符分隔文本", "Excel(.xlsx)"
    QString Encoding; // of a text file: "UTF-8", "GB18030", ...
    int columnCount() const;
};

struct TReadOutcome
{
    bool Ok = false;
    TSourceTable Table;
    QString Error;
};

namespace ReadLimits {
inline constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;
inline constexpr int MaxRows = 100000;
inline constexpr int MaxColumns = 1024;
} // namespace ReadLimits

// Reads a whole file (at most MaxFileBytes) from In; FileName tells the format when the
// content does not.
TReadOutcome ReadTableFile(QIODevice &In, const QString &FileName);
TReadOutcome ReadTableBytes(const QByteArray &Bytes, const QString &FileName);

// Rows of delimited text: the delimiter (tab, comma or semicolon) is the one the first lines
// use most; quoted cells may hold delimiters, doubled quotes and line breaks.
TReadOutcome ReadDelimitedText(const QString &Text);
