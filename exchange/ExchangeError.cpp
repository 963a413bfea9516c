#include "ExchangeError.h"

EExchangeError::EExchangeError(const QString &message)
    : std::runtime_error(message.toStdString())
{ }
