#pragma once

#include <QString>
#include <optional>

class TagGridModel;

// The message for the first stored cell of the tag table that holds a comma (which the
// row format of a tag setting file cannot keep), or nothing when the table can be saved.
std::optional<QString> commaProblem(const TagGridModel& table);
