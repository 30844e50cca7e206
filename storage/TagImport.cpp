#include "storage/TagImport.h"

#include "storage/TagFileFormat.h"
#include "storage/TagTableCheck.h"
#include "tags/TagGridModel.h"
#include "tags/TagNameRules.h"

#include <QSet>

using namespace TagFileFormat;

QString importRefusal(qint64 line, const QString& reason)
{
    return QStringLiteral("Nothing was imported. Line %1 of the CSV file: %2").arg(line).arg(reason);
}

namespace {

// The first name rule the record breaks, in the order the rules are tested, or nothing.
std::optional<QString> nameRuleBroken(const QString& name, QSet<QString>& names)
{
    if (names.contains(name.toCaseFolded()))
        return duplicateTagNameMessage(name);
    const QString ch = firstForbiddenCharacter(name);
    if (!ch.isEmpty())
        return forbiddenCharacterMessage(ch);
    names.insert(name.toCaseFolded());
    return std::nullopt;
}

// A line break cannot reach the grid by typing, so the save check leaves it to the store,
// which refuses the whole save; an import refuses it at once.
std::optional<QString> lineBreakIn(const TagCsv::Record& record)
{
    for (int col = 0; col < kStoredColumns; ++col) {
        const QString& cell = record.cells.at(col);
        if (cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r')))
            return QStringLiteral("its column \"%1\" holds a line break, which a tag setting file cannot "
                                  "store.")
                .arg(kStoredColumnTitles.at(col));
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> appendImportedRows(TagGridModel& table, const QList<TagCsv::Record>& records)
{
    QSet<QString> names;
    for (qint32 row = 1; row < table.Rows(); ++row)
        names.insert(table.TextMatrix(row, kFirstStoredColumn).toCaseFolded());
    for (const TagCsv::Record& record : records) {
        if (std::optional<QString> broken = nameRuleBroken(record.cells.value(0), names))
            return importRefusal(record.line, *broken);
        if (std::optional<QString> broken = lineBreakIn(record))
            return importRefusal(record.line, *broken);
    }

    // The save check reads the rows where they will stand; a refusal takes them out again.
    const qint32 firstNew = table.Rows();
    table.setRows(firstNew + static_cast<qint32>(records.size()));
    for (qsizetype i = 0; i < records.size(); ++i) {
        const qint32 row = firstNew + static_cast<qint32>(i);
        table.setTextMatrix(row, 0, QString::number(row));
        for (int col = 0; col < kStoredColumns; ++col)
            table.setTextMatrix(row, kFirstStoredColumn + col, records.at(i).cells.value(col));
        if (std::optional<QString> problem = rowStorageProblem(table, row)) {
            table.setRows(firstNew);
            return importRefusal(records.at(i).line, *problem);
        }
    }
    return std::nullopt;
}
