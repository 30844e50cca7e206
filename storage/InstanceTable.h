#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The instance table of generated tag setting files: a CSV file (UTF-8, an optional byte-order
// mark, quoted fields as TagCsv reads them) whose header row names the columns, for example
// "File,Controller,Machine,Line", and whose every further record is one file to generate.
// Column names are matched without regard to letter case and the blanks around them.
struct InstanceRow
{
    qint64 line = 0;    // the line the record begins on
    QStringList values; // one per column, as given
    QString fileName;   // the File value, with ".qts" added when it does not end so
    // Why the row gives no file: "NAME:LINE: reason", NAME the table's name as given.
    std::optional<QString> problem;
};

struct InstanceTable
{
    QStringList columns;     // the header row's names, without the blanks around them
    QList<InstanceRow> rows; // every record after the header row, in line order

    // The column of that name, or nothing.
    std::optional<qsizetype> columnOf(QStringView name) const;
};

struct InstanceTableRead
{
    InstanceTable table;
    // Why the table as a whole cannot be used, "NAME:LINE: reason"; the rows' own problems are
    // theirs.
    std::optional<QString> problem;
};

// Reads the instance table. Refused as a whole: text that is not UTF-8 or not well-formed CSV, a header
// row without a File column or naming a column twice, and no record after it. Refused rows: a
// record whose number of fields is not the header's, and a File value that is empty, "." or "..", begins or
// ends with a blank, holds a path separator ("/" or "\") or a control character, or names the same file as an
// earlier row without regard to letter case.
InstanceTableRead readInstanceTable(const QByteArray& bytes, const QString& name);
