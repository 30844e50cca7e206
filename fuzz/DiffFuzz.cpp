// Arbitrary bytes as two tag setting files (fuzz/FuzzCheck.h splits them), read as --diff reads
// them and compared. A file compared with itself shows no change; two files show none exactly
// when their connections and rows are equal; the comparison either way takes as many lines.

#include "fuzz/FuzzCheck.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagFileDiff.h"
#include "storage/TagFileReader.h"
#include "tags/TagDocument.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

QList<QStringList> diffRows(const TagFileContent& content)
{
    QList<QStringList> rows;
    const TagGridModel& table = content.document->table();
    for (qint32 row = 1; row < table.Rows(); ++row) {
        QStringList cells;
        for (qint32 col = 1; col < 11; ++col)
            cells.append(table.TextMatrix(row, col));
        rows.append(cells);
    }
    return rows;
}

bool sameConnection(const TagFileConnection& a, const TagFileConnection& b)
{
    return a.type == b.type && a.controller == b.controller && a.provider == b.provider &&
           a.machine == b.machine && a.option == b.option;
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
    const QList<QByteArray> parts =
        splitFuzzInput(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), 2);
    const QString oldFile = QStringLiteral("/fuzz/old.qts");
    const QString newFile = QStringLiteral("/fuzz/new.qts");
    files.setMemoryFile(oldFile, parts.at(0));
    files.setMemoryFile(newFile, parts.at(1));

    // Read as --diff reads them, without the look at the disk that memory files cannot pass.
    QString error;
    const std::optional<TagFileContent> before = readTagFileContentAsGiven(oldFile, error);
    const std::optional<TagFileContent> after = readTagFileContentAsGiven(newFile, error);
    if (before)
        FUZZ_CHECK(diffTagFiles(*before, *before).isEmpty());
    if (!before || !after)
        return 0;
    const QStringList lines = diffTagFiles(*before, *after);
    const bool equal =
        sameConnection(before->connection, after->connection) && diffRows(*before) == diffRows(*after);
    FUZZ_CHECK(lines.isEmpty() == equal);
    FUZZ_CHECK(diffTagFiles(*after, *before).size() == lines.size());
    return 0;
}
