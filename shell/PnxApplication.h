#pragma once
// The application object. Every event the program receives passes through notify, which is the
// one place an error (exception) that escaped a command is caught: it is shown by the
// application-wide error handler, the command is abandoned and the program goes on.

#include <QApplication>

class TPnxApplication : public QApplication
{
    Q_OBJECT
public:
    TPnxApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
