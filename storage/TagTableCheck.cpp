#include "storage/TagTableCheck.h"

#include "storage/TagFileFormat.h"
#include "tags/TagGridModel.h"

#include <algorithm>

using namespace TagFileFormat;

namespace {

constexpr int kLastStoredColumn = kFirstStoredColumn + kStoredColumns - 1;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

QString refusal(const TagGridModel& table, qint32 row, int col, const QString& reason)
{
    return QStringLiteral("The tag [%1] in row %2 cannot be saved: its column \"%3\" %4")
        .arg(table.TextMatrix(row, 1))
        .arg(row)
        .arg(table.TextMatrix(0, col), reason);
}

// A plain scan: cells are short, and the library's search costs more than it saves.
bool holds(QStringView text, char16_t c)
{
    return std::find(text.utf16(), text.utf16() + text.size(), c) != text.utf16() + text.size();
}

std::optional<QString> cellProblem(const TagGridModel& table, qint32 row, int col, QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    if (holds(text, u','))
        return refusal(table, row, col,
                       QStringLiteral("holds a comma (\",\"), which a tag setting file cannot store. "
                                      "Remove the comma and save again."));
    if (holds(text, u'\t'))
        return refusal(table, row, col,
                       QStringLiteral("holds a tab character, which a tag setting file cannot store. "
                                      "Remove the tab and save again."));
    if (col == kFirstStoredColumn && isBlank(text.front()))
        return refusal(table, row, col,
                       QStringLiteral("begins with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    if (col == kLastStoredColumn && isBlank(text.back()))
        return refusal(table, row, col,
                       QStringLiteral("ends with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    return std::nullopt;
}

} // namespace

std::optional<QString> rowStorageProblem(const TagGridModel& table, qint32 row)
{
    const GridRow& cells = table.rowAt(row);
    for (int col = kFirstStoredColumn; col <= kLastStoredColumn; ++col) {
        if (std::optional<QString> problem = cellProblem(table, row, col, cells.cell(col)))
            return problem;
    }
    const QStringView first = cells.cell(kFirstStoredColumn);
    const QStringView last = cells.cell(kLastStoredColumn);
    if (!first.isEmpty() && isQuote(first.front()) && last.endsWith(first.front()))
        return refusal(table, row, kFirstStoredColumn,
                       QStringLiteral("begins with the quotation mark that ends its column \"%1\"; "
                                      "a tag setting file does not keep such a pair. Remove one of "
                                      "them and save again.")
                           .arg(table.TextMatrix(0, kLastStoredColumn)));
    return std::nullopt;
}

std::optional<QString> storageProblem(const TagGridModel& table)
{
    for (qint32 row = 1; row < table.Rows(); ++row) {
        if (std::optional<QString> problem = rowStorageProblem(table, row))
            return problem;
    }
    return std::nullopt;
}
