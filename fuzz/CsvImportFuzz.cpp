// Arbitrary bytes as a CSV file to import into a table of a few rows, as the window's Import CSV
// takes them. A refused file or record leaves no record behind; a file taken whole is appended,
// the table keeps the rules and saves, and its CSV export reads back as the same rows.

#include "fuzz/TableInvariants.h"
#include "storage/TagCsv.h"
#include "storage/TagImport.h"

#include <QCoreApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TagCsv::Parsed parsed =
        TagCsv::toRecords(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (parsed.error) {
        FUZZ_CHECK(parsed.records.isEmpty());
        return 0;
    }
    QList<QStringList> rows;
    for (const TagCsv::Record& record : parsed.records) {
        FUZZ_CHECK(record.cells.size() == 10);
        rows.append(record.cells);
    }
    TagDocument document;
    fillCleanRows(document);
    if (importRefusalOf(document.table(), parsed.records))
        return 0;
    FUZZ_CHECK(
        !document.appendRows(QStringLiteral("Import CSV"), rows, TagDocument::RowCheck::CheckedByCaller));
    checkTableKeepsTheRules(document);

    const TagCsv::Parsed exported = TagCsv::toRecords(TagCsv::fromTable(document.table()));
    FUZZ_CHECK(!exported.error);
    QList<QStringList> exportedRows;
    for (const TagCsv::Record& record : exported.records)
        exportedRows.append(record.cells);
    FUZZ_CHECK(exportedRows == storedRowsOf(document.table()));
    return 0;
}
