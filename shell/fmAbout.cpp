#include "fmAbout.h"

#include "Dialogs.h"
#include "ProductInfo.h"
#include "ShellArt.h"
#include "ShellSettings.h"
#include "ShellWidgets.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QFont fontOf(const QStringList &families, int points)
{
    QFont f;
    f.setFamilies(families);
    f.setPointSize(points);
    return f;
}

// The brand panel's picture: a pale gradient with a cutting layout.
class TBrandPicture : public QFrame
{
public:
    explicit TBrandPicture(QWidget *parent)
        : QFrame(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }

protected:
    void paintEvent(QPaintEvent *e) override
    {
        {
            QPainter p(this);
            p.setRenderHint(QPainter::Antialiasing);
            QLinearGradient g(0, 0, 0, height());
            g.setColorAt(0, QColor(236, 242, 252));
            g.setColorAt(1, QColor(190, 208, 240));
            p.fillRect(rect(), g);
            const QRectF art(14, height() * 0.32, width() - 28, height() * 0.42);
            ShellArt::paintLayout(p, art, false);
        }
        QFrame::paintEvent(e);
    }
};

class TProductPicture : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPixmap(rect(), ShellArt::applicationIcon().pixmap(64, 64));
    }
};

QLabel *blueLabel(const QString &text, const QFont &f, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(pal);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"frmAbout"_s);
    setFixedSize(558, 506);
    setSizeGripEnabled(false);

    // Brand panel with its labels.
    auto *brand = new TBrandPicture(this);
    brand->setObjectName(u"pnlBrand"_s);
    brand->setGeometry(8, 8, 146, 453);
    const QStringList batang { u"Batang"_s, u"Times New Roman"_s, u"serif"_s };
    auto *quarvel = blueLabel(u"Quarvel"_s, fontOf(batang, 13), brand);
    quarvel->setGeometry(4, 28, 138, 28);
    auto *subtitle = blueLabel(u"Cutting Optimization Software"_s, fontOf(batang, 8), brand);
    subtitle->setGeometry(4, 58, 138, 34);
    auto *maker = blueLabel(u"Quarvel Software Co.,Ltd."_s, fontOf({ u"Arial"_s }, 8), brand);
    maker->setGeometry(4, 415, 138, 30);

    // Right column: 369 pixels from x = 170.
    const int x = 170;
    const int w = 369;
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(u"lblTitle"_s);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 1);
    lblTitle->setFont(titleFont);
    lblTitle->setAlignment(Qt::AlignCenter);
    lblTitle->setWordWrap(true);
    lblTitle->setGeometry(x + (w - 346) / 2, 14, 346, 44);

    const QStringList tahoma { u"Tahoma"_s, u"WenQuanYi Micro Hei"_s, u"sans-serif"_s };
    lblRights = new QLabel(this);
    lblRights->setObjectName(u"lblRights"_s);
    lblRights->setFont(fontOf(tahoma, 8));
    lblRights->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblRights->setWordWrap(true);
    lblRights->setText(ProductInfo::rightsNotice() + u'\n'
        + tr("本软件受著作权法保护。未经许可，不得复制、修改或传播本软件的全部或任何部分。"));
    lblRights->setGeometry(x, 66, w, 64);

    lblOwnerHeading = new QLabel(tr("本产品授权给："), this);
    lblOwnerHeading->setObjectName(u"lblOwnerHeading"_s);
    lblOwnerHeading->setFont(fontOf(tahoma, 8));
    lblOwnerHeading->setGeometry(x, 146, w, 18);

    memOwner = new QPlainTextEdit(this);
    memOwner->setObjectName(u"memOwner"_s);
    memOwner->setReadOnly(true);
    memOwner->setGeometry(x, 166, w, 62);
    QPalette ownerPalette = memOwner->palette();
    ownerPalette.setColor(QPalette::Base, ownerPalette.color(QPalette::Window));
    memOwner->setPalette(ownerPalette);

    auto *picture = new TProductPicture(this);
    picture->setObjectName(u"imgProduct"_s);
    picture->setGeometry(x, 240, 66, 57);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(x, 462, w, 2);

    lblWeb = new TLinkLabel(ProductInfo::webAddress(), this);
    lblWeb->setObjectName(u"lblWeb"_s);
    lblWeb->setGeometry(12, 476, 230, 20);
    connect(lblWeb, &TLinkLabel::clicked, this,
        [this] { Dialogs::guarded([this] { lblWebClick(); }); });

    lblFeedback = new TLinkLabel(QString(), this);
    lblFeedback->setObjectName(u"lblFeedback"_s);
    lblFeedback->setGeometry(260, 476, 80, 20);
    connect(lblFeedback, &TLinkLabel::clicked, this,
        [this] { Dialogs::guarded([this] { lblFeedbackClick(); }); });

    btnOK = new QPushButton(u"确定"_s, this); // as every other box of the program, whatever the locale
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setGeometry(558 - 19 - 75, 472, 75, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();

    // Opens centred on the screen.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QString TfrmAbout::titleText(const QString &fileVersion)
{
    return tr("Quarvel PNX  板材优化切割软件") + tr(" 版本:")
        + (fileVersion.isEmpty() ? u"Value Not Available"_s : fileVersion);
}

void TfrmAbout::FormCreate()
{
    lblTitle->setText(titleText(ProductInfo::fileVersion()));
    lblFeedback->setText(tr("反  馈"));
    const auto owner = ShellSettings::TOwnerInfo::read();
    memOwner->clear();
    memOwner->appendPlainText(tr("用户: ") + owner.user);
    memOwner->appendPlainText(tr("单位: ") + owner.org);
}

void TfrmAbout::lblWebClick()
{
    QDesktopServices::openUrl(QUrl(ProductInfo::webAddress()));
}

void TfrmAbout::lblFeedbackClick()
{
    QDesktopServices::openUrl(QUrl(ProductInfo::supportMailAddress()));
}
