#include "UserManual.h"

#include "DataPlace.h"
#include "Dialogs.h"
#include "Startup.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace UserManual {

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(UserManual)
};

QString &manualDirectory()
{
    static QString dir;
    return dir;
}

bool openFile(const QString &path)
{
    return QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace

QString helpFile()
{
    return QDir::current().absoluteFilePath(u"PNX.CHM"_s);
}

QString htmlFile()
{
    const QDir dir(manualDirectory().isEmpty() ? DataPlace::sharedDirectory() + u"/manual"_s
                                               : manualDirectory());
    // The English manual lies in the folder "en" beside the Chinese one, which stands in for it
    // where it is missing.
    if (Startup::loadedLanguage() == u"en") {
        const QString english = dir.absoluteFilePath(u"en/index.html"_s);
        if (QFileInfo(english).isFile())
            return english;
    }
    return dir.absoluteFilePath(u"index.html"_s);
}

void setManualDirectory(const QString &dir)
{
    manualDirectory() = dir;
}

void open(QWidget *parent)
{
    if (openFile(helpFile()) || openFile(htmlFile()))
        return;
    const QString html = QDir::toNativeSeparators(htmlFile());
    if (QFileInfo(htmlFile()).isFile())
        Dialogs::showError(parent,
            Tr::tr("不能打开用户手册：系统没有能打开网页文件的浏览器。\n"
                   "请用浏览器打开这个文件：\n%1")
                .arg(html));
    else
        Dialogs::showError(parent,
            Tr::tr("找不到用户手册：工作目录中没有 PNX.CHM，也没有“%1”。").arg(html));
}

} // namespace UserManual
