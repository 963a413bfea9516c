#include "Command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

// The items of a tool bar that do not fit as menu entries: commands as themselves, check boxes
// as checkable entries that click them, a combo box as a submenu of its items.
void FillOverflowMenu(QToolBar *Bar, QMenu *Menu)
{
    Menu->clear();
    for (QAction *a : Bar->actions()) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        QWidget *w = Bar->widgetForAction(a);
        if (!w || w->isVisible())
            continue;
        const QList<QWidget *> inside = w->findChildren<QWidget *>();
        if (inside.isEmpty() && qobject_cast<QToolButton *>(w)) {
            Menu->addAction(a);
            continue;
        }
        for (QWidget *c : inside) {
            if (auto *check = qobject_cast<QCheckBox *>(c)) {
                QAction *entry = Menu->addAction(check->text());
                entry->setCheckable(true);
                entry->setChecked(check->isChecked());
                entry->setEnabled(check->isEnabled());
                QObject::connect(entry, &QAction::triggered, check, [check] { check->click(); });
            } else if (auto *box = qobject_cast<QComboBox *>(c)) {
                QMenu *sub = Menu->addMenu(box->toolTip().isEmpty() ? box->currentText()
                                                                     : box->toolTip());
                for (int i = 0; i < box->count(); ++i) {
                    QAction *entry = sub->addAction(box->itemText(i));
                    QObject::connect(entry, &QAction::triggered, box,
                        [box, i] { box->setCurrentIndex(i); });
                }
            }
        }
    }
}

} // namespace

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
    // A tool bar outside a main window cannot expand: its overflow button would do nothing. It
    // opens a menu of what does not fit instead, so every command stays reachable in a narrow
    // window.
    if (auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"))) {
        QObject::disconnect(more, &QToolButton::clicked, nullptr, nullptr);
        auto *menu = new QMenu(bar);
        menu->setObjectName(QStringLiteral("ToolBarOverflow"));
        QObject::connect(menu, &QMenu::aboutToShow, bar, [bar, menu] { FillOverflowMenu(bar, menu); });
        more->setMenu(menu);
        more->setPopupMode(QToolButton::InstantPopup);
    }
    return bar;
}
