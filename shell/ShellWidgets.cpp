#include "ShellWidgets.h"

#include "ProductInfo.h"
#include "ShellArt.h"

#include <QAction>
#include <QChildEvent>
#include <QDateTime>
#include <QFrame>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

// ---- THeaderStrip ----

QString THeaderStrip::welcomeText()
{
    return u"Quarvel Cutting Optimization"_s;
}

THeaderStrip::THeaderStrip(QWidget *parent)
    : QWidget(parent)
    , FText(welcomeText())
{
    QFont f(u"Arial"_s);
    f.setPointSize(12);
    setFont(f);
    setFixedHeight(35);
}

void THeaderStrip::setText(const QString &text)
{
    if (text == FText)
        return;
    FText = text;
    update();
}

QSize THeaderStrip::sizeHint() const
{
    return { 200, 35 };
}

void THeaderStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, width(), 0);
    g.setColorAt(0, QColor(33, 76, 156));
    g.setColorAt(1, QColor(166, 202, 240));
    p.fillRect(rect(), g);
    p.setPen(QColor(20, 40, 90));
    p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(12, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, FText);
}

// ---- TWorkPanel ----

TWorkPanel::TWorkPanel(QWidget *parent)
    : QWidget(parent)
    , FHeader(new THeaderStrip(this))
{
    FHeader->setObjectName(u"rzpnlHeader"_s);
    setMinimumSize(MinimumSize);
}

QRect TWorkPanel::clientRect() const
{
    return rect().adjusted(0, FHeader->height(), 0, 0);
}

QWidget *TWorkPanel::frontWidget() const
{
    const QObjectList &kids = children();
    for (auto it = kids.crbegin(); it != kids.crend(); ++it) {
        auto *w = qobject_cast<QWidget *>(*it);
        if (w && w != FHeader && !w->isWindow() && !w->isHidden())
            return w;
    }
    return nullptr;
}

void TWorkPanel::fit(QWidget *w) const
{
    if (w && w != FHeader && !w->isWindow())
        w->setGeometry(clientRect());
}

bool TWorkPanel::event(QEvent *e)
{
    if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildPolished) {
        QObject *child = static_cast<QChildEvent *>(e)->child();
        if (child->isWidgetType()) {
            fit(static_cast<QWidget *>(child));
            if (e->type() == QEvent::ChildAdded && child != FHeader)
                child->installEventFilter(this);
        }
    } else if (e->type() == QEvent::ChildRemoved) {
        emit frontChanged();
    }
    return QWidget::event(e);
}

bool TWorkPanel::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::Show || e->type() == QEvent::Hide
        || e->type() == QEvent::ZOrderChange)
        emit frontChanged();
    return QWidget::eventFilter(watched, e);
}

void TWorkPanel::resizeEvent(QResizeEvent *e)
{
    FHeader->setGeometry(0, 0, width(), FHeader->height());
    for (QObject *child : children())
        if (child->isWidgetType())
            fit(static_cast<QWidget *>(child));
    QWidget::resizeEvent(e);
}

// ---- TWelcomePanel ----

TWelcomePanel::TWelcomePanel(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void TWelcomePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    // The picture: a cutting layout filling the panel, faded behind the text.
    ShellArt::paintLayout(p, QRectF(rect()).adjusted(24, 24, -24, -24), true);

    QFont slogan;
    slogan.setFamilies(
        { u"KaiTi"_s, u"楷体"_s, u"STKaiti"_s, u"AR PL UKai CN"_s, u"WenQuanYi Micro Hei"_s });
    slogan.setPixelSize(std::clamp(width() / 16, 22, 44));
    slogan.setBold(true);
    QFont notice(u"Arial"_s);
    notice.setPointSize(9);

    const QString sloganText = tr("简单 直观 高效 快速");
    const QString noticeText = ProductInfo::rightsNotice();
    const int noticeHeight = QFontMetrics(notice).height();
    const QRect noticeRect = rect().adjusted(0, 0, -24, -16);
    const QRect sloganRect = noticeRect.adjusted(0, 0, 0, -noticeHeight - 8);

    p.setFont(slogan);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawText(sloganRect.translated(3, 3), Qt::AlignRight | Qt::AlignBottom, sloganText);
    p.setPen(QColor(20, 70, 190));
    p.drawText(sloganRect, Qt::AlignRight | Qt::AlignBottom, sloganText);

    p.setFont(notice);
    p.setPen(QColor(90, 90, 90));
    p.drawText(noticeRect, Qt::AlignRight | Qt::AlignBottom, noticeText);
}

// ---- TSizeBar ----

TSizeBar::TSizeBar(TSizePanel *panel)
    : QWidget(panel)
    , FPanel(panel)
{
    setFixedWidth(Thickness);
    setMouseTracking(true);
    setCursor(Qt::SplitHCursor);
}

QRect TSizeBar::buttonRect() const
{
    return QRect(0, height() / 2 - 24, width(), 48);
}

void TSizeBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 0, 0, height());
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(width() - 1, 0, width() - 1, height());

    const QRect b = buttonRect();
    p.fillRect(b.adjusted(1, 0, -1, 0), FHot ? QColor(255, 210, 120) : QColor(200, 212, 235));
    // The arrow points the way the button moves the pane's edge.
    const bool pointsLeft = (FPanel->side() == Qt::LeftEdge) != FPanel->isCollapsed();
    const int cx = b.center().x();
    const int cy = b.center().y();
    QPolygon arrow;
    if (pointsLeft)
        arrow << QPoint(cx - 2, cy) << QPoint(cx + 1, cy - 3) << QPoint(cx + 1, cy + 3);
    else
        arrow << QPoint(cx + 2, cy) << QPoint(cx - 1, cy - 3) << QPoint(cx - 1, cy + 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 60, 110));
    p.drawPolygon(arrow);
}

void TSizeBar::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (buttonRect().contains(e->position().toPoint())) {
        FPanel->setCollapsed(!FPanel->isCollapsed());
        return;
    }
    FDragging = true;
    FDragStartX = int(e->globalPosition().x());
    FDragStartWidth = FPanel->isCollapsed() ? Thickness : FPanel->paneWidth();
}

void TSizeBar::mouseMoveEvent(QMouseEvent *e)
{
    const bool hot = buttonRect().contains(e->position().toPoint());
    if (hot != FHot) {
        FHot = hot;
        setCursor(hot ? Qt::PointingHandCursor : Qt::SplitHCursor);
        update();
    }
    if (!FDragging)
        return;
    const int delta = int(e->globalPosition().x()) - FDragStartX;
    int width = FDragStartWidth + (FPanel->side() == Qt::LeftEdge ? delta : -delta);
    if (QWidget *host = FPanel->parentWidget())
        width = std::min(width, std::max(TSizePanel::MinWidth, host->width() / 2));
    FPanel->setCollapsed(false);
    FPanel->setPaneWidth(std::max(width, int(TSizePanel::MinWidth)));
}

void TSizeBar::mouseReleaseEvent(QMouseEvent *)
{
    FDragging = false;
}

void TSizeBar::enterEvent(QEnterEvent *)
{
    update();
}

void TSizeBar::leaveEvent(QEvent *)
{
    FHot = false;
    update();
}

// ---- TSizePanel ----

TSizePanel::TSizePanel(Qt::Edge side, QWidget *content, QWidget *parent)
    : QWidget(parent)
    , FSide(side)
    , FContent(content)
    , FBar(new TSizeBar(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (side == Qt::LeftEdge) {
        layout->addWidget(content);
        layout->addWidget(FBar);
    } else {
        layout->addWidget(FBar);
        layout->addWidget(content);
    }
    updateWidth();
}

void TSizePanel::setPaneWidth(int width)
{
    width = std::max(width, int(MinWidth));
    if (width == FWidth)
        return;
    FWidth = width;
    updateWidth();
    emit paneWidthChanged(FWidth);
}

void TSizePanel::setCollapsed(bool collapsed)
{
    if (collapsed == FCollapsed)
        return;
    FCollapsed = collapsed;
    updateWidth();
}

void TSizePanel::updateWidth()
{
    FContent->setVisible(!FCollapsed);
    setFixedWidth(FCollapsed ? TSizeBar::Thickness : FWidth);
    FBar->update();
}

// ---- TTaskGroup ----

TTaskGroup::TTaskGroup(
    const QString &caption, const QIcon &icon, bool largeCaption, QWidget *parent)
    : QWidget(parent)
    , FCaption(new QToolButton(this))
    , FBody(new QWidget(this))
    , FBodyLayout(new QVBoxLayout(FBody))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FCaption->setObjectName(u"taskGroupCaption"_s);
    FCaption->setText(caption);
    FCaption->setIcon(icon);
    FCaption->setIconSize(largeCaption ? QSize(32, 32) : QSize(20, 20));
    FCaption->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FCaption->setCheckable(true);
    FCaption->setChecked(true);
    FCaption->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FCaption->setFixedHeight(largeCaption ? 38 : 26);
    QFont f = FCaption->font();
    f.setBold(true);
    if (largeCaption)
        f.setPointSizeF(f.pointSizeF() * 1.25);
    FCaption->setFont(f);
    FCaption->setStyleSheet(largeCaption
            ? u"QToolButton { border: none; border-top-left-radius: 5px; border-top-right-radius: "
              u"5px;"
              " color: white; text-align: left; padding-left: 4px;"
              " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0c32a8, stop:1 #3a7be0); }"_s
            : u"QToolButton { border: none; border-top-left-radius: 5px; border-top-right-radius: "
              u"5px;"
              " color: #1c3a8c; text-align: left; padding-left: 4px;"
              " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #ffffff, stop:1 #c6d3f7); }"_s);
    connect(FCaption, &QToolButton::toggled, this, &TTaskGroup::setOpened);
    layout->addWidget(FCaption);

    FBody->setObjectName(u"taskGroupBody"_s);
    FBody->setAttribute(Qt::WA_StyledBackground);
    FBody->setStyleSheet(
        u"#taskGroupBody { background: #eff3ff; border: 1px solid white; border-top: none; }"_s);
    FBodyLayout->setContentsMargins(8, 6, 8, 8);
    FBodyLayout->setSpacing(1);
    layout->addWidget(FBody);
}

