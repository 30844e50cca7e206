#include "storage/TagFileCheck.h"

#include "storage/TagFileFormat.h"
#include "storage/TagFileReader.h"
#include "storage/TagTableCheck.h"
#include "tags/StoredRowLength.h"
#include "tags/TagGridModel.h"
#include "tags/TagNameRules.h"

using namespace TagFileFormat;

namespace {

QString tagPrefix(const QString& path, qint32 row)
{
    return path + QLatin1Char(':') + tagKey(row) + QStringLiteral(": ");
}

// Why a stored row comes back otherwise than stored, or nothing.
std::optional<QString> readBackProblem(const TagGridModel& table, qint32 row, const QString& stored)
{
    QStringList cells;
    for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col)
        cells.append(table.TextMatrix(row, col));
    if (joinRow(cells) == stored)
        return std::nullopt;
    const qsizetype fields = stored.count(QLatin1Char(',')) + 1;
    if (fields > kStoredColumns)
        return QStringLiteral("holds %1 fields; only the first ten are read, the rest is lost").arg(fields);
    return QStringLiteral("holds a tab, which splits its field when it is read");
}

void checkRows(const QString& path, const TagGridModel& table, const QStringList& stored,
               QStringList& problems)
{
    TagRowCheck check(table);
    for (qint32 row = 1; row < table.Rows(); ++row) {
        const QString prefix = tagPrefix(path, row);
        if (std::optional<QString> problem = readBackProblem(table, row, stored.value(row - 1)))
            problems.append(prefix + *problem);
        for (const QString& problem : check.problemsOf(row))
            problems.append(prefix + problem);
    }
}

void checkCount(const QString& path, TagFileReader& reader, const TagRowsRead& read, QStringList& problems)
{
    const QString prefix = path + QStringLiteral(": ");
    switch (read.result) {
    case TagRowsRead::Result::BadCount:
        problems.append(prefix + QStringLiteral("TagDataCnt is missing or not a number; no row is read"));
        return;
    case TagRowsRead::Result::MissingRow:
        problems.append(tagPrefix(path, read.stoppedAt) +
                        QStringLiteral("missing, TagDataCnt is %1; reading stops here").arg(*read.count));
        return;
    case TagRowsRead::Result::ShortRow:
        problems.append(tagPrefix(path, read.stoppedAt) +
                        QStringLiteral("holds fewer than ten fields; reading stops here"));
        return;
    case TagRowsRead::Result::LongRow:
        problems.append(
            tagPrefix(path, read.stoppedAt) +
            QStringLiteral("longer than a tag row may be (%1 bytes, at most %2); reading stops here")
                .arg(read.longBytes)
                .arg(kMostStoredRowBytes));
        return;
    case TagRowsRead::Result::Read:
        break;
    }
    if (*read.count < 0)
        problems.append(prefix + QStringLiteral("TagDataCnt is %1, below 0").arg(*read.count));
    else if (reader.hasTag(*read.count + 1))
        problems.append(prefix +
                        QStringLiteral("TagDataCnt is %1 but %2 follows; the rows after %3 are not read")
                            .arg(*read.count)
                            .arg(tagKey(*read.count + 1), tagKey(*read.count)));
}

} // namespace

TagRowCheck::TagRowCheck(const TagGridModel& table) : m_table(table) {}

QStringList TagRowCheck::problemsOf(qint32 row)
{
    QStringList problems;
    const QString name = m_table.TextMatrix(row, kFirstStoredColumn);
    const QString key = name.toCaseFolded();
    if (const auto first = m_firstRowOfName.constFind(key); first != m_firstRowOfName.cend())
        problems.append(QStringLiteral("duplicate name \"%1\" (also %2)").arg(name, tagKey(*first)));
    else
        m_firstRowOfName.insert(key, row);
    const QString ch = firstForbiddenCharacter(name);
    if (!ch.isEmpty())
        problems.append(QStringLiteral("forbidden character \"%1\" in name \"%2\"").arg(ch, name));
    if (std::optional<QString> problem = rowStorageProblem(m_table, row))
        problems.append(*problem);
    return problems;
}

TagFileCheckResult checkTagFile(const QString& path)
{
    if (const std::optional<QString> problem = TagFileReader::accessProblem(path))
        return {{path + QStringLiteral(": cannot be read: ") + *problem}, true};
    return checkTagFileContent(path);
}

TagFileCheckResult checkTagFileContent(const QString& path)
{
    TagFileCheckResult result;
    const QString prefix = path + QStringLiteral(": ");
    TagFileReader reader(path);
    // A half-merged file does not open; what it holds besides is not worth checking yet.
    if (const auto conflicts = reader.mergeConflicts(); !conflicts.isEmpty()) {
        for (const MergeConflictMarkers::Block& block : conflicts)
            result.problems.append(prefix + QStringLiteral("conflict markers of an unfinished merge at %1; "
                                                           "the file does not open")
                                                .arg(MergeConflictMarkers::linesText({block})));
        return result;
    }
    if (!reader.hasSection()) {
        result.unreadable = true;
        result.problems.append(prefix + QStringLiteral("cannot be read: no [QuorTagSetting] section"));
        return result;
    }
    if (!reader.readConnection()) {
        result.problems.append(prefix +
                               QStringLiteral("Type is missing or not a number; the file does not open"));
        return result;
    }
    const std::unique_ptr<TagGridModel> table = newTagTable();
    const TagRowsRead read = reader.readRows(*table, true);
    // Row order: the rows read come before the row or the count that ended the reading.
    checkRows(path, *table, read.stored, result.problems);
    checkCount(path, reader, read, result.problems);
    return result;
}
