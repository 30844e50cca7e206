#include "storage/TagSeries.h"

#include "storage/IncomingRows.h"
#include "storage/TagFileRows.h"
#include "storage/TagTableCheck.h"
#include "tags/SeriesPattern.h"
#include "tags/TagGridModel.h"

#include <QSet>

namespace {

// A tag setting file numbers its rows with 16-bit signed numbers.
constexpr qint64 kMostTags = 32766;

struct SeriesPatterns
{
    std::optional<SeriesPattern> tag;
    std::optional<SeriesPattern> variable; // nothing: each row keeps its variable
};

std::optional<SeriesPatterns> patternsOf(const SeriesRequest& request, QString& error)
{
    SeriesPatterns patterns;
    patterns.tag = SeriesPattern::parse(request.tagPattern, error);
    if (!patterns.tag)
        return std::nullopt;
    if (!request.variablePattern.isEmpty()) {
        patterns.variable = SeriesPattern::parse(request.variablePattern, error);
        if (!patterns.variable)
            return std::nullopt;
    }
    return patterns;
}

// Gives `cells` (ten stored cells) their new tag name and, when asked, their new variable,
// with counter `n`; the tag name's {var} is the variable the row ends with.
void applySeries(QStringList& cells, const SeriesPatterns& patterns, qint64 n)
{
    if (patterns.variable)
        cells[1] = patterns.variable->expand(n, cells.at(1));
    cells[0] = patterns.tag->expand(n, cells.at(1));
}

SeriesPlan refused(const QString& what, const QString& reason)
{
    return {{}, what + reason};
}

} // namespace

SeriesPlan planFillSeries(const TagGridModel& table, const std::vector<qint32>& rows,
                          const SeriesRequest& request)
{
    const QString nothing = QStringLiteral("Nothing was filled. ");
    QString error;
    const std::optional<SeriesPatterns> patterns = patternsOf(request, error);
    if (!patterns)
        return refused(nothing, error);
    const QSet<qint32> renamed(rows.begin(), rows.end());
    IncomingRowsCheck check(table, renamed);
    const IncomingCells incoming{0, patterns->variable ? 2 : 1};
    SeriesPlan plan;
    qint64 n = request.start;
    for (const qint32 row : rows) {
        QStringList cells = storedCells(table, row);
        // A row that could not be saved before is not held against the series.
        const bool tested = !storedCellsProblem(cells, row);
        applySeries(cells, *patterns, n);
        n += request.step;
        if (std::optional<QString> problem = check.problem(cells, row, incoming, tested))
            return refused(nothing, QStringLiteral("Row %1: %2").arg(row).arg(*problem));
        plan.rows.append({row, cells.mid(0, incoming.count)});
    }
    return plan;
}

SeriesPlan planDuplicateRows(const TagGridModel& table, const std::vector<qint32>& rows, qint32 copies,
                             const SeriesRequest& request)
{
    const QString nothing = QStringLiteral("Nothing was duplicated. ");
    QString error;
    const std::optional<SeriesPatterns> patterns = patternsOf(request, error);
    if (!patterns)
        return refused(nothing, error);
    const qint64 tags = qint64(table.Rows()) - 1 + qint64(rows.size()) * copies;
    if (tags > kMostTags)
        return refused(nothing,
                       QStringLiteral("The table would hold %1 tags; a tag setting file holds at most %2.")
                           .arg(tags)
                           .arg(kMostTags));
    IncomingRowsCheck check(table);
    SeriesPlan plan;
    qint64 n = request.start;
    qint32 row = table.Rows();
    for (qint32 copy = 0; copy < copies; ++copy) {
        for (const qint32 source : rows) {
            QStringList cells = storedCells(table, source);
            applySeries(cells, *patterns, n);
            n += request.step;
            if (std::optional<QString> problem = check.problem(cells, row))
                return refused(nothing, QStringLiteral("Row %1: %2").arg(row).arg(*problem));
            plan.rows.append({row++, cells});
        }
    }
    return plan;
}
