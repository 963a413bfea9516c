#pragma once
// A small reader for Rich Text Format, enough for read-me files and notes: paragraphs and line
// breaks, bold, italic, underline, strike-out, font sizes and families, colours from the colour
// table, \uN escapes with their fallback, \'hh escapes decoded in the document's code page (or the
// code page of the current font's charset) and the destinations a viewer ignores (pictures, style
// sheets, document information, \* groups). Table cells come out as tab-separated paragraphs.
//
// The reader survives any bytes: nesting deeper than a fixed limit is skipped, \binN never reads
// past the end, numbers are clamped, and the work done is linear in the input. Text that could be
// read before a damaged or truncated part is kept.

#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>
#include <stdexcept>

class QTextDocument;

// The input is not RTF at all, or the file cannot be read. what() is UTF-8 text for the user.
class TRtfError : public std::runtime_error
{
public:
    explicit TRtfError(const QString &message);
};

class TRtfReader
{
    Q_DECLARE_TR_FUNCTIONS(TRtfReader)

public:
    // Groups nested deeper than this are skipped with everything inside them.
    static constexpr int MaxDepth = 200;
    // Files larger than this are refused (a read-me is a few kilobytes).
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    // Replaces the content of doc with the document in rtf. Throws TRtfError, leaving doc
    // untouched, when rtf does not begin with "{\rtf"; anything after that is read as far as it
    // makes sense and never throws.
    static void read(QByteArrayView rtf, QTextDocument &doc);

    // Reads the file at path into doc. Throws TRtfError when the file cannot be opened or read,
    // is too large or is not RTF; doc is then untouched.
    static void readFile(const QString &path, QTextDocument &doc);
};
