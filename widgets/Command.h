#pragma once
// The commands of the program's windows: one action each, with its caption, icon and hint, that
// runs its operation through the application-wide error handler, so an error a command raises is
// shown and the command abandoned, never carried into the event loop.

#include "Dialogs.h"

#include <QAction>
#include <QIcon>
#include <QString>

class QToolBar;
class QWidget;

// A hint holds the tool tip and the status-line text separated by "|"; without a bar both are the
// whole hint. The character 13 breaks lines.
void SetHint(QAction *Action, QString Hint);

// The tool bar of a work area: named "ToolBar1", fixed in place, captions under 20-pixel icons,
// no context menu of its own.
QToolBar *MakeWorkToolBar(QWidget *Parent);

// An action named Name, owned by Owner, that runs (Owner->*Execute)() when triggered.
template <class T>
QAction *MakeCommand(T *Owner, const char *Name, const QString &Caption, const QIcon &Icon,
    const QString &Hint, void (T::*Execute)())
{
    auto *action = new QAction(Icon, Caption, Owner);
    action->setObjectName(QString::fromLatin1(Name));
    SetHint(action, Hint);
    QObject::connect(action, &QAction::triggered, Owner,
        [Owner, Execute] { Dialogs::guarded([&] { (Owner->*Execute)(); }); });
    return action;
}
