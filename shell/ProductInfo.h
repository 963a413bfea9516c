#pragma once
// The program's version information and the maker's texts, in one place.

#include <QString>

namespace ProductInfo {

// The application title: message-box titles and the task-bar entry.
QString applicationTitle(); // "Tavrin优化切割PNX"
// The main window's caption and the notification-area hint.
QString mainCaption(); // "Tavrin优化切割"

// File version from the build; empty when the build recorded none.
QString fileVersion();
// The maker as recorded in the version information.
QString companyName();
// The name of the program's desktop entry (without ".desktop"), which the desktop uses to match
// the running program with its menu entry and icon.
QString desktopFileName();

QString webAddress(); // the maker's web site
QString supportMailAddress(); // "mailto:" address of the support mailbox
QString rightsNotice(); // the maker's notice of rights (welcome panel, about box)

} // namespace ProductInfo
