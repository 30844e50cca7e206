#include "storage/TagTableCheck.h"

#include "storage/TagFileFormat.h"
#include "tags/TagGridModel.h"

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

// The stored cells of one row, read from the table or given.
struct StoredCells
{
    const TagGridModel* table = nullptr;
    const QStringList* cells = nullptr;
    qint32 row = 0;

    QString text(int col) const
    {
        return table ? table->TextMatrix(row, col) : cells->value(col - kFirstStoredColumn);
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

std::optional<QString> cellProblem(const StoredCells& row, int col)
{
    const QString text = row.text(col);
    if (text.contains(QLatin1Char(',')))
        return refusal(row, col,
                       QStringLiteral("holds a comma (\",\"), which a tag setting file cannot store. "
                                      "Remove the comma and save again."));
    if (text.contains(QLatin1Char('\t')))
        return refusal(row, col,
                       QStringLiteral("holds a tab character, which a tag setting file cannot store. "
                                      "Remove the tab and save again."));
    if (col == kFirstStoredColumn && !text.isEmpty() && isBlank(text.front()))
        return refusal(row, col,
                       QStringLiteral("begins with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    if (col == kLastStoredColumn && !text.isEmpty() && isBlank(text.back()))
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
    const QString first = row.text(kFirstStoredColumn);
    const QString last = row.text(kLastStoredColumn);
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
