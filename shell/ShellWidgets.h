#pragma once
// The building blocks of the main window and the about box.

#include "SystemStatus.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>

class QAction;
class QTimer;
class QToolButton;
class QVBoxLayout;

// The header strip at the top of the work panel: a gradient with one line of text.
class THeaderStrip : public QWidget
{
    Q_OBJECT
public:
    explicit THeaderStrip(QWidget *parent = nullptr);
    static QString welcomeText(); // the text when no work area is open
    QString text() const { return FText; }
    void setText(const QString &text);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QString FText;
};

// The central work panel: the header strip on top, and every other child widget filling the rest,
// stacked. A widget placed in it (setParent) is fitted at once; raise() brings it to the front,
// and when the front one goes, whatever lies below shows.
class TWorkPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TWorkPanel(QWidget *parent = nullptr);
    THeaderStrip *header() const { return FHeader; }
    // The area below the header strip, in the panel's coordinates.
    QRect clientRect() const;
    // The visible child at the front of the client area (the welcome panel when no work area is
    // open); nullptr if none.
    QWidget *frontWidget() const;
    // The panel never gets smaller than this, so the main window cannot squeeze it away; work
    // areas whose content is larger scroll it.
    static constexpr QSize MinimumSize { 400, 300 };

signals:
    // The front widget may have changed: a child came, went, was shown, hidden or raised.
    void frontChanged();

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void fit(QWidget *w) const;
    THeaderStrip *FHeader;
};

// The white welcome panel: a picture filling it, the slogan and the maker's notice at the lower
// right.
class TWelcomePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TWelcomePanel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override;
};

class TSizePanel;

// The 7-pixel sizing bar of a side pane, with a button in the middle that collapses and restores
// the pane.
class TSizeBar : public QWidget
{
    Q_OBJECT
public:
    explicit TSizeBar(TSizePanel *panel);
    static constexpr int Thickness = 7;
    QRect buttonRect() const;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    TSizePanel *FPanel;
    int FDragStartX = 0;
    int FDragStartWidth = 0;
    bool FDragging = false;
    bool FHot = false;
};

// A side pane of fixed width holding one content widget and its sizing bar on the inner edge.
// The width (sizing bar included) is kept while the pane is collapsed or hidden.
class TSizePanel : public QWidget
{
    Q_OBJECT
public:
    // side: Qt::LeftEdge for a pane at the left of the window (bar on its right), Qt::RightEdge
    // for one at the right (bar on its left).
    TSizePanel(Qt::Edge side, QWidget *content, QWidget *parent = nullptr);

    static constexpr int MinWidth = 40;
    int paneWidth() const { return FWidth; }
    void setPaneWidth(int width);
    bool isCollapsed() const { return FCollapsed; }
    void setCollapsed(bool collapsed);
    Qt::Edge side() const { return FSide; }
    TSizeBar *sizeBar() const { return FBar; }

signals:
    void paneWidthChanged(int width);

private:
    void updateWidth();
    Qt::Edge FSide;
    QWidget *FContent;
    TSizeBar *FBar;
    int FWidth = 199;
    bool FCollapsed = false;
};

// A group of the task pane: a caption bar that opens and closes the group, and its items.
class TTaskGroup : public QWidget
{
    Q_OBJECT
public:
    TTaskGroup(
        const QString &caption, const QIcon &icon, bool largeCaption, QWidget *parent = nullptr);
    // An item bound to a command: same caption, icon, tool tip and enabled state.
    QToolButton *addItem(QAction *action);
    void addDivider();
    void addContent(QWidget *w);
    bool isOpened() const;
    void setOpened(bool opened);

private:
    QToolButton *FCaption;
    QWidget *FBody;
    QVBoxLayout *FBodyLayout;
};

// A link-like label: blue, underlined, hand cursor; emits clicked on a left click.
class TLinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TLinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
};

// A status-bar text that gives way when the bar is short of room: it shrinks down to a few
// characters, is drawn ending in "…" when cut, and shows its whole text as its tool tip.
// text() stays the whole text.
class TStatusText : public QLabel
{
    Q_OBJECT
public:
    // preferredWidth: the width it asks for when there is room; 0: its whole text.
    explicit TStatusText(const QString &text, QWidget *parent = nullptr, int preferredWidth = 0);
    // Where a text too long for its pane is cut (default: at its end).
    void setElideMode(Qt::TextElideMode mode) { FElide = mode; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    int FPreferredWidth;
    Qt::TextElideMode FElide = Qt::ElideRight;
};

// Makes a main window's status bar keep its panes side by side: its minimum width becomes
// what all its panes need at their smallest (with room for the clock's longest text), and the
// main window never gets narrower than that.
void keepStatusBarWhole(QWidget *statusBar);

// Status-bar clock: current date in the long date format and the time, updated every second.
class TClockPane : public QLabel
{
    Q_OBJECT
public:
    explicit TClockPane(QWidget *parent = nullptr);
    static QString clockText(const QDateTime &when);

private:
    void tick();
};

// Status-bar key state (NUM, SCRL): dark when the lock is on, grey when off.
class TKeyStatePane : public QLabel
{
    Q_OBJECT
public:
    TKeyStatePane(SystemStatus::LockKey key, const QString &caption, QWidget *parent = nullptr);
    // Whether the platform reports the key's state at all.
    static bool available(SystemStatus::LockKey key);

private:
    void refresh();
    SystemStatus::LockKey FKey;
};

// Status-bar memory pane: "已用内存" and the share of memory in use as a bar.
class TMemoryPane : public QProgressBar
{
    Q_OBJECT
public:
    explicit TMemoryPane(QWidget *parent = nullptr);
    static bool available();

private:
    void refresh();
};
