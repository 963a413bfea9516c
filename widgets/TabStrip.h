#pragma once
// TTabStrip: a row of tabs along the foot of a layout area, one per layout of a run. It stays
// quick with thousands of tabs: adding or clearing tabs costs nothing per existing tab, and only
// the tabs in view are painted. When the tabs do not fit, two scroll buttons at the right end and
// the mouse wheel move through them. With the keyboard (a click on a tab gives it): the arrows move
// one tab, PgUp/PgDn a strip's width, Home/End to the first and last tab.
//
// Unlike a notebook's tab bar, no tab is current until one is chosen (currentIndex -1), so a
// run can fill the strip without showing anything yet.

#include <QStringList>
#include <QWidget>

class QToolButton;

class TTabStrip : public QWidget
{
    Q_OBJECT
public:
    explicit TTabStrip(QWidget *parent = nullptr);

    int addTab(const QString &text); // returns the new tab's index
    void clear(); // no tabs, none current
    int count() const { return int(FTexts.size()); }
    QString tabText(int index) const { return FTexts.value(index); }

    int currentIndex() const { return FCurrent; }
    // Makes the tab current and scrolls it into view; -1 or an index outside the tabs makes none
    // current. Emits currentChanged when the current tab changes.
    void setCurrentIndex(int index);

    // The first tab in view, and how many fit.
    int firstVisible() const { return FFirst; }
    int visibleCount() const;
    // Scrolls so that the tab is in view.
    void makeVisible(int index);
    // The tab under a point, -1 when none.
    int tabAt(const QPoint &pos) const;
    QRect tabRect(int index) const; // empty when the tab is out of view

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentChanged(int index);
    // A tab was clicked, whether or not it was current already.
    void tabBarClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int tabWidth() const;
    int stripWidth() const; // the width the tabs may use, without the scroll buttons
    void scrollTo(int first);
    void updateButtons();

    QStringList FTexts;
    int FCurrent = -1;
    int FFirst = 0;
    int FWidestText = 0;
    QToolButton *FLeft;
    QToolButton *FRight;
};
