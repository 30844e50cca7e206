#include "storage/TagMergeFile.h"

#include "storage/MergeConflictMarkers.h"
#include "storage/ProfileText.h"
#include "storage/RegularFiles.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileRows.h"
#include "storage/clsProfile.h"
#include "tags/TagGridModel.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

using namespace TagFileFormat;

namespace {

// The store's text of the merged section, line by line.
class MergedText final
{
public:
    explicit MergedText(qsizetype expectedBytes) { m_text.reserve(expectedBytes); }
    void line(QStringView text)
    {
        append(text);
        m_text += "\r\n";
    }
    void marker(char kind, QByteArrayView label)
    {
        m_text += MergeConflictMarkers::markerLine(kind, label);
        m_text += "\r\n";
    }
    void key(const QString& key, const QString& value)
    {
        append(key);
        m_text += '=';
        line(clsProfile::Quoted(value));
    }
    const QByteArray& text() const { return m_text; }

private:
    // Converted straight into the text: a file of tens of thousands of rows is made here.
    void append(QStringView text)
    {
        const qsizetype at = m_text.size();
        m_text.resize(at + 3 * text.size());
        m_text.truncate(at + ProfileText::write(text, m_text.data() + at));
    }

    QByteArray m_text;
};

// The end of the run of conflicts that begins at `from`: neighbouring conflicts share a block.
qsizetype conflictRunEnd(const TagMergeItem* items, qsizetype from, qsizetype count)
{
    while (from < count && items[from].conflict)
        ++from;
    return from;
}

void writeConnection(MergedText& out, const TagMergeResult& merged)
{
    const QStringList keys = {kType, kController, kProvider, kMachine, kOption};
    const TagMergeItem* const items = merged.connection.data();
    const qsizetype count = qsizetype(merged.connection.size());
    for (qsizetype i = 0; i < count;) {
        if (!items[i].conflict) {
            out.key(keys.at(i), *items[i].ours);
            ++i;
            continue;
        }
        const qsizetype end = conflictRunEnd(items, i, count);
        out.marker(MergeConflictMarkers::kOurs, "ours");
        for (qsizetype j = i; j < end; ++j)
            out.key(keys.at(j), *items[j].ours);
        out.marker(MergeConflictMarkers::kSeparator, {});
        for (qsizetype j = i; j < end; ++j)
            out.key(keys.at(j), *items[j].theirs);
        out.marker(MergeConflictMarkers::kTheirs, "theirs");
        i = end;
    }
}

// Writes the rows; returns "TagDataCnt". Both sides of a block are numbered from the same key
// on, and the keys after it follow OURS's side.
qint32 writeRows(MergedText& out, const TagMergeResult& merged)
{
    qint32 next = 1;
    TagKeyText keys;
    const TagMergeItem* const items = merged.rows.data();
    const qsizetype count = qsizetype(merged.rows.size());
    for (qsizetype i = 0; i < count;) {
        if (!items[i].conflict) {
            out.key(keys.of(next++), *items[i].ours);
            ++i;
            continue;
        }
        const qsizetype end = conflictRunEnd(items, i, count);
        qint32 ours = next;
        out.marker(MergeConflictMarkers::kOurs, "ours");
        for (qsizetype j = i; j < end; ++j) {
            if (items[j].ours)
                out.key(keys.of(ours++), *items[j].ours);
        }
        out.marker(MergeConflictMarkers::kSeparator, {});
        qint32 theirs = next;
        for (qsizetype j = i; j < end; ++j) {
            if (items[j].theirs)
                out.key(keys.of(theirs++), *items[j].theirs);
        }
        out.marker(MergeConflictMarkers::kTheirs, "theirs");
        next = ours;
        i = end;
    }
    return next - 1;
}

} // namespace

