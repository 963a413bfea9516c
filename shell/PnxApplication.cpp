#include "PnxApplication.h"

#include "Dialogs.h"

TPnxApplication::TPnxApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

bool TPnxApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Dialogs::reportCurrentException();
        return false;
    }
}
