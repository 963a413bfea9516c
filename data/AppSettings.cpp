#include "AppSettings.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace AppSettings {

namespace {

enum class Type { Bool, Int, Double, String };

struct TEntry
{
    Key key;
    const char *name;
    Type type;
    double def; // for bool, int and double
    double min;
    double max;
    const char16_t *text; // default of a string
};

// One row per key; the order is the enum's.
constexpr TEntry Entries[] = {
    { Key::DeepMode, "DeepMode", Type::Bool, 0, 0, 1, nullptr },
    { Key::DeepSeconds, "DeepSeconds", Type::Int, 10, 1, 3600, nullptr },
    { Key::MinOffcutLength, "MinOffcutLength", Type::Int, 200, 1, 100000, nullptr },
    { Key::MinOffcutWidth, "MinOffcutWidth", Type::Int, 200, 1, 100000, nullptr },
    { Key::MakerCompany, "MakerCompany", Type::String, 0, 0, 0, u"" },
    { Key::MakerPhone, "MakerPhone", Type::String, 0, 0, 0, u"" },
    { Key::LabelPerPage, "LabelPerPage", Type::Bool, 0, 0, 1, nullptr },
    { Key::LabelColumns, "LabelColumns", Type::Int, 3, 1, 20, nullptr },
    { Key::LabelRows, "LabelRows", Type::Int, 8, 1, 40, nullptr },
    { Key::LabelSheetMarginMm, "LabelSheetMarginMm", Type::Double, 0, 0, 100, nullptr },
    { Key::LabelWidthMm, "LabelWidthMm", Type::Double, 60, 10, 500, nullptr },
    { Key::LabelHeightMm, "LabelHeightMm", Type::Double, 40, 10, 500, nullptr },
    { Key::LabelQrCode, "LabelQrCode", Type::Bool, 0, 0, 1, nullptr },
    { Key::OffcutPriceRatio, "OffcutPriceRatio", Type::Double, 0, 0, 10, nullptr },
    { Key::Language, "Language", Type::String, 0, 0, 0, u"" },
    { Key::LastFolder, "LastFolder", Type::String, 0, 0, 0, u"" },
};

constexpr bool entriesInOrder()
{
    int i = 0;
    for (const TEntry &e : Entries)
        if (static_cast<int>(e.key) != i++)
            return false;
    return i == static_cast<int>(Key::LastFolder) + 1;
}
static_assert(entriesInOrder(), "one entry per key, in the order of the enum");

const TEntry &entry(Key key)
{
    return Entries[static_cast<int>(key)];
}

bool languageOffered(const QString &text)
{
    return text.isEmpty() || text == u"zh" || text == u"en";
}

// The stored value when it is usable, else an invalid variant.
QVariant checked(const TEntry &e, const QVariant &v)
{
    if (!v.isValid())
        return {};
    switch (e.type) {
    case Type::Bool: {
        if (v.typeId() == QMetaType::Bool)
            return v.toBool();
        const QString t = v.toString().trimmed().toLower();
        if (t == u"true" || t == u"1")
            return true;
        if (t == u"false" || t == u"0")
            return false;
        return {};
    }
    case Type::Int: {
        bool ok = false;
        const qlonglong n = v.toString().trimmed().toLongLong(&ok);
        if (!ok || n < e.min || n > e.max)
            return {};
        return static_cast<int>(n);
    }
    case Type::Double: {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(d) || d < e.min || d > e.max)
            return {};
        return d;
    }
    case Type::String: {
        if (v.typeId() != QMetaType::QString && !v.canConvert<QString>())
            return {};
        const QString t = v.toString();
        if (e.key == Key::Language && !languageOffered(t))
            return {};
        return t;
    }
    }
    return {};
}

QVariant value(Key key)
{
    const TEntry &e = entry(key);
    const QSettings s(organisation(), application());
    const QVariant v = checked(e, s.value(QString::fromLatin1(e.name)));
    return v.isValid() ? v : defaultValue(key);
}

} // namespace

QString organisation()
{
    return u"pnx"_s;
}

QString application()
{
    return u"pnx"_s;
}

QString keyName(Key key)
{
    return QString::fromLatin1(entry(key).name);
}

QVariant defaultValue(Key key)
{
    const TEntry &e = entry(key);
    switch (e.type) {
    case Type::Bool:
        return e.def != 0;
    case Type::Int:
        return static_cast<int>(e.def);
    case Type::Double:
        return e.def;
    case Type::String:
        return QString::fromUtf16(e.text);
    }
    return {};
}

bool boolValue(Key key)
{
    return value(key).toBool();
}

int intValue(Key key)
{
    return value(key).toInt();
}

double doubleValue(Key key)
{
    return value(key).toDouble();
}

QString stringValue(Key key)
{
    return value(key).toString();
}

QVariant setValue(Key key, const QVariant &v)
{
    const TEntry &e = entry(key);
    QVariant stored;
    switch (e.type) {
    case Type::Bool:
        stored = checked(e, v);
        break;
    case Type::Int: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok && std::isfinite(d))
            stored = static_cast<int>(std::clamp(std::round(d), e.min, e.max));
        break;
    }
    case Type::Double: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok && std::isfinite(d))
            stored = std::clamp(d, e.min, e.max);
        break;
    }
    case Type::String:
        stored = checked(e, v);
        break;
    }
    if (!stored.isValid())
        return value(key);
    QSettings s(organisation(), application());
    s.setValue(keyName(key), stored);
    return stored;
}

} // namespace AppSettings
