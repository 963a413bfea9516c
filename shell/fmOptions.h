#pragma once
// 选项: the work-area settings a user fills in once — the maker's line printed at the foot of
// printouts, the smallest offcut worth keeping, the label layout, the price of offcuts taken back
// into stock. Read from and written to AppSettings; 确定 stores, 取消 changes nothing.

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

class TfrmOptions : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget *parent = nullptr);

    QLineEdit *edtCompany;
    QLineEdit *edtPhone;
    QSpinBox *edtOffcutLength;
    QSpinBox *edtOffcutWidth;
    QDoubleSpinBox *edtOffcutPrice;
    QCheckBox *chkLabelPerPage;
    QSpinBox *edtLabelColumns;
    QSpinBox *edtLabelRows;
    QDoubleSpinBox *edtLabelMargin;
    QDoubleSpinBox *edtLabelWidth;
    QDoubleSpinBox *edtLabelHeight;
    QCheckBox *chkLabelQr;

    // Writes what the dialog shows into the settings.
    void store() const;
    // Shows the dialog (through Dialogs::exec) and stores on 确定.
    static void Execute(QWidget *parent);
};