std::optional<TagMergeFile> readTagMergeFile(const QString& path, bool emptyIsNoTags, QString& error)
{
    // Held through the read, so that the store parses the file once for the reader and for this.
    clsProfile file;
    file.setFileName(QFileInfo(path).absoluteFilePath());
    TagMergeFile read{{}, file.Encoding()};
    if (emptyIsNoTags && file.TextAsRead().isEmpty() && file.GetSectNames().isEmpty())
        return read;
    // A bare table: the document's look-ups by name would be built for nothing.
    const std::unique_ptr<TagGridModel> table = newTagTable();
    std::optional<TagFileConnection> connection;
    if (!readTagTable(path, *table, connection, error))
        return std::nullopt;
    read.side.connection = {QString::number(connection->type), connection->controller, connection->provider,
                            connection->machine, connection->option};
    read.side.rows.reserve(table->Rows() - 1);
    for (qint32 row = 1; row < table->Rows(); ++row)
        read.side.rows.append(storedRowValue(*table, row));
    return read;
}

std::optional<QByteArray> mergedFileBytes(const TagMergeResult& merged, const FileEncoding& encoding)
{
    qsizetype expected = 200;
    for (const TagMergeItem& item : merged.rows)
        expected += 16 + (item.ours ? item.ours->size() : 0) +
                    (item.theirs && item.conflict ? item.theirs->size() : 0);
    MergedText out(expected * 3 / 2);
    out.line(QString(QLatin1Char('[') + kSection + QLatin1Char(']')));
    writeConnection(out, merged);
    const qint32 count = writeRows(out, merged);
    out.key(kTagDataCnt, QString::number(count));
    if (!encoding.holds(out.text()))
        return std::nullopt;
    return encoding.encode(out.text());
}

TagMergeOutcome mergeTagFiles(const QString& base, const QString& ours, const QString& theirs,
                              const QString& target)
{
    using Result = TagMergeOutcome::Result;
    // A pipe or a device in the target's place is neither written to nor replaced.
    if (const std::optional<QString> problem = RegularFiles::writeProblem(target))
        return {Result::Failed, {QStringLiteral("%1: cannot be written: %2").arg(target, *problem)}};
    QStringList errors;
    const auto read = [&errors](const QString& path, bool emptyIsNoTags) {
        QString error;
        if (const std::optional<QString> problem = TagFileReader::accessProblem(path))
            error = *problem;
        std::optional<TagMergeFile> file =
            error.isEmpty() ? readTagMergeFile(path, emptyIsNoTags, error) : std::nullopt;
        if (!file)
            errors.append(QStringLiteral("%1: cannot be read: %2").arg(path, error));
        return file;
    };
    const std::optional<TagMergeFile> baseFile = read(base, true);
    const std::optional<TagMergeFile> oursFile = read(ours, false);
    const std::optional<TagMergeFile> theirsFile = read(theirs, false);
    if (!baseFile || !oursFile || !theirsFile)
        return {Result::Failed, errors};

    const TagMergeResult merged = mergeTagTables(baseFile->side, oursFile->side, theirsFile->side);
    const std::optional<QByteArray> bytes = mergedFileBytes(merged, oursFile->encoding);
    if (!bytes)
        return {Result::Failed,
                {QStringLiteral("%1: cannot be written: the merged tags hold text that %2 cannot hold")
                     .arg(target, QString::fromLatin1(oursFile->encoding.name()))}};
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return {Result::Failed,
                {QStringLiteral("%1: cannot be written: %2").arg(target, file.errorString())}};

    TagMergeOutcome outcome{merged.conflicts == 0 ? Result::Clean : Result::Conflicts, {}};
    const auto report = [&outcome](const TagMergeItem& item) {
        if (item.conflict)
            outcome.messages.append(item.subject + QStringLiteral(": ") + item.how);
    };
    std::for_each(merged.connection.begin(), merged.connection.end(), report);
    std::for_each(merged.rows.begin(), merged.rows.end(), report);
    return outcome;
}
