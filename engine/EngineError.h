#pragma once

#include <QString>
#include <stdexcept>

// Raised by any engine operation that fails.
class EngineError final : public std::runtime_error
{
public:
    explicit EngineError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
