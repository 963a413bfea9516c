#include "Dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
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

int titleWidth(const QString &title)
{
    // The title bar's font is the window system's; a bold, somewhat larger version of the
    // application font is a safe guess. Beside the text sit the window's icon and its buttons.
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.2);
    constexpr int IconAndButtons = 160;
    return QFontMetrics(font).horizontalAdvance(title) + IconAndButtons;
}

std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon,
    const QString &text, const QString &boxTitle, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    auto box = std::make_unique<QMessageBox>(icon, boxTitleOr(boxTitle), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    // A message box sizes itself by its text alone; a spacer across its grid keeps it wide
    // enough for the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth(box->windowTitle()), 0, QSizePolicy::Minimum,
                          QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

void showError(QWidget *parent, const QString &text, const QString &boxTitle)
{
    if (hooks().capture) {
        hooks().captured << text;
        return;
    }
    messageBox(parent, QMessageBox::Critical, text, boxTitle, QMessageBox::Ok)->exec();
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
    } catch (const TAbandoned &) {
        // already said
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
    messageBox(parent, QMessageBox::Information, text, boxTitle, QMessageBox::Ok)->exec();
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
    return messageBox(parent, QMessageBox::Question, text, boxTitle,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
               ->exec()
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
