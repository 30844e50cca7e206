#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Records of fields as CSV files and the clipboards of spreadsheets hold them: fields
// separated by one character, records by line breaks (CR LF, LF or CR), a field in quotation
// marks when it holds what would otherwise end it, with a quotation mark inside it doubled.
namespace DelimitedText {

struct Record
{
    qint64 line = 0; // the line the record begins on, from 1
    QStringList fields;
};

struct Error
{
    qint64 line = 0;
    QString reason;
};

struct Split
{
    QList<Record> records;
    std::optional<Error> error;
};

enum class EmptyLines
{
    Skipped, // a line with nothing on it is no record (CSV)
    Kept     // it is a record of one empty field; a line break at the very end begins no record
};

Split split(const QString& text, QChar separator, EmptyLines emptyLines);

// Appends `field` to `line`, in quotation marks with the ones inside it doubled when `quote`.
void appendField(QString& line, const QString& field, bool quote);

} // namespace DelimitedText
