#include "storage/TabText.h"

#include "tags/TagGridModel.h"

namespace TabText {

namespace {

bool needsQuotes(const QString& cell)
{
    return cell.startsWith(QLatin1Char('"')) || cell.contains(QLatin1Char('\t')) ||
           cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
}

} // namespace

QString fromRows(const QList<QStringList>& rows)
{
    if (rows.size() == 1 && rows.first().size() == 1 && !needsQuotes(rows.first().first()))
        return rows.first().first();
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1Char('\t');
            DelimitedText::appendField(text, row.at(i), needsQuotes(row.at(i)));
        }
        text += QLatin1Char('\n');
    }
    return text;
}

DelimitedText::Split toRows(const QString& text)
{
    return DelimitedText::split(text, QLatin1Char('\t'), DelimitedText::EmptyLines::Kept);
}

QString copyText(const TagGridModel& table, const std::vector<qint32>& rows, const std::vector<qint32>& cols)
{
    QList<QStringList> cells;
    cells.reserve(static_cast<qsizetype>(rows.size()));
    for (const qint32 row : rows) {
        QStringList line;
        line.reserve(static_cast<qsizetype>(cols.size()));
        for (const qint32 col : cols)
            line.append(table.TextMatrix(row, col));
        cells.append(line);
    }
    return fromRows(cells);
}

} // namespace TabText
