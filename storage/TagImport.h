#pragma once

#include "storage/TagCsv.h"

#include <QString>
#include <optional>

class TagGridModel;

// The message that refuses an import: nothing was imported, and why, naming the CSV line.
QString importRefusal(qint64 line, const QString& reason);

// Whether the records may be appended to the table as new tag rows, numbered on from its
// last row: each of them must keep the tag name rules (no name that another row of the table
// or an earlier record already has, without regard to letter case; none of the forbidden
// characters) and be fit to be saved to a tag setting file. The refusal of the first record
// that fails, with the rule it breaks, or nothing when all may come in.
std::optional<QString> importRefusalOf(const TagGridModel& table, const QList<TagCsv::Record>& records);
