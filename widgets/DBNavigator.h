#pragma once
// TDBNavigator: the record navigator bound to a row set. A row of buttons that move through the
// rows and change them: first, prior, next, last, insert, delete, edit, post, cancel, refresh.
// Which buttons are shown is configurable (the library editors show all ten, the lists of the
// project workspace nine, without refresh). Each button's tool tip is its hint ("第一条" ...).
//
// The buttons follow the row set: moving is offered only where there is a row to move to,
// changing only when the row set can be changed, post and cancel only while a row is being
// edited or entered, refresh only while nothing is pending (a refresh would silently throw the
// unsaved changes away). Delete asks first (Dialogs::askOkCancel) unless ConfirmDelete is off.
//
// A click runs through the application-wide error handler: an error of the row set is reported
// and the command abandoned.

#include "RowSet.h"

#include <QFlags>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QToolButton;

class TDBNavigator : public QWidget
{
    Q_OBJECT
public:
    // The buttons, in their fixed left-to-right order.
    enum TNavigateBtn {
        nbFirst,
        nbPrior,
        nbNext,
        nbLast,
        nbInsert,
        nbDelete,
        nbEdit,
        nbPost,
        nbCancel,
        nbRefresh
    };
    Q_ENUM(TNavigateBtn)
    static constexpr int ButtonCount = 10;
    using TButtonSet = QList<TNavigateBtn>;
    static TButtonSet allButtons(); // all ten
    static QStringList defaultHints(); // "第一条", "上一条", ... "刷新"
    static QString defaultDeleteQuestion(); // "确实要删除当前记录吗？"

    explicit TDBNavigator(QWidget *parent = nullptr);
    ~TDBNavigator() override;

    // The row set the buttons act on (not owned; may be nullptr: every button disabled).
    void setDataSource(TRowSet *rowSet);
    TRowSet *dataSource() const { return FRowSet; }

    // Shows exactly the given buttons (kept in the fixed order), sharing the width evenly.
    void setVisibleButtons(const TButtonSet &buttons);
    TButtonSet visibleButtons() const { return FVisible; }

    // One hint per button in button order; a hint "a|b" gives the tool tip a and status text b.
    void setHints(const QStringList &hints);
    QStringList hints() const { return FHints; }

    // Delete asks this question first (OK deletes, Cancel keeps the row).
    void setConfirmDelete(bool on) { FConfirmDelete = on; }
    bool confirmDelete() const { return FConfirmDelete; }
    void setDeleteQuestion(const QString &text) { FDeleteQuestion = text; }
    QString deleteQuestion() const { return FDeleteQuestion; }

    // Runs before a button's own action; returning false skips that action (the handler may
    // have done its own, e.g. a delete with a question and statements of its own). May throw:
    // the click is then abandoned and the error reported.
    void setBeforeAction(std::function<bool(TNavigateBtn)> handler)
    {
        FBeforeAction = std::move(handler);
    }

    QToolButton *button(TNavigateBtn button) const { return FButtons[button]; }

    // What a click on the button does, errors left to the caller (a click reports them). Does
    // nothing while the button is disabled or hidden.
    void btnClick(TNavigateBtn button);

    // Re-reads the row set's state into the buttons' enabled states. Done on every change the
    // row set signals, a batch save included.
    void updateButtons();

signals:
    // After a button's action ran (also when BeforeAction skipped it).
    void clicked(TDBNavigator::TNavigateBtn button);

private:
    void runAction(TNavigateBtn button);
    void layoutButtons();

    QToolButton *FButtons[ButtonCount] = {};
    TButtonSet FVisible;
    QStringList FHints;
    QPointer<TRowSet> FRowSet;
    QList<QMetaObject::Connection> FConnections;
    bool FConfirmDelete = true;
    QString FDeleteQuestion;
    std::function<bool(TNavigateBtn)> FBeforeAction;
};
