#pragma once

#include "storage/DelimitedText.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <optional>

class TagGridModel;

// The tag table as CSV (RFC 4180, UTF-8): a header row with the stored columns' titles
// ("Tag Name,Var Name,Var Opt,A,B,C,D,E,F,G"), then one record per data row.
namespace TagCsv {

// The data rows of the table, header row first, lines ended by CR LF. A field is quoted when
// it holds a comma, a quotation mark or a line break, or begins or ends with a blank, so that
// other programs keep it as it is.
QByteArray fromTable(const TagGridModel& table);

// Appends one record of `fields` to `text`, quoted as fromTable quotes them and ended by CR LF.
void appendRecord(QString& text, const QStringList& fields);

// One data record of a CSV file: the line it begins on and its ten cells in stored column order.
struct Record
{
    qint64 line = 0;
    QStringList cells;
};

// Why a CSV file cannot be taken: the line and the reason.
using ParseError = DelimitedText::Error;

struct Parsed
{
    QList<Record> records;
    std::optional<ParseError> error;
};

// The text of CSV bytes: UTF-8 after an optional byte-order mark. Nothing, and `error` naming
// the first line that is not UTF-8, otherwise.
std::optional<QString> textOf(const QByteArray& bytes, ParseError& error);

// Reads CSV bytes: an optional UTF-8 byte-order mark, lines ended by CR LF or LF, quoted fields
// with doubled quotation marks. The first record is the header row; its names pick the columns,
// without regard to letter case and blanks around them, in any order. Columns it does not name
// stay empty; columns of other names are ignored. Empty lines are skipped.
Parsed toRecords(const QByteArray& bytes);

} // namespace TagCsv
