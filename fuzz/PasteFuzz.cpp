// Arbitrary text pasted into a table of a few clean rows: the first two bytes choose the selected
// block, the rest is the clipboard's text (UTF-8). A paste that is planned is done without a
// refusal, and afterwards the table keeps the rules and saves; a refused paste changes nothing.

#include "fuzz/TableInvariants.h"
#include "storage/TagPaste.h"

#include <QCoreApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    TagDocument document;
    fillCleanRows(document);
    const TagGridModel& table = document.table();
    const QList<QStringList> before = storedRowsOf(table);
    // Rows 1 to 3 of the table and one beyond; columns 0 (the number) to 10 and one beyond.
    std::optional<CellBlock> block;
    if (data[0] != 0xFF)
        block = CellBlock{1 + (data[0] & 3), (data[0] >> 2) % 12, 1 + (data[1] & 3), 1 + (data[1] >> 2) % 12};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    const PasteOutcome outcome = planPaste(table, text, block);
    FUZZ_CHECK(!(outcome.plan && outcome.refusal));
    if (!outcome.plan) {
        FUZZ_CHECK(storedRowsOf(table) == before);
        return 0;
    }
    const PastePlan& plan = *outcome.plan;
    const std::optional<QString> refused =
        plan.kind == PastePlan::Kind::AppendRows
            ? document.appendRows(QStringLiteral("Paste"), plan.cells, TagDocument::RowCheck::CheckedByCaller)
            : document.setCells(QStringLiteral("Paste"), plan.row, plan.col, plan.cells,
                                TagDocument::RowCheck::CheckedByCaller);
    FUZZ_CHECK(!refused);
    checkTableKeepsTheRules(document);
    // The paste is one step: undone, the table is as it was.
    FUZZ_CHECK(document.undo());
    FUZZ_CHECK(storedRowsOf(table) == before);
    return 0;
}
