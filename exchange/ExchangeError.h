#pragma once
// The error every writer of this folder throws when a file cannot be made: the message is for
// the user, in UTF-8 as what() (so the application-wide handler shows it as it is) and as a
// QString.

#include <QString>
#include <stdexcept>

class EExchangeError : public std::runtime_error
{
public:
    explicit EExchangeError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};
