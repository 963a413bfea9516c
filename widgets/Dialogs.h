#pragma once
// Every message box and modal dialog of the program goes through here, so that tests can
// answer a question or capture a message instead of racing a modal window.

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>

class QWidget;

namespace Dialogs {

// Title of every message box: the application name ("Tavrin优化切割PNX" once the shell set it).
QString title();

// An error box with OK, titled boxTitle (empty: the application title). Under capture the text
// is recorded and nothing is shown.
void showError(QWidget *parent, const QString &text, const QString &boxTitle = {});

// The application-wide error handler. Shows the message in an error box titled with the
// application title; a full stop is appended when the message's last character has a higher
// code than the full stop. Under capture the finished text is recorded instead.
void reportError(const QString &message);
QString errorText(const QString &message); // the text reportError shows

// Reports the exception currently being handled (std::exception: its UTF-8 what();
// anything else: an empty message). Call only inside a catch block.
void reportCurrentException();

// Thrown to abandon a command whose reason the user has already been shown (a cell editor that
// refused its text, say): reportCurrentException passes it over in silence.
class TAbandoned : public std::exception
{
public:
    const char *what() const noexcept override { return "command abandoned"; }
};

// Runs a command; an exception that leaves it is reported and the command abandoned.
// Every slot that runs a user command goes through this, so no exception crosses the
// event loop.
template <typename F> void guarded(F &&command)
{
    try {
        command();
    } catch (...) {
        reportCurrentException();
    }
}

// An information box with OK, titled like showError. Under capture the text is recorded and
// nothing is shown.
void showInformation(QWidget *parent, const QString &text, const QString &boxTitle = {});

// A question with OK and Cancel, titled boxTitle (empty: the application title); true for OK.
// A queued test answer is used first. Every question asked is recorded for takeAsked.
bool askOkCancel(QWidget *parent, const QString &text, const QString &boxTitle = {});

// The message box every function here shows: titled boxTitle (empty: the application title),
// and never narrower than its title needs, so that the window's title bar shows the whole
// title even above a short text. Its standard buttons speak the language of the Qt translation
// the program loaded.
std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon,
    const QString &text, const QString &boxTitle, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
// The width a window needs so that its title bar shows the whole of title.
int titleWidth(const QString &title);

// Runs a modal dialog and returns its result (QDialog::Accepted or Rejected). A queued test
// handler receives the dialog instead (it may change the dialog's state) and its return value
// is the result; the dialog is then not shown.
int exec(QDialog &dialog);

// ---- test hooks ----
// Queue the answer of the next askOkCancel call (answers are used in the order queued).
void setNextAnswer(bool ok);
// Queue a handler for the next exec call.
void setNextDialogHandler(std::function<int(QDialog &)> handler);
// Record error and information texts instead of showing boxes; also forbids unanswered
// questions and dialogs (they then count as Cancel and are recorded as "?" + text).
void setCapture(bool on);
bool capturing();
// The recorded texts, oldest first; the record is emptied.
QStringList takeCaptured();
// The questions asked so far (title and text, oldest first), answered or not; the record is
// emptied.
struct TQuestion
{
    QString title;
    QString text;
};
QList<TQuestion> takeAsked();
// Forget queued answers and handlers and the records; capture stays as it is.
void resetHooks();

} // namespace Dialogs
