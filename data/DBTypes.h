#pragma once
// Types shared by the data module, the row sets and the schema: column types, row-set states
// and the two kinds of error the data layer raises.

#include <QString>
#include <stdexcept>

// Logical column types of the stored tables.
//   ftAutoInc  — integer key assigned by the store on the first save; a later row always gets a
//                larger value than every earlier one (never reused after deletes)
//   ftInteger  — signed 32-bit integer
//   ftFloat    — double-precision floating point
//   ftCurrency — fixed point with four decimals, stored as an integer count of ten-thousandths
//   ftString   — Unicode text
//   ftDateTime — local date and time, stored as the text "yyyy-MM-dd HH:mm:ss" (see DateTimeFormat)
enum TFieldType { ftUnknown, ftAutoInc, ftInteger, ftFloat, ftCurrency, ftString, ftDateTime };

// The longest text a cell editor takes (names of parts, sheets and schemes). Real names are a few
// dozen characters; the limit keeps a pasted page of text out of names that every list, drawing
// and printout shows.
inline constexpr int MaxNameLength = 100;
// Lists show at most this many characters of a stored text (a file edited elsewhere may hold
// longer ones): laying out megabytes of text for a grid cell would freeze the window.
inline constexpr int MaxShownTextLength = 200;

// A stored text as lists show it: cut after MaxShownTextLength characters, with "…".
inline QString ShownText(const QString &text)
{
    if (text.size() <= MaxShownTextLength)
        return text;
    return text.left(MaxShownTextLength) + QChar(0x2026);
}

// dsInactive: closed. dsBrowse: open, no row being changed. dsEdit: the current row is being
// edited. dsInsert: a new row is being entered at the current position.
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// The one stored form of a date-time value: local time, seconds precision, no zone. It sorts
// as text in time order and is understood by the store's own date functions.
inline QString DateTimeFormat()
{
    return QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

// Base of the errors meant for the user: what() is the UTF-8 message.
class TDataError : public std::runtime_error
{
public:
    explicit TDataError(const QString &message)
        : std::runtime_error(message.toStdString())
        , FMessage(message)
    { }
    QString message() const { return FMessage; }

private:
    QString FMessage;
};

// An error of the store: the file cannot be opened, is damaged or locked, a statement failed,
// a save conflicted with another process. The message includes the store's own text.
class TDBError : public TDataError
{
public:
    using TDataError::TDataError;
};

// A value that does not convert to a column's type (text "abc" written into an integer column).
class TConvertError : public TDataError
{
public:
    using TDataError::TDataError;
};
