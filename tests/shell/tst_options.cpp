// 选项: what the dialog shows comes from the settings, 确定 stores it, 取消 keeps what was there;
// the menu entry opens it.
#include "AppSettings.h"
#include "Dialogs.h"
#include "fmOptions.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using AppSettings::Key;

class TestOptions : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;

private slots:
    void init()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FDir.path());
        QSettings(AppSettings::organisation(), AppSettings::application()).clear();
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }

    void okStores_cancelKeeps()
    {
        AppSettings::setValue(Key::MakerCompany, u"旧名字"_s);
        Dialogs::setNextDialogHandler([](QDialog &d) {
            auto &o = static_cast<TfrmOptions &>(d);
            if (o.edtCompany->text() != u"旧名字"_s || o.edtLabelColumns->value() != 3)
                qFatal("the dialog does not show the settings");
            o.edtCompany->setText(u"  王记木工  "_s);
            o.edtPhone->setText(u"0571-1234567"_s);
            o.edtOffcutLength->setValue(300);
            o.chkLabelPerPage->setChecked(true);
            o.edtLabelWidth->setValue(70.5);
            return int(QDialog::Accepted);
        });
        TfrmOptions::Execute(nullptr);
        QCOMPARE(AppSettings::stringValue(Key::MakerCompany), u"王记木工"_s);
        QCOMPARE(AppSettings::stringValue(Key::MakerPhone), u"0571-1234567"_s);
        QCOMPARE(AppSettings::intValue(Key::MinOffcutLength), 300);
        QCOMPARE(AppSettings::intValue(Key::MinOffcutWidth), 200);
        QVERIFY(AppSettings::boolValue(Key::LabelPerPage));
        QCOMPARE(AppSettings::doubleValue(Key::LabelWidthMm), 70.5);

        Dialogs::setNextDialogHandler([](QDialog &d) {
            auto &o = static_cast<TfrmOptions &>(d);
            if (o.edtLabelColumns->isEnabled() || !o.edtLabelWidth->isEnabled())
                qFatal("one label a page: the A4 layout is not asked for");
            o.edtCompany->setText(u"不要"_s);
            return int(QDialog::Rejected);
        });
        TfrmOptions::Execute(nullptr);
        QCOMPARE(AppSettings::stringValue(Key::MakerCompany), u"王记木工"_s);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
