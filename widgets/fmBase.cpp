#include "fmBase.h"

#include "WidgetArt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A decorative picture stretched along one edge of the window.
class TEdgePicture : public QWidget
{
public:
    TEdgePicture(Qt::Orientation orientation, QWidget *parent)
        : QWidget(parent)
        , FOrientation(orientation)
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        WidgetArt::paintEdge(p, rect(), FOrientation);
    }

private:
    Qt::Orientation FOrientation;
};

} // namespace

QStringList TfrmBase::fontFamilies()
{
    return { u"SimSun"_s, u"宋体"_s, u"NSimSun"_s, u"WenQuanYi Micro Hei"_s, u"WenQuanYi Zen Hei"_s,
        u"Noto Sans CJK SC"_s, u"Source Han Sans SC"_s };
}

QFont TfrmBase::baseFont()
{
    QFont f;
    f.setFamilies(fontFamilies());
    f.setPointSize(9);
    return f;
}

TfrmBase::TfrmBase(QWidget *parent)
    : QDialog(parent)
{
    setFont(baseFont());

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Top = new QWidget(this);
    Top->setObjectName(u"Top"_s);
    Top->setFixedHeight(TopHeight);
    Top->hide();
    column->addWidget(Top);

    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    Left = new TEdgePicture(Qt::Vertical, this);
    Left->setObjectName(u"Left"_s);
    Left->setFixedWidth(LeftWidth);
    middle->addWidget(Left);
    PanelBack = new QWidget(this);
    PanelBack->setObjectName(u"PanelBack"_s);
    middle->addWidget(PanelBack, 1);
    column->addLayout(middle, 1);

    Bottom = new TEdgePicture(Qt::Horizontal, this);
    Bottom->setObjectName(u"Bottom"_s);
    Bottom->setFixedHeight(BottomHeight);
    column->addWidget(Bottom);
}

void TfrmBase::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Not the dialog's default and cancel keys: nothing closes the window but its buttons
        // and its title bar.
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TfrmBase::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        // Push buttons of a dialog become default buttons on focus; here none may.
        for (QPushButton *b : findChildren<QPushButton *>()) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
        if (!parentWidget()) {
            // A dialog with a parent is centred over it by QDialog; without one, centre it over
            // the window that is active (the main window).
            if (const QWidget *over = QApplication::activeWindow(); over && over != this) {
                QRect frame = frameGeometry();
                frame.moveCenter(over->frameGeometry().center());
                move(frame.topLeft());
            }
        }
    }
    QDialog::showEvent(event);
}
