#include "storage/TagImport.h"

#include "storage/IncomingRows.h"
#include "tags/TagGridModel.h"

QString importRefusal(qint64 line, const QString& reason)
{
    return QStringLiteral("Nothing was imported. Line %1 of the CSV file: %2").arg(line).arg(reason);
}

std::optional<QString> importRefusalOf(const TagGridModel& table, const QList<TagCsv::Record>& records)
{
    IncomingRowsCheck check(table);
    qint32 row = table.Rows();
    for (const TagCsv::Record& record : records) {
        if (std::optional<QString> problem = check.problem(record.cells, row++))
            return importRefusal(record.line, *problem);
    }
    return std::nullopt;
}
