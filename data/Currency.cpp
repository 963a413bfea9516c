#include "Currency.h"

#include <QLocale>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

std::optional<TCurrency> TCurrency::parse(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    // Work in unsigned 128 bits so the range check is exact, including the most negative value.
    unsigned __int128 whole = 0;
    int intDigits = 0;
    for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i, ++intDigits) {
        whole = whole * 10 + unsigned(t[i].unicode() - u'0');
        if (whole > (unsigned __int128)1 << 64)
            return std::nullopt;
    }
    unsigned fraction = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i, ++fracDigits) {
            const unsigned d = unsigned(t[i].unicode() - u'0');
            if (fracDigits < 4)
                fraction = fraction * 10 + d;
            else if (fracDigits == 4)
                roundUp = d >= 5;
        }
    }
    if (i != t.size() || intDigits + fracDigits == 0)
        return std::nullopt;
    for (int k = fracDigits; k < 4; ++k)
        fraction *= 10;
    unsigned __int128 magnitude = whole * Scale + fraction + (roundUp ? 1 : 0);
    const unsigned __int128 limit = negative
        ? (unsigned __int128)std::numeric_limits<qint64>::max() + 1
        : (unsigned __int128)std::numeric_limits<qint64>::max();
    if (magnitude > limit)
        return std::nullopt;
    qint64 units = negative ? qint64(-(__int128)magnitude) : qint64(magnitude);
    return fromUnits(units);
}

std::optional<TCurrency> TCurrency::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Round the decimal the double stands for (its shortest text), not its binary expansion:
    // 0.00015 is meant as 0.00015 and rounds to 0.0002, although the nearest double lies a
    // little below it.
    return parse(QString::number(value, 'f', QLocale::FloatingPointShortest));
}

QString TCurrency::toString() const
{
    const bool negative = FUnits < 0;
    // Magnitude in unsigned arithmetic so the most negative value prints correctly.
    const quint64 magnitude = negative ? quint64(0) - quint64(FUnits) : quint64(FUnits);
    QString text = QString::number(magnitude / quint64(Scale));
    quint64 fraction = magnitude % quint64(Scale);
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}
