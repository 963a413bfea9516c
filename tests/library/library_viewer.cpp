// A small program for looking at the library editors and the picker by eye (not a test): runs
// the real start-up on the pnx.dat in the folder given, then opens what is asked for.
//   library_viewer <folder with pnx.dat>
//   parts|sheets|sheets-editing|both|picker-sheets|picker-parts
// Per-user settings go to the folder as well, so the user's own are never touched.

#include "DM.h"
#include "Dialogs.h"
#include "Startup.h"
#include "fmMainC.h"
#include "fmSelectData.h"
#include "fmYCLinfo.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        qWarning("usage: library_viewer <folder with pnx.dat> "
                 "parts|sheets|sheets-editing|both|picker-sheets|picker-parts");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString what = QString::fromLocal8Bit(argv[2]);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
    TFrmDM::setDatabaseDirectory(dir);
    Startup::initApplication();
    Startup::createDataModule();
    auto w = Startup::createMainWindow();

    if (what == u"parts"_s || what == u"both"_s)
        w->actLJ->trigger();
    if (what == u"sheets"_s || what == u"both"_s || what == u"sheets-editing"_s)
        w->actMaterial->trigger();
    if (what == u"sheets-editing"_s && frmYCLinfo) {
        // A new row half typed: its length entered, the width cell being edited.
        frmYCLinfo->actAdd->trigger();
        TRowSet &rs = *frmYCLinfo->ADOMaterials;
        Dialogs::guarded([&] {
            rs.edit();
            rs.field(u"Length"_s).setAsString(u"2500"_s);
        });
        frmYCLinfo->grdLJ->setSelectedIndex(2);
        frmYCLinfo->grdLJ->edit(frmYCLinfo->grdLJ->currentIndex());
    }
    if (what == u"both"_s)
        w->actLJ->trigger();
    if (what.startsWith(u"picker"_s)) {
        QTimer::singleShot(300, w.get(), [&w, what] {
            const bool sheets = what == u"picker-sheets"_s;
            TRowSet library(sheets ? Sql::SheetLibrary : Sql::PartLibrary);
            TfrmSelectData picker(w.get());
            picker.setWindowTitle(sheets ? u"选择原材料"_s : u"选择零件"_s);
            Dialogs::guarded([&] { picker.fillFromLibrary(library, sheets); });
            picker.setRowChecked(1, true);
            picker.setRowChecked(3, true);
            picker.execute();
        });
    }
    return app.exec();
}
