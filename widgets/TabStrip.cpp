#include "TabStrip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int Padding = 10; // on each side of a tab's text
constexpr int ButtonWidth = 18;

} // namespace

TTabStrip::TTabStrip(QWidget *parent)
    : QWidget(parent)
{
    // Clicking a tab gives the strip the keyboard: the arrows, Home and End then move on.
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    FLeft = new QToolButton(this);
    FRight = new QToolButton(this);
    FLeft->setObjectName(QStringLiteral("btnScrollLeft"));
    FRight->setObjectName(QStringLiteral("btnScrollRight"));
    FLeft->setArrowType(Qt::LeftArrow);
    FRight->setArrowType(Qt::RightArrow);
    for (QToolButton *b : { FLeft, FRight }) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
    connect(FLeft, &QToolButton::clicked, this, [this] { scrollTo(FFirst - 1); });
    connect(FRight, &QToolButton::clicked, this, [this] { scrollTo(FFirst + 1); });
}

int TTabStrip::addTab(const QString &text)
{
    FTexts.append(text);
    FWidestText = std::max(FWidestText, fontMetrics().horizontalAdvance(text));
    updateButtons();
    update();
    return count() - 1;
}

void TTabStrip::clear()
{
    FTexts.clear();
    FWidestText = 0;
    FFirst = 0;
    const bool changed = FCurrent != -1;
    FCurrent = -1;
    updateButtons();
    update();
    if (changed)
        emit currentChanged(-1);
}

void TTabStrip::setCurrentIndex(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index >= 0)
        makeVisible(index);
    if (index == FCurrent)
        return;
    FCurrent = index;
    update();
    emit currentChanged(index);
}

int TTabStrip::tabWidth() const
{
    return std::max(FWidestText, fontMetrics().horizontalAdvance(QStringLiteral("切割0")))
        + 2 * Padding;
}

int TTabStrip::stripWidth() const
{
    const bool scrolling = count() * tabWidth() > width();
    return std::max(0, width() - (scrolling ? 2 * ButtonWidth + 4 : 0));
}

int TTabStrip::visibleCount() const
{
    return std::max(1, stripWidth() / std::max(1, tabWidth()));
}

void TTabStrip::scrollTo(int first)
{
    first = std::clamp(first, 0, std::max(0, count() - visibleCount()));
    if (first == FFirst)
        return;
    FFirst = first;
    updateButtons();
    update();
}

void TTabStrip::makeVisible(int index)
{
    if (index < 0 || index >= count())
        return;
    if (index < FFirst)
        scrollTo(index);
    else if (index >= FFirst + visibleCount())
        scrollTo(index - visibleCount() + 1);
}

void TTabStrip::updateButtons()
{
    const bool scrolling = count() * tabWidth() > width();
    FLeft->setVisible(scrolling);
    FRight->setVisible(scrolling);
    if (scrolling) {
        const int h = height() - 2;
        FRight->setGeometry(width() - ButtonWidth - 1, 1, ButtonWidth, h);
        FLeft->setGeometry(width() - 2 * ButtonWidth - 2, 1, ButtonWidth, h);
        FLeft->setEnabled(FFirst > 0);
        FRight->setEnabled(FFirst + visibleCount() < count());
    } else if (FFirst != 0) {
        FFirst = 0;
    }
}

QRect TTabStrip::tabRect(int index) const
{
    if (index < FFirst || index >= count())
        return QRect();
    const int w = tabWidth();
    const int x = (index - FFirst) * w;
    if (x >= stripWidth())
        return QRect();
    return QRect(x, 0, w, height());
}

int TTabStrip::tabAt(const QPoint &pos) const
{
    if (pos.x() < 0 || pos.x() >= stripWidth() || pos.y() < 0 || pos.y() >= height())
        return -1;
    const int index = FFirst + pos.x() / std::max(1, tabWidth());
    return index < count() ? index : -1;
}

QSize TTabStrip::sizeHint() const
{
    return QSize(std::min(count(), 8) * tabWidth(), fontMetrics().height() + 10);
}

QSize TTabStrip::minimumSizeHint() const
{
    return QSize(0, fontMetrics().height() + 10);
}

void TTabStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, 0, width(), 0); // the edge the tabs hang from
    p.setClipRect(QRect(0, 0, stripWidth(), height()));
    const int last = std::min(count(), FFirst + visibleCount() + 1);
    for (int i = FFirst; i < last; ++i) {
        const QRect r = tabRect(i);
        if (r.isEmpty())
            break;
        const bool current = i == FCurrent;
        // A tab hangs below the edge; the current one is lighter, joins the edge and is taller.
        const QRectF shape
            = QRectF(r).adjusted(1.5, current ? 0 : 0.5, -1.5, current ? -1.5 : -3.5);
        QPainterPath path;
        path.moveTo(shape.topLeft());
        path.lineTo(shape.left() + 3, shape.bottom());
        path.lineTo(shape.right() - 3, shape.bottom());
        path.lineTo(shape.topRight());
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(current ? pal.color(QPalette::Base) : pal.color(QPalette::Button));
        p.drawPath(path);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (current) {
            p.setPen(pal.color(QPalette::Base));
            p.drawLine(QPointF(shape.left() + 1, 0.5), QPointF(shape.right() - 1, 0.5));
        }
        p.setPen(pal.color(QPalette::ButtonText));
        QFont f = font();
        f.setBold(current);
        p.setFont(f);
        p.drawText(shape, Qt::AlignCenter, FTexts[i]);
        if (current && hasFocus()) {
            p.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(shape.adjusted(4, 2, -4, -2));
        }
    }
}

void TTabStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int index = tabAt(event->position().toPoint());
    if (index < 0)
        return;
    emit tabBarClicked(index);
    setCurrentIndex(index);
}

void TTabStrip::wheelEvent(QWheelEvent *event)
{
    const int steps
        = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (steps == 0)
        return;
    scrollTo(FFirst + (steps > 0 ? -1 : 1));
    event->accept();
}

void TTabStrip::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        if (FCurrent > 0)
            setCurrentIndex(FCurrent - 1);
        break;
    case Qt::Key_Right:
        if (FCurrent + 1 < count())
            setCurrentIndex(FCurrent + 1);
        break;
    case Qt::Key_Home:
        if (count() > 0)
            setCurrentIndex(0);
        break;
    case Qt::Key_End:
        if (count() > 0)
            setCurrentIndex(count() - 1);
        break;
    case Qt::Key_PageUp:
        if (count() > 0)
            setCurrentIndex(std::max(0, FCurrent - std::max(1, visibleCount())));
        break;
    case Qt::Key_PageDown:
        if (count() > 0)
            setCurrentIndex(std::min(count() - 1, FCurrent + std::max(1, visibleCount())));
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TTabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateButtons();
    scrollTo(FFirst);
}

void TTabStrip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FWidestText = 0;
        for (const QString &t : std::as_const(FTexts))
            FWidestText = std::max(FWidestText, fontMetrics().horizontalAdvance(t));
        updateButtons();
    }
}
