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

// The stored cells of one row: a data row of the table, or the cells given for a row to come.
struct StoredCells
{
    const TagGridModel* table = nullptr;
    const QStringList* cells = nullptr;
    qint32 row = 0;

    QStringView text(int col) const
    {
        if (table)
            return table->rowAt(row).cell(col);
        const qsizetype at = col - kFirstStoredColumn;
        return at < cells->size() ? QStringView(cells->at(at)) : QStringView();
    }
    QString title(int col) const
    {
        return table ? table->TextMatrix(0, col) : kStoredColumnTitles.at(col - kFirstStoredColumn);
    }
};

QString refusal(const StoredCells& row, int col, const QString& reason)
{
    return QStringLiteral("The tag [%1] in row %2 cannot be saved: its column \"%3\" %4")
        .arg(row.text(kFirstStoredColumn))
        .arg(row.row)
        .arg(row.title(col), reason);
}

// A plain scan: cells are short, and the library's search costs more than it saves.
bool holds(QStringView text, char16_t c)
{
    return std::find(text.utf16(), text.utf16() + text.size(), c) != text.utf16() + text.size();
}

std::optional<QString> cellProblem(const StoredCells& row, int col)
{
    const QStringView text = row.text(col);
    if (text.isEmpty())
        return std::nullopt;
    if (holds(text, u','))
        return refusal(row, col,
                       QStringLiteral("holds a comma (\",\"), which a tag setting file cannot store. "
                                      "Remove the comma and save again."));
    if (holds(text, u'\t'))
        return refusal(row, col,
                       QStringLiteral("holds a tab character, which a tag setting file cannot store. "
                                      "Remove the tab and save again."));
    if (col == kFirstStoredColumn && isBlank(text.front()))
        return refusal(row, col,
                       QStringLiteral("begins with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    if (col == kLastStoredColumn && isBlank(text.back()))
        return refusal(row, col,
                       QStringLiteral("ends with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    return std::nullopt;
}

std::optional<QString> rowProblem(const StoredCells& row)
{
    for (int col = kFirstStoredColumn; col <= kLastStoredColumn; ++col) {
        if (std::optional<QString> problem = cellProblem(row, col))
            return problem;
    }
    const QStringView first = row.text(kFirstStoredColumn);
    const QStringView last = row.text(kLastStoredColumn);
    if (!first.isEmpty() && isQuote(first.front()) && last.endsWith(first.front()))
        return refusal(row, kFirstStoredColumn,
                       QStringLiteral("begins with the quotation mark that ends its column \"%1\"; "
                                      "a tag setting file does not keep such a pair. Remove one of "
                                      "them and save again.")
                           .arg(row.title(kLastStoredColumn)));
    return std::nullopt;
}

} // namespace

std::optional<QString> rowStorageProblem(const TagGridModel& table, qint32 row)
{
    return rowProblem({&table, nullptr, row});
}

std::optional<QString> storedCellsProblem(const QStringList& cells, qint32 row)
{
    return rowProblem({nullptr, &cells, row});
}

std::optional<QString> storageProblem(const TagGridModel& table)
{
    for (qint32 row = 1; row < table.Rows(); ++row) {
        if (std::optional<QString> problem = rowStorageProblem(table, row))
            return problem;
    }
    return std::nullopt;
}
