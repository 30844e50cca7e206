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

QString refusal(const TagGridModel& table, qint32 row, int col, const QString& reason)
{
    return QStringLiteral("The tag [%1] in row %2 cannot be saved: its column \"%3\" %4")
        .arg(table.TextMatrix(row, 1))
        .arg(row)
        .arg(table.TextMatrix(0, col), reason);
}

std::optional<QString> cellProblem(const TagGridModel& table, qint32 row, int col)
{
    const QStringView text = table.textAt(row, col);
    if (text.contains(QLatin1Char(',')))
        return refusal(table, row, col,
                       QStringLiteral("holds a comma (\",\"), which a tag setting file cannot store. "
                                      "Remove the comma and save again."));
    if (text.contains(QLatin1Char('\t')))
        return refusal(table, row, col,
                       QStringLiteral("holds a tab character, which a tag setting file cannot store. "
                                      "Remove the tab and save again."));
    if (col == kFirstStoredColumn && !text.isEmpty() && isBlank(text.front()))
        return refusal(table, row, col,
                       QStringLiteral("begins with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    if (col == kLastStoredColumn && !text.isEmpty() && isBlank(text.back()))
        return refusal(table, row, col,
                       QStringLiteral("ends with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    return std::nullopt;
}

} // namespace

std::optional<QString> storageProblem(const TagGridModel& table)
{
    for (qint32 row = 1; row < table.Rows(); ++row) {
        for (int col = kFirstStoredColumn; col <= kLastStoredColumn; ++col) {
            if (std::optional<QString> problem = cellProblem(table, row, col))
                return problem;
        }
        const QStringView first = table.textAt(row, kFirstStoredColumn);
        const QStringView last = table.textAt(row, kLastStoredColumn);
        if (!first.isEmpty() && isQuote(first.front()) && last.endsWith(first.front()))
            return refusal(table, row, kFirstStoredColumn,
                           QStringLiteral("begins with the quotation mark that ends its column \"%1\"; "
                                          "a tag setting file does not keep such a pair. Remove one of "
                                          "them and save again.")
                               .arg(table.TextMatrix(0, kLastStoredColumn)));
    }
    return std::nullopt;
}
