#include "DBNavigator.h"

#include "DBGrid.h"
#include "Dialogs.h"
#include "RowSet.h"
#include "WidgetArt.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const char *const ButtonNames[TDBNavigator::ButtonCount] = { "nbFirst", "nbPrior", "nbNext",
    "nbLast", "nbInsert", "nbDelete", "nbEdit", "nbPost", "nbCancel", "nbRefresh" };

} // namespace

TDBNavigator::TButtonSet TDBNavigator::allButtons()
{
    return { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel,
        nbRefresh };
}

QStringList TDBNavigator::defaultHints()
{
    return { tr("第一条"), tr("上一条"), tr("下一条"), tr("最后条"), tr("插入"), tr("删除"),
        tr("编辑"), tr("提交"), tr("放弃"), tr("刷新") };
}

QString TDBNavigator::defaultDeleteQuestion()
{
    return tr("确实要删除当前记录吗？");
}

TDBNavigator::TDBNavigator(QWidget *parent)
    : QWidget(parent)
    , FVisible(allButtons())
    , FDeleteQuestion(defaultDeleteQuestion())
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(ButtonNames[i]));
        b->setIcon(WidgetArt::navigatorIcon(i));
        b->setIconSize(QSize(16, 16));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setMinimumSize(20, 18);
        // The grid keeps the keyboard focus, as with a stock record navigator.
        b->setFocusPolicy(Qt::NoFocus);
        const auto which = TNavigateBtn(i);
        connect(b, &QToolButton::clicked, this,
            [this, which] { Dialogs::guarded([&] { btnClick(which); }); });
        row->addWidget(b, 1);
        FButtons[i] = b;
    }
    setHints(defaultHints());
    layoutButtons();
    updateButtons();
}

TDBNavigator::~TDBNavigator()
{
    for (const auto &c : std::as_const(FConnections))
        disconnect(c);
}

void TDBNavigator::setDataSource(TRowSet *rowSet)
{
    for (const auto &c : std::as_const(FConnections))
        disconnect(c);
    FConnections.clear();
    FRowSet = rowSet;
    if (rowSet) {
        auto update = [this] { updateButtons(); };
        FConnections << connect(rowSet, &TRowSet::currentRowChanged, this, update)
                     << connect(rowSet, &TRowSet::stateChanged, this, update)
                     << connect(rowSet, &TRowSet::saved, this, update)
                     << connect(rowSet, &QAbstractItemModel::modelReset, this, update)
                     << connect(rowSet, &QAbstractItemModel::rowsInserted, this, update)
                     << connect(rowSet, &QAbstractItemModel::rowsRemoved, this, update)
                     << connect(rowSet, &QAbstractItemModel::dataChanged, this, update)
                     << connect(rowSet, &QObject::destroyed, this, update);
    }
    updateButtons();
}

void TDBNavigator::setVisibleButtons(const TButtonSet &buttons)
{
    FVisible.clear();
    for (TNavigateBtn b : allButtons())
        if (buttons.contains(b))
            FVisible << b;
    layoutButtons();
}

void TDBNavigator::layoutButtons()
{
    for (int i = 0; i < ButtonCount; ++i)
        FButtons[i]->setVisible(FVisible.contains(TNavigateBtn(i)));
}

void TDBNavigator::setHints(const QStringList &hints)
{
    FHints = hints;
    for (int i = 0; i < ButtonCount; ++i) {
        QString hint = i < hints.size() ? hints[i] : QString();
        hint.replace(QChar(13), u'\n');
        const qsizetype bar = hint.indexOf(u'|');
        FButtons[i]->setToolTip(bar < 0 ? hint : hint.left(bar));
        FButtons[i]->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    }
}

void TDBNavigator::updateButtons()
{
    TRowSet *rs = FRowSet;
    const bool active = rs && rs->isOpen();
    const bool canModify = active && !rs->isReadOnly();
    const bool editing = active && (rs->state() == dsEdit || rs->state() == dsInsert);
    const int recNo = active ? rs->recNo() : 0;
    const int count = active ? rs->recordCount() : 0;
    FButtons[nbFirst]->setEnabled(active && recNo > 1);
    FButtons[nbPrior]->setEnabled(active && recNo > 1);
    FButtons[nbNext]->setEnabled(active && recNo > 0 && recNo < count);
    FButtons[nbLast]->setEnabled(active && recNo > 0 && recNo < count);
    FButtons[nbInsert]->setEnabled(canModify);
    FButtons[nbDelete]->setEnabled(canModify && count > 0);
    FButtons[nbEdit]->setEnabled(canModify && !editing);
    FButtons[nbPost]->setEnabled(canModify && editing);
    FButtons[nbCancel]->setEnabled(canModify && editing);
    FButtons[nbRefresh]->setEnabled(active && !editing && !rs->hasPendingChanges());
}

void TDBNavigator::btnClick(TNavigateBtn button)
{
    if (button < 0 || button >= ButtonCount)
        return;
    // Text still being typed into a grid cell belongs to the current row: it goes in before the
    // row set moves or saves. Cancel and delete throw it away instead (the grid drops it).
    if (button != nbCancel && button != nbDelete && !TDBGrid::commitEditors(FRowSet))
        return;
    updateButtons();
    if (!FVisible.contains(button) || !FButtons[button]->isEnabled())
        return;
    if (!FBeforeAction || FBeforeAction(button))
        runAction(button);
    updateButtons();
    emit clicked(button);
}

void TDBNavigator::runAction(TNavigateBtn button)
{
    TRowSet *rs = FRowSet;
    if (!rs)
        return;
    switch (button) {
    case nbFirst:
        rs->first();
        break;
    case nbPrior:
        rs->prior();
        break;
    case nbNext:
        rs->next();
        break;
    case nbLast:
        rs->last();
        break;
    case nbInsert:
        rs->insert();
        break;
    case nbDelete:
        if (!FConfirmDelete || Dialogs::askOkCancel(window(), FDeleteQuestion))
            rs->deleteRecord();
        break;
    case nbEdit:
        rs->edit();
        break;
    case nbPost:
        rs->post();
        break;
    case nbCancel:
        rs->cancel();
        break;
    case nbRefresh: {
        // Read the rows again and stay on the same position where it still exists.
        const int recNo = rs->recNo();
        rs->reopen();
        if (recNo > 1 && rs->recordCount() > 0)
            rs->setRecNo(qMin(recNo, rs->recordCount()));
        break;
    }
    }
}
