#pragma once

#include <QString>
#include <optional>

// Pieces of a comma-separated option text such as "Server=10.0.0.5,Timeout=3000".

// The text after `key` in the first piece that contains it (letter case ignored),
// or "" when no piece does. Pieces are not trimmed.
QString GetOptionValue(const QString& option, const QString& key);

// The timeout an option text carries: the text between the first and second "=" of the
// last piece that contains "Timeout=" (letter case counts). Only options with at least
// one comma are looked at; nothing when none matches.
std::optional<QString> timeoutOfOption(const QString& option);
