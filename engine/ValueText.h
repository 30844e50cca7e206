#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// Values typed by the user for a variable of a given type (the type names of VariableValue).
namespace ValueText {

enum class Kind
{
    Bool,
    Integer,
    Float,
    Text
};

// The kind of a type name; an unknown or empty type is text.
Kind kindOf(const QString& type);

// How far typed text is from a value of the type.
enum class Fit
{
    Value,   // it is one
    Partial, // it may become one as the user types on ("-", "1e", "tr")
    Never    // no typing on makes it one (a letter in a number, a number out of range)
};
Fit fitOf(const QString& type, const QString& text);

// The value of typed text as a read gives values of the type: bool, qint64, double or
// QString; nothing when the text is no value of the type. "true"/"false" and "1"/"0" in any
// letter case are booleans; numbers are written with a point.
std::optional<QVariant> parse(const QString& type, const QString& text);

} // namespace ValueText
