#include "Dialogs.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <deque>

namespace {

struct Hooks
{
    bool capture = false;
    std::deque<bool> answers;
    std::deque<std::function<int(QDialog &)>> dialogHandlers;
    QStringList captured;
    QList<Dialogs::TQuestion> asked;
};

Hooks &hooks()
{
    static Hooks h;
    return h;
}

} // namespace

namespace Dialogs {

QString title()
{
    return QCoreApplication::applicationName();
}

namespace {

QString boxTitleOr(const QString &boxTitle)
{
    return boxTitle.isEmpty() ? title() : boxTitle;
}

} // namespace

void showError(QWidget *parent, const QString &text, const QString &boxTitle)
{
    if (hooks().capture) {
        hooks().captured << text;
        return;
    }
    QMessageBox::critical(parent, boxTitleOr(boxTitle), text);
}

QString errorText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void reportError(const QString &message)
{
    showError(nullptr, errorText(message));
}

void reportCurrentException()
{
    try {
        throw;
    } catch (const std::exception &e) {
        reportError(QString::fromUtf8(e.what()));
    } catch (...) {
        reportError(QString());
    }
}

void showInformation(QWidget *parent, const QString &text, const QString &boxTitle)
{
    if (hooks().capture) {
        hooks().captured << text;
        return;
    }
    QMessageBox::information(parent, boxTitleOr(boxTitle), text);
}

bool askOkCancel(QWidget *parent, const QString &text, const QString &boxTitle)
{
    hooks().asked.push_back({ boxTitleOr(boxTitle), text });
    if (!hooks().answers.empty()) {
        const bool ok = hooks().answers.front();
        hooks().answers.pop_front();
        return ok;
    }
    if (hooks().capture) {
        hooks().captured << QStringLiteral("?") + text;
        return false;
    }
    return QMessageBox::question(parent, boxTitleOr(boxTitle), text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Ok;
}

int exec(QDialog &dialog)
{
    if (!hooks().dialogHandlers.empty()) {
        auto handler = std::move(hooks().dialogHandlers.front());
        hooks().dialogHandlers.pop_front();
        const int result = handler(dialog);
        dialog.setResult(result);
        return result;
    }
    if (hooks().capture) {
        hooks().captured << QStringLiteral("?") + dialog.windowTitle();
        dialog.setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return dialog.exec();
}

void setNextAnswer(bool ok)
{
    hooks().answers.push_back(ok);
}

void setNextDialogHandler(std::function<int(QDialog &)> handler)
{
    hooks().dialogHandlers.push_back(std::move(handler));
}

void setCapture(bool on)
{
    hooks().capture = on;
}

bool capturing()
{
    return hooks().capture;
}

QStringList takeCaptured()
{
    QStringList out;
    out.swap(hooks().captured);
    return out;
}

QList<TQuestion> takeAsked()
{
    QList<TQuestion> out;
    out.swap(hooks().asked);
    return out;
}

void resetHooks()
{
    hooks().asked.clear();
    hooks().answers.clear();
    hooks().dialogHandlers.clear();
    hooks().captured.clear();
}

} // namespace Dialogs
