#include "ShellSettings.h"

#include "AppSettings.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace ShellSettings {

namespace {

const QString KeyToolBar = u"ToolBar"_s;
const QString KeyStatusBar = u"StatusBar"_s;
const QString KeyNotes = u"Notes"_s;
const QString KeyTaskPane = u"TaskPane"_s;
const QString KeyTaskPaneWidth = u"TaskPaneWidth"_s;
const QString KeyNotesWidth = u"NotesWidth"_s;
const QString KeyGeometry = u"Geometry"_s;
const QString KeyUser = u"User"_s;
const QString KeyOrg = u"Org"_s;
// Set in the settings file once the settings of earlier versions were carried over.
const QString KeyCarriedOver = u"CarriedOverOldSettings"_s;

// Pane widths outside this range (a hand-edited file, another screen) fall back to the default.
constexpr int MaxPaneWidth = 4000;

bool readBool(const QSettings &s, const QString &key, bool fallback)
{
    const QVariant v = s.value(key);
    if (!v.isValid())
        return fallback;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const QString text = v.toString().trimmed().toLower();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    return fallback;
}

int readWidth(const QSettings &s, const QString &key, int fallback)
{
    bool ok = false;
    const int v = s.value(key).toInt(&ok);
    return ok && v >= 0 && v <= MaxPaneWidth ? v : fallback;
}

} // namespace

QString viewOrganisation()
{
    return AppSettings::organisation();
}

QString viewApplication()
{
    return AppSettings::application();
}

QString viewGroup()
{
    return u"MainWindow"_s;
}

bool carryOverOldSettings()
{
    QSettings target(AppSettings::organisation(), AppSettings::application());
    if (target.value(KeyCarriedOver).toBool())
        return false;
    const auto copy
        = [&target](const QString &organisation, const QString &application, const QString &group) {
              const QSettings old(organisation, application);
              if (old.fileName() == target.fileName())
                  return;
              for (const QString &key : old.allKeys()) {
                  const QString to = group.isEmpty() ? key : group + u'/' + key;
                  if (!target.contains(to))
                      target.setValue(to, old.value(key));
              }
          };
    copy(u"Temp"_s, u"Tavrin优化切割PNX"_s, viewGroup());
    copy(u"PNX"_s, u"PNX Cutting Planner"_s, QString());
    target.setValue(KeyCarriedOver, true);
    target.sync();
    return true;
}

TViewSettings TViewSettings::load()
{
    QSettings s(viewOrganisation(), viewApplication());
    s.beginGroup(viewGroup());
    const TViewSettings d;
    TViewSettings v;
    v.toolBar = readBool(s, KeyToolBar, d.toolBar);
    v.statusBar = readBool(s, KeyStatusBar, d.statusBar);
    v.notes = readBool(s, KeyNotes, d.notes);
    v.taskPane = readBool(s, KeyTaskPane, d.taskPane);
    v.taskPaneWidth = readWidth(s, KeyTaskPaneWidth, d.taskPaneWidth);
    v.notesWidth = readWidth(s, KeyNotesWidth, d.notesWidth);
    v.geometry = s.value(KeyGeometry).toByteArray();
    return v;
}

void TViewSettings::save() const
{
    QSettings s(viewOrganisation(), viewApplication());
    s.beginGroup(viewGroup());
    s.setValue(KeyToolBar, toolBar);
    s.setValue(KeyStatusBar, statusBar);
    s.setValue(KeyNotes, notes);
    s.setValue(KeyTaskPane, taskPane);
    s.setValue(KeyTaskPaneWidth, taskPaneWidth);
    s.setValue(KeyNotesWidth, notesWidth);
    s.setValue(KeyGeometry, geometry);
}

TOwnerInfo TOwnerInfo::read()
{
    const QSettings s(u"Quarvel"_s, u"PNX"_s);
    return { s.value(KeyUser).toString(), s.value(KeyOrg).toString() };
}

} // namespace ShellSettings
