#include "fmOptions.h"

#include "AppSettings.h"
#include "Dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using AppSettings::Key;

namespace {

QSpinBox *intBox(Key key, int min, int max, const QString &suffix, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(min, max);
    box->setSuffix(suffix);
    box->setValue(AppSettings::intValue(key));
    return box;
}

QDoubleSpinBox *doubleBox(
    Key key, double min, double max, int decimals, const QString &suffix, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setRange(min, max);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    box->setValue(AppSettings::doubleValue(key));
    return box;
}

} // namespace

TfrmOptions::TfrmOptions(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"frmOptions"_s);
    setWindowTitle(tr("选项"));
    auto *column = new QVBoxLayout(this);
    const QString mm = tr(" 毫米");

    auto *maker = new QGroupBox(tr("打印页脚"), this);
    auto *makerForm = new QFormLayout(maker);
    edtCompany = new QLineEdit(AppSettings::stringValue(Key::MakerCompany), maker);
    edtCompany->setObjectName(u"edtCompany"_s);
    edtCompany->setMaxLength(100);
    edtCompany->setPlaceholderText(tr("不填则不打印"));
    edtPhone = new QLineEdit(AppSettings::stringValue(Key::MakerPhone), maker);
    edtPhone->setObjectName(u"edtPhone"_s);
    edtPhone->setMaxLength(60);
    edtPhone->setPlaceholderText(tr("不填则不打印"));
    makerForm->addRow(tr("公司名称："), edtCompany);
    makerForm->addRow(tr("电话："), edtPhone);
    column->addWidget(maker);

    auto *offcuts = new QGroupBox(tr("余料"), this);
    auto *offcutForm = new QFormLayout(offcuts);
    edtOffcutLength = intBox(Key::MinOffcutLength, 1, 100000, mm, offcuts);
    edtOffcutWidth = intBox(Key::MinOffcutWidth, 1, 100000, mm, offcuts);
    edtOffcutPrice = doubleBox(Key::OffcutPriceRatio, 0, 10, 2, QString(), offcuts);
    edtOffcutPrice->setToolTip(tr("余料入库时的价格 = 原板每平方米价格 × 余料面积 × 这个比例"));
    offcutForm->addRow(tr("最小长度："), edtOffcutLength);
    offcutForm->addRow(tr("最小宽度："), edtOffcutWidth);
    offcutForm->addRow(tr("入库价格比例："), edtOffcutPrice);
    column->addWidget(offcuts);

    auto *labels = new QGroupBox(tr("零件标签"), this);
    auto *labelForm = new QFormLayout(labels);
    chkLabelPerPage = new QCheckBox(tr("标签打印机：每页一张"), labels);
    chkLabelPerPage->setChecked(AppSettings::boolValue(Key::LabelPerPage));
    edtLabelColumns = intBox(Key::LabelColumns, 1, 20, QString(), labels);
    edtLabelRows = intBox(Key::LabelRows, 1, 40, QString(), labels);
    edtLabelMargin = doubleBox(Key::LabelSheetMarginMm, 0, 100, 1, mm, labels);
    edtLabelWidth = doubleBox(Key::LabelWidthMm, 10, 500, 1, mm, labels);
    edtLabelHeight = doubleBox(Key::LabelHeightMm, 10, 500, 1, mm, labels);
    chkLabelQr = new QCheckBox(tr("条码旁加印二维码"), labels);
    chkLabelQr->setChecked(AppSettings::boolValue(Key::LabelQrCode));
    labelForm->addRow(chkLabelPerPage);
    labelForm->addRow(tr("A4 纸每行张数："), edtLabelColumns);
    labelForm->addRow(tr("A4 纸每列张数："), edtLabelRows);
    labelForm->addRow(tr("A4 纸页边距："), edtLabelMargin);
    labelForm->addRow(tr("标签打印机标签宽："), edtLabelWidth);
    labelForm->addRow(tr("标签打印机标签高："), edtLabelHeight);
    labelForm->addRow(chkLabelQr);
    const auto perPage = [this](bool on) {
        for (QWidget *w : { static_cast<QWidget *>(edtLabelColumns),
                 static_cast<QWidget *>(edtLabelRows), static_cast<QWidget *>(edtLabelMargin) })
            w->setEnabled(!on);
        edtLabelWidth->setEnabled(on);
        edtLabelHeight->setEnabled(on);
    };
    connect(chkLabelPerPage, &QCheckBox::toggled, this, perPage);
    perPage(chkLabelPerPage->isChecked());
    column->addWidget(labels);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void TfrmOptions::store() const
{
    AppSettings::setValue(Key::MakerCompany, edtCompany->text().trimmed());
    AppSettings::setValue(Key::MakerPhone, edtPhone->text().trimmed());
    AppSettings::setValue(Key::MinOffcutLength, edtOffcutLength->value());
    AppSettings::setValue(Key::MinOffcutWidth, edtOffcutWidth->value());
    AppSettings::setValue(Key::OffcutPriceRatio, edtOffcutPrice->value());
    AppSettings::setValue(Key::LabelPerPage, chkLabelPerPage->isChecked());
    AppSettings::setValue(Key::LabelColumns, edtLabelColumns->value());
    AppSettings::setValue(Key::LabelRows, edtLabelRows->value());
    AppSettings::setValue(Key::LabelSheetMarginMm, edtLabelMargin->value());
    AppSettings::setValue(Key::LabelWidthMm, edtLabelWidth->value());
    AppSettings::setValue(Key::LabelHeightMm, edtLabelHeight->value());
    AppSettings::setValue(Key::LabelQrCode, chkLabelQr->isChecked());
}

void TfrmOptions::Execute(QWidget *parent)
{
    TfrmOptions dialog(parent);
    if (Dialogs::exec(dialog) == QDialog::Accepted)
        dialog.store();
}
