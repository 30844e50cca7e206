#include "storage/TagTableCheck.h"

#include "storage/TagFileFormat.h"
#include "tags/TagGridModel.h"

std::optional<QString> commaProblem(const TagGridModel& table)
{
    using namespace TagFileFormat;
    for (qint32 row = 1; row < table.Rows(); ++row) {
        for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col) {
            if (!table.TextMatrix(row, col).contains(QLatin1Char(',')))
                continue;
            return QStringLiteral(
                       "The tag [%1] in row %2 cannot be saved: its column \"%3\" holds a comma "
                       "(\",\"), which a tag setting file cannot store. Remove the comma and save again.")
                .arg(table.TextMatrix(row, 1))
                .arg(row)
                .arg(table.TextMatrix(0, col));
        }
    }
    return std::nullopt;
}
