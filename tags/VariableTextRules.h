#pragma once

#include <QString>
#include <optional>

// A variable name or option becomes a cell of the tag table and a field of a saved row: a line
// break or a NUL cannot be written to the file, and a tab splits the cell. The message for the
// first such character in the name, then in the option, or nothing when both can be taken.
std::optional<QString> variableTextProblem(const QString& name, const QString& option);
