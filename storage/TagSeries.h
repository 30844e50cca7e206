#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class TagGridModel;

// What the user asks of a series: the tag name pattern, the counter's start and step, and a
// variable pattern that, left empty, keeps each row's variable (SeriesPattern).
struct SeriesRequest
{
    QString tagPattern;
    QString variablePattern;
    qint64 start = 1;
    qint64 step = 1;
};

// New texts for a data row, from Tag Name on: the tag name, and the variable when it changes.
struct SeriesRow
{
    qint32 row = 0;
    QStringList cells;
};

// A planned series: the rows it writes (Fill Series) or appends (Duplicate Rows, ten stored
// cells each), or why nothing is done.
struct SeriesPlan
{
    QList<SeriesRow> rows;
    std::optional<QString> refusal;
};

// Fills data rows `rows` (ascending) in order: the k-th row's counter is start + k * step. The
// whole series is refused, naming the first row that fails, when a name would repeat another
// tag's or hold a forbidden character, or a row would not fit a tag setting file.
SeriesPlan planFillSeries(const TagGridModel& table, const std::vector<qint32>& rows,
                          const SeriesRequest& request);

// Appends `copies` copies of data rows `rows` (ascending) at the end of the table: each copy
// keeps its row's cells but takes a tag name, and a variable when asked, from the patterns,
// the counter counting on from row to row and copy to copy. Refused as Fill Series is, and
// when the table would hold more tags than a tag setting file can number.
SeriesPlan planDuplicateRows(const TagGridModel& table, const std::vector<qint32>& rows, qint32 copies,
                             const SeriesRequest& request);
