#include "Command.h"

#include <QToolBar>

void SetHint(QAction *Action, QString Hint)
{
    Hint.replace(QChar(13), u'\n');
    const qsizetype bar = Hint.indexOf(u'|');
    Action->setToolTip(bar < 0 ? Hint : Hint.left(bar));
    Action->setStatusTip(bar < 0 ? Hint : Hint.mid(bar + 1));
}

QToolBar *MakeWorkToolBar(QWidget *Parent)
{
    auto *bar = new QToolBar(Parent);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(20, 20));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    return bar;
}
