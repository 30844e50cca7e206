#pragma once

#include "storage/DelimitedText.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class TagGridModel;

// Cells of the tag table as tab-separated text, the form in which spreadsheets copy and paste
// cells: a tab between the cells of a row, a line break after each row. A cell that holds a tab
// or a line break, or begins with a quotation mark, stands in quotation marks with the ones
// inside it doubled, as spreadsheets write such a cell.
namespace TabText {

// The rows as text, each line ended by LF; a single cell is the text alone, so that it pastes
// into a text box as it is.
QString fromRows(const QList<QStringList>& rows);

// The rows of cells of a text from the clipboard; an empty line is a row of one empty cell.
DelimitedText::Split toRows(const QString& text);

// The text of the cells of data rows `rows` in columns `cols` of the table, in the order given.
QString copyText(const TagGridModel& table, const std::vector<qint32>& rows, const std::vector<qint32>& cols);

} // namespace TabText
