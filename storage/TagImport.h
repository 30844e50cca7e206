#pragma once

#include "storage/TagCsv.h"

#include <QString>
#include <optional>

class TagGridModel;

// The message that refuses an import: nothing was imported, and why, naming the CSV line.
QString importRefusal(qint64 line, const QString& reason);

// Appends the records to the table as new tag rows, numbered on from the last row, when every
// one of them keeps the tag name rules (no name that another row of the table or an earlier
// record already has, without regard to letter case; none of the forbidden characters) and
// can be saved to a tag setting file. Otherwise the table stays as it was and the result is
// the refusal of the first record that fails, with the rule it breaks.
std::optional<QString> appendImportedRows(TagGridModel& table, const QList<TagCsv::Record>& records);
