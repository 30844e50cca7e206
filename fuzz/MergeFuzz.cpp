// Arbitrary bytes as three tag setting files, BASE, OURS and THEIRS (fuzz/FuzzCheck.h splits
// them), read as --merge reads them and merged. Merging two sides that agree gives that side;
// swapping the sides keeps the conflicts; a merged file reads back as the merge, and one with
// conflicts holds a block of markers for each run of them and does not open.

#include "fuzz/FuzzCheck.h"
#include "storage/MergeConflictMarkers.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagFileReader.h"
#include "storage/TagMergeFile.h"
#include "storage/TagTableCheck.h"
#include "tags/TagDocument.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>

namespace {

const QString kMerged = QStringLiteral("/fuzz/merged.qts");

// True when the window would save the file's table as it reads it: only then must the merged
// file read back exactly.
bool savesAsRead(const QString& path)
{
    TagDocument document;
    QString error;
    return readTagDocument(path, document, error) &&
           !storageProblem(document.table(), &document.connection());
}

// The merged side of every settled item; nothing when a conflict is left.
std::optional<TagMergeSide> settled(const TagMergeResult& merged)
{
    if (merged.conflicts != 0)
        return std::nullopt;
    TagMergeSide side;
    for (size_t i = 0; i < side.connection.size(); ++i)
        side.connection[i] = *merged.connection[i].ours;
    for (const TagMergeItem& item : merged.rows)
        side.rows.append(*item.ours);
    return side;
}

bool sameSide(const TagMergeSide& a, const TagMergeSide& b)
{
    return a.connection == b.connection && a.rows == b.rows;
}

qsizetype conflictRuns(const TagMergeResult& merged)
{
    qsizetype runs = 0;
    const auto count = [&runs](const auto& items) {
        bool previous = false;
        for (const TagMergeItem& item : items) {
            runs += item.conflict && !previous ? 1 : 0;
            previous = item.conflict;
        }
    };
    count(merged.connection);
    count(merged.rows);
    return runs;
}

void checkWritten(const TagMergeResult& merged, const QByteArray& bytes, bool exact)
{
    ProfileFileCache::instance().setMemoryFile(kMerged, bytes);
    QString error;
    if (merged.conflicts != 0) {
        TagDocument document;
        FUZZ_CHECK(!readTagDocument(kMerged, document, error));
        QByteArray text;
        FileEncoding::detect(bytes, text);
        FUZZ_CHECK(MergeConflictMarkers::find(text).size() == conflictRuns(merged));
        return;
    }
    const std::optional<TagMergeFile> back = readTagMergeFile(kMerged, false, error);
    FUZZ_CHECK(back);
    if (exact)
        FUZZ_CHECK(sameSide(back->side, *settled(merged)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ProfileFileCache& files = ProfileFileCache::instance();
    qputenv("QUOR_ANSI_CODEPAGE", size % 2 == 0 ? "CP1252" : "CP932");
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = splitFuzzInput(input, 3);
    const QStringList paths = {QStringLiteral("/fuzz/base.qts"), QStringLiteral("/fuzz/ours.qts"),
                               QStringLiteral("/fuzz/theirs.qts")};
    std::vector<TagMergeFile> sides;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        files.setMemoryFile(paths.at(i), parts.at(i));
        QString error;
        std::optional<TagMergeFile> side = readTagMergeFile(paths.at(i), i == 0, error);
        FUZZ_CHECK(side.has_value() == error.isEmpty());
        if (!side)
            return 0;
        sides.push_back(std::move(*side));
    }
    const TagMergeSide& base = sides[0].side;
    const TagMergeSide& ours = sides[1].side;
    const TagMergeSide& theirs = sides[2].side;

    const TagMergeResult merged = mergeTagTables(base, ours, theirs);
    FUZZ_CHECK(mergeTagTables(base, theirs, ours).conflicts == merged.conflicts);
    // Where one side alone changed, the merge is that side: OURS as it is, THEIRS in OURS's order.
    const std::optional<TagMergeSide> oursOnly = settled(mergeTagTables(base, ours, base));
    FUZZ_CHECK(oursOnly && sameSide(*oursOnly, ours));
    const std::optional<TagMergeSide> theirsOnly = settled(mergeTagTables(base, base, theirs));
    FUZZ_CHECK(theirsOnly && theirsOnly->connection == theirs.connection);
    QStringList taken = theirsOnly->rows;
    QStringList wanted = theirs.rows;
    std::sort(taken.begin(), taken.end());
    std::sort(wanted.begin(), wanted.end());
    FUZZ_CHECK(taken == wanted);

    // What OURS's encoding cannot hold is refused, never written.
    const std::optional<QByteArray> bytes = mergedFileBytes(merged, sides[1].encoding);
    if (!bytes)
        return 0;
    // Every merged value comes from OURS or THEIRS.
    const bool exact =
        savesAsRead(paths.at(1)) && savesAsRead(paths.at(2)) && !readsAsUtf8Now(parts.at(1), *bytes);
    checkWritten(merged, *bytes, exact);
    return 0;
}
