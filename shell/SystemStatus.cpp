#include "SystemStatus.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>

// Key-lock states are asked of the X server when the program runs on X11 (X headers last: they
// define macros such as None and Bool).
#if defined(PNX_HAVE_X11) && QT_CONFIG(xcb)
#define PNX_ASK_X11 1
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace SystemStatus {

std::optional<int> memoryLoadFromMeminfo(QByteArrayView meminfo)
{
    qint64 total = -1;
    qint64 available = -1;
    for (QByteArrayView line : QByteArray(meminfo.toByteArray()).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArrayView key = line.first(colon);
        QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
        if (value.endsWith(" kB"))
            value.chop(3);
        bool ok = false;
        const qint64 kb = value.trimmed().toLongLong(&ok);
        if (!ok || kb < 0)
            continue;
        if (key == "MemTotal")
            total = kb;
        else if (key == "MemAvailable")
            available = kb;
    }
    if (total <= 0 || available < 0)
        return std::nullopt;
    const qint64 used = std::clamp<qint64>(total - available, 0, total);
    return int(used * 100 / total);
}

std::optional<int> memoryLoad()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return memoryLoadFromMeminfo(file.read(64 * 1024));
}

namespace {

#if defined(PNX_ASK_X11)
std::optional<bool> x11LockState(LockKey key)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const Atom name
        = XInternAtom(display, key == LockKey::NumLock ? "Num Lock" : "Scroll Lock", True);
    int index = 0;
    Bool on = False;
    Bool real = False;
    if (name == None || !XkbGetNamedIndicator(display, name, &index, &on, nullptr, &real) || !real)
        return std::nullopt;
    return on != False;
}
#endif

// The kernel's keyboard LEDs (Linux console, Wayland and X alike).
std::optional<bool> ledLockState(LockKey key)
{
    const QDir leds(QStringLiteral("/sys/class/leds"));
    if (!leds.exists())
        return std::nullopt;
    const QString pattern
        = key == LockKey::NumLock ? QStringLiteral("*::numlock") : QStringLiteral("*::scrolllock");
    std::optional<bool> state;
    for (const QString &led : leds.entryList({ pattern }, QDir::Dirs | QDir::System)) {
        QFile file(leds.filePath(led) + QStringLiteral("/brightness"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const int brightness = file.read(16).trimmed().toInt(&ok);
        if (ok)
            state = state.value_or(false) || brightness > 0;
    }
    return state;
}

} // namespace

std::optional<bool> lockState(LockKey key)
{
#if defined(PNX_ASK_X11)
    if (const auto state = x11LockState(key))
        return state;
#endif
    return ledLockState(key);
}

} // namespace SystemStatus
