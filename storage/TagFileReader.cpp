#include "storage/TagFileReader.h"

#include "storage/RegularFiles.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileRows.h"
#include "tags/StoredRowLength.h"
#include "tags/TagDocument.h"
#include "tags/TagGridModel.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>

using namespace TagFileFormat;

namespace {

constexpr qint32 kMostRowsReserved = 1 << 20;

} // namespace

TagFileReader::TagFileReader(const QString& path)
{
    // A relative name would be resolved against the current folder at every key.
    m_profile.setFileName(QFileInfo(path).absoluteFilePath());
}

std::optional<QString> TagFileReader::accessProblem(const QString& path)
{
    return RegularFiles::readProblem(path);
}

QString TagFileReader::value(const QString& key)
{
    return m_profile.GetString(kSection, key);
}

std::optional<TagFileConnection> TagFileReader::readConnection()
{
    const std::optional<qint32> type = toWholeNumber(value(kType));
    if (!type)
        return std::nullopt;
    return TagFileConnection{*type, value(kController), value(kProvider), value(kMachine), value(kOption)};
}

TagRowsRead TagFileReader::readRows(TagGridModel& table, bool keepStored)
{
    TagRowsRead read;
    read.count = toWholeNumber(value(kTagDataCnt));
    if (!read.count) {
        read.result = TagRowsRead::Result::BadCount;
        return read;
    }
    std::vector<GridRow> rows;
    // The count comes from the file; only a plausible part of it is set aside up front.
    rows.reserve(static_cast<size_t>(std::clamp(*read.count, 0, kMostRowsReserved)));
    TagKeyText keys;
    for (qint32 i = 1; i <= *read.count; ++i) {
        const QString& key = keys.of(i);
        const QString stored = value(key);
        // Only a value near the limit may have been cut; its length is asked for then alone.
        if (stored.size() * 3 + 3 >= kMostStoredRowBytes) {
            const qsizetype bytes = m_profile.ValueBytes(kSection, key);
            if (bytes > kMostStoredRowBytes) {
                read.result = TagRowsRead::Result::LongRow;
                read.stoppedAt = i;
                read.longBytes = bytes;
                break;
            }
        }
        std::optional<GridRow> row = gridRowOf(i, stored, table.Cols());
        if (!row) {
            read.result = hasTag(i) ? TagRowsRead::Result::ShortRow : TagRowsRead::Result::MissingRow;
            read.stoppedAt = i;
            break;
        }
        rows.push_back(std::move(*row));
        if (keepStored)
            read.stored.append(stored);
    }
    table.insertItems(table.Rows(), std::move(rows));
    return read;
}

QList<MergeConflictMarkers::Block> TagFileReader::mergeConflicts()
{
    return MergeConflictMarkers::find(m_profile.TextAsRead());
}

bool TagFileReader::hasSection()
{
    const QStringList sections = m_profile.GetSectNames();
    return std::any_of(sections.begin(), sections.end(),
                       [](const QString& name) { return name.compare(kSection, Qt::CaseInsensitive) == 0; });
}

bool TagFileReader::hasTag(qint32 number)
{
    // A missing key reads as the default: only a present key reads other than both defaults.
    const QString key = tagKey(number);
    return m_profile.GetString(kSection, key, QStringLiteral("0")) != QLatin1String("0") ||
           m_profile.GetString(kSection, key, QStringLiteral("1")) != QLatin1String("1");
}

std::unique_ptr<TagGridModel> newTagTable()
{
    auto table = std::make_unique<TagGridModel>(kFirstStoredColumn + kStoredColumns);
    table->setTextMatrix(0, 0, QStringLiteral("No"));
    for (int i = 0; i < kStoredColumns; ++i)
        table->setTextMatrix(0, kFirstStoredColumn + i, kStoredColumnTitles.at(i));
    return table;
}

QString longRowReason(qint32 row, qsizetype bytes)
{
    const QLocale english(QLocale::English);
    return QStringLiteral("The key \"%1\" of the section [%2] holds a value of %3 bytes, longer than the "
                          "%4 bytes a tag row may hold.")
        .arg(tagKey(row), kSection, english.toString(bytes), english.toString(kMostStoredRowBytes));
}

QString mergeConflictReason(const QList<MergeConflictMarkers::Block>& blocks)
{
    return QStringLiteral("The file holds the conflict markers of an unfinished merge: %1.")
        .arg(MergeConflictMarkers::linesText(blocks));
}

clsCtrlParameter connectionRecordOf(const TagFileConnection& connection)
{
    clsCtrlParameter record;
    record.m_lConnectType = connection.type;
    record.m_strControllerName = connection.controller;
    record.m_strProviderName = connection.provider;
    record.m_strMachineName = connection.machine;
    record.m_strOptionVal = connection.option;
    return record;
}

bool readTagTable(const QString& path, TagGridModel& table, std::optional<TagFileConnection>& connection,
                  QString& error, TagRowsRead* rowsRead)
{
    TagFileReader reader(path);
    if (const auto conflicts = reader.mergeConflicts(); !conflicts.isEmpty()) {
        error = QStringLiteral("conflict markers of an unfinished merge at ") +
                MergeConflictMarkers::linesText(conflicts);
        return false;
    }
    connection = reader.readConnection();
    if (!connection) {
        error = QStringLiteral("it has no [QuorTagSetting] section with a numeric Type");
        return false;
    }
    const TagRowsRead rows = reader.readRows(table);
    if (rowsRead)
        *rowsRead = rows;
    switch (rows.result) {
    case TagRowsRead::Result::Read:
        return true;
    case TagRowsRead::Result::BadCount:
        error = QStringLiteral("TagDataCnt is missing or not a number");
        break;
    case TagRowsRead::Result::MissingRow:
        error = QStringLiteral("Tag%1 is missing").arg(rows.stoppedAt);
        break;
    case TagRowsRead::Result::ShortRow:
        error = QStringLiteral("Tag%1 holds fewer than ten fields").arg(rows.stoppedAt);
        break;
    case TagRowsRead::Result::LongRow:
        error = longRowReason(rows.stoppedAt, rows.longBytes);
        break;
    }
    return false;
}

bool readTagDocument(const QString& path, TagDocument& document, QString& error, TagRowsRead* rowsRead)
{
    document.clearRows();
    document.resetHistory();
    document.setFilePath(path);
    std::optional<TagFileConnection> connection;
    const bool read = readTagTable(path, document.table(), connection, error, rowsRead);
    if (connection)
        document.setConnection(connectionRecordOf(*connection));
    return read;
}

std::optional<TagFileContent> readTagFileContent(const QString& path, QString& error)
{
    if (const std::optional<QString> problem = TagFileReader::accessProblem(path)) {
        error = *problem;
        return std::nullopt;
    }
    return readTagFileContentAsGiven(path, error);
}

std::optional<TagFileContent> readTagFileContentAsGiven(const QString& path, QString& error)
{
    TagFileContent content{{}, {}, std::make_unique<TagDocument>()};
    if (!readTagDocument(path, *content.document, error, &content.rows))
        return std::nullopt;
    // Read again from the record: the document keeps the connection as its record.
    const clsCtrlParameter& record = content.document->connection();
    content.connection = {record.m_lConnectType, record.m_strControllerName, record.m_strProviderName,
                          record.m_strMachineName, record.m_strOptionVal};
    return content;
}
