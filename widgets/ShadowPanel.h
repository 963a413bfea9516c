#pragma once
// TShadowPanel: a plain panel that paints a soft drop shadow below and to the right of chosen
// child widgets (the navigator bar and the grid of the library editors, the picker's list).
// The shadow follows the child when it moves, resizes, shows or hides.

#include <QList>
#include <QPointer>
#include <QWidget>

class TShadowPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TShadowPanel(QWidget *parent = nullptr);

    // child must be a direct child of this panel.
    void addShadow(QWidget *child, int depth = 6);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TShadow
    {
        QPointer<QWidget> child;
        int depth;
    };
    QList<TShadow> FShadows;
};