QToolButton *TTaskGroup::addItem(QAction *action)
{
    auto *item = new QToolButton(FBody);
    item->setDefaultAction(action);
    item->setAutoRaise(true);
    item->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    item->setIconSize(QSize(16, 16));
    item->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    item->setCursor(Qt::PointingHandCursor);
    item->setStyleSheet(
        u"QToolButton { color: #21459c; text-align: left; border: none; padding: 2px; }"
        " QToolButton:hover { color: #428eff; text-decoration: underline; }"
        " QToolButton:disabled { color: #8c97b5; }"_s);
    FBodyLayout->addWidget(item);
    return item;
}

void TTaskGroup::addDivider()
{
    auto *line = new QFrame(FBody);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    FBodyLayout->addWidget(line);
}

void TTaskGroup::addContent(QWidget *w)
{
    FBodyLayout->addWidget(w, 0, Qt::AlignHCenter);
}

bool TTaskGroup::isOpened() const
{
    return !FBody->isHidden();
}

void TTaskGroup::setOpened(bool opened)
{
    FBody->setVisible(opened);
    FCaption->setChecked(opened);
}

// ---- TLinkLabel ----

TLinkLabel::TLinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(e);
}

// ---- status panes ----

TStatusText::TStatusText(const QString &text, QWidget *parent, int preferredWidth)
    : QLabel(text, parent)
    , FPreferredWidth(preferredWidth)
{
    setToolTip(text);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize TStatusText::minimumSizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const QMargins m = contentsMargins();
    return QSize(
        qMin(fm.horizontalAdvance(text()), fm.horizontalAdvance(u"MMM…"_s)) + m.left() + m.right(),
        QLabel::minimumSizeHint().height());
}

QSize TStatusText::sizeHint() const
{
    const QMargins m = contentsMargins();
    const int whole = fontMetrics().horizontalAdvance(text()) + m.left() + m.right() + 4;
    return QSize(FPreferredWidth > 0 ? FPreferredWidth : whole, QLabel::sizeHint().height());
}

void TStatusText::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = contentsRect();
    p.setPen(palette().color(foregroundRole()));
    p.drawText(r, int(alignment()), fontMetrics().elidedText(text(), FElide, r.width()));
}

void keepStatusBarWhole(QWidget *statusBar)
{
    int width = 0;
    int panes = 0;
    for (QWidget *w : statusBar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || w->isHidden())
            continue;
        width += qMax(w->minimumWidth(), w->minimumSizeHint().width());
        ++panes;
    }
    // Spacing and frames between the panes, the size grip, and room for the clock's text to
    // grow (day and month names differ in length).
    constexpr int PerPane = 8, Grip = 20, ClockGrowth = 60;
    statusBar->setMinimumWidth(width + panes * PerPane + Grip + ClockGrowth);
}

TClockPane::TClockPane(QWidget *parent)
    : QLabel(parent)
{
    setMinimumWidth(134);
    setAlignment(Qt::AlignCenter);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TClockPane::tick);
    timer->start(1000);
    tick();
}

QString TClockPane::clockText(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The long time format carries the time zone on most locales; the clock leaves it out.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(u't').replace(u"  "_s, u" "_s);
    return locale.toString(when.date(), QLocale::LongFormat) + u' '
        + locale.toString(when.time(), timeFormat.trimmed());
}

void TClockPane::tick()
{
    setText(clockText(QDateTime::currentDateTime()));
    // At least 134 pixels, and wide enough for the locale's long date.
    const int needed = fontMetrics().horizontalAdvance(text()) + 10;
    if (needed > minimumWidth())
        setMinimumWidth(needed);
}

TKeyStatePane::TKeyStatePane(SystemStatus::LockKey key, const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
    , FKey(key)
{
    setAlignment(Qt::AlignCenter);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TKeyStatePane::refresh);
    timer->start(300);
    refresh();
}

bool TKeyStatePane::available(SystemStatus::LockKey key)
{
    return SystemStatus::lockState(key).has_value();
}

void TKeyStatePane::refresh()
{
    const bool on = SystemStatus::lockState(FKey).value_or(false);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, on ? QColor(Qt::black) : QColor(160, 160, 160));
    setPalette(pal);
}

TMemoryPane::TMemoryPane(QWidget *parent)
    : QProgressBar(parent)
{
    setRange(0, 100);
    setFormat(tr("已用内存 %p%"));
    setAlignment(Qt::AlignCenter);
    setToolTip(tr("已用内存"));
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TMemoryPane::refresh);
    timer->start(2000);
    refresh();
}

bool TMemoryPane::available()
{
    return SystemStatus::memoryLoad().has_value();
}

void TMemoryPane::refresh()
{
    if (const auto load = SystemStatus::memoryLoad())
        setValue(*load);
}
