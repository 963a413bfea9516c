#include "ShadowPanel.h"

#include "WidgetArt.h"

#include <QEvent>
#include <QPainter>

TShadowPanel::TShadowPanel(QWidget *parent)
    : QWidget(parent)
{ }

void TShadowPanel::addShadow(QWidget *child, int depth)
{
    if (!child)
        return;
    FShadows.append({ child, depth });
    child->installEventFilter(this);
    update();
}

void TShadowPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (const TShadow &s : std::as_const(FShadows))
        if (s.child && s.child->isVisible())
            WidgetArt::paintShadow(p, s.child->geometry(), s.depth);
}

bool TShadowPanel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        update();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
