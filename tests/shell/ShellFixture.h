#pragma once
// What every shell test needs: the application set up as at start-up, message boxes captured,
// per-user settings in Qt's test location, and a working directory of its own.

#include "Dialogs.h"
#include "ShellSettings.h"
#include "Startup.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace ShellFixture {

// Call from initTestCase, before anything touches QSettings. Per-user settings go to Qt's test
// location, in a folder of this process alone: tests running side by side never share them.
inline void setUpApplication()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(QDir().mkpath(base));
    static QTemporaryDir settingsDir(base + QStringLiteral("/pnx-shell-XXXXXX"));
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    Startup::initApplication();
    Dialogs::setCapture(true);
}

// Forget the view settings and the owner data of earlier tests: their files are removed.
inline void clearSettings()
{
    for (const QSettings &s :
        { QSettings(ShellSettings::viewOrganisation(), ShellSettings::viewApplication()),
            QSettings(QStringLiteral("Quarvel"), QStringLiteral("PNX")) })
        QFile::remove(s.fileName());
}

// Runs the test from a fresh empty directory and goes back afterwards.
class TWorkingDir
{
public:
    TWorkingDir()
        : FOld(QDir::currentPath())
    {
        QVERIFY(FDir.isValid());
        QVERIFY(QDir::setCurrent(FDir.path()));
    }
    ~TWorkingDir() { QDir::setCurrent(FOld); }
    TWorkingDir(const TWorkingDir &) = delete;
    TWorkingDir &operator=(const TWorkingDir &) = delete;
    QString path() const { return FDir.path(); }
    QString filePath(const QString &name) const { return FDir.filePath(name); }

private:
    QString FOld;
    QTemporaryDir FDir;
};

} // namespace ShellFixture
