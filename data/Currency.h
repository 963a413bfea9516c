#pragma once
// Fixed-point money with exactly four decimals, held as a signed 64-bit count of ten-thousandths.
// This is the form prices are stored in; nothing binary-floating touches it on the way between
// text and the file.

#include <QString>
#include <QtGlobal>
#include <compare>
#include <optional>

class TCurrency
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr TCurrency() = default;
    static constexpr TCurrency fromUnits(qint64 tenThousandths)
    {
        TCurrency c;
        c.FUnits = tenThousandths;
        return c;
    }

    // Parses decimal text: optional sign, digits, optional '.' and fraction; surrounding blanks
    // are ignored. More than four decimals are rounded half away from zero. Empty text, any
    // other character, or a value beyond the 64-bit range give no value.
    static std::optional<TCurrency> parse(const QString &text);
    // The value with four decimals nearest to the decimal the double stands for (its shortest
    // text), halves away from zero; no value for NaN, infinity or a value out of range.
    static std::optional<TCurrency> fromDouble(double value);

    constexpr qint64 units() const { return FUnits; }
    double toDouble() const { return double(FUnits) / double(Scale); }
    // Shortest decimal text: "33.3", "0.0001", "-5", "99999.9999".
    QString toString() const;

    friend constexpr bool operator==(TCurrency, TCurrency) = default;
    friend constexpr auto operator<=>(TCurrency, TCurrency) = default;

private:
    qint64 FUnits = 0;
};

// The largest price of one sheet a row may carry. Far above any real sheet, and low enough that
// everything computed from prices stays exact and usable: totals of thousands of sheets keep
// their four decimals in a double, and the engine's cost ranking (price per square metre of
// placed parts, held below 2147483647) still ranks a sheet of this price as long as its parts
// cover more than about 470 mm² (a 22 x 22 mm square). A price like 99999999999 is a typing
// slip, not a sheet.
inline constexpr double MaxSheetPrice = 1000000;
