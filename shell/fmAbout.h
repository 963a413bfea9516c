#pragma once
// The about box: product title with the version from the build, the owner recorded for this
// installation, the maker's links.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TLinkLabel;

class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // "Quarvel PNX  板材优化切割软件 版本:" and the version, "Value Not Available" without one.
    static QString titleText(const QString &fileVersion);

    QLabel *lblTitle;
    QLabel *lblRights;
    QLabel *lblOwnerHeading;
    QPlainTextEdit *memOwner;
    TLinkLabel *lblWeb;
    TLinkLabel *lblFeedback;
    QPushButton *btnOK;

    void lblWebClick();
    void lblFeedbackClick();

private:
    void FormCreate();
};
