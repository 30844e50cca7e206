// Arbitrary bytes as a tag setting file, read into a document by the reader, with no window. The
// table numbers what it read from 1 on; a table read whole that the save checks let through is
// written by the writer over a copy of the file, in its encoding, and reads back the same.

#include "fuzz/FuzzCheck.h"
#include "fuzz/TableInvariants.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileWriter.h"
#include "storage/TagTableCheck.h"
#include "tags/TagDocument.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

const QString kFile = QStringLiteral("/fuzz/read.qts");
const QString kSaved = QStringLiteral("/fuzz/saved.qts");

QStringList textsOf(const clsCtrlParameter& connection)
{
    return {QString::number(connection.m_lConnectType), connection.m_strControllerName,
            connection.m_strProviderName, connection.m_strMachineName, connection.m_strOptionVal};
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
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    files.setMemoryFile(kFile, bytes);

    TagDocument document;
    QString error;
    const bool read = readTagDocument(kFile, document, error);
    const QList<QStringList> rows = storedRowsOf(document.table());
    FUZZ_CHECK(read == error.isEmpty());
    if (!read || storageProblem(document.table(), &document.connection()))
        return 0;
    files.setMemoryFile(kSaved, bytes);
    // The file's encoding holds every text read from it, and no row read is too long to write.
    const TagFileWriteResult written = TagFileWriter::write(document, kSaved);
    FUZZ_CHECK(written.outcome == TagFileWriteResult::Outcome::Written);
    TagDocument back;
    FUZZ_CHECK(readTagDocument(kSaved, back, error));
    if (!readsAsUtf8Now(bytes, files.memoryFile(kSaved))) {
        FUZZ_CHECK(storedRowsOf(back.table()) == rows);
        FUZZ_CHECK(textsOf(back.connection()) == textsOf(document.connection()));
    }
    return 0;
}
