// Arbitrary bytes as a tag setting file, read by the window's reader in both run modes. The
// grid numbers what it read from 1 on; a table read in the normal mode that the save checks
// let through is saved over a copy of the file, in its encoding, and reads back the same.

#include "app/modMain.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzWindow.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagTableCheck.h"
#include "tags/GridControl.h"

#include <cstdint>

namespace {

const QString kFile = QStringLiteral("/fuzz/read.qts");
const QString kSaved = QStringLiteral("/fuzz/saved.qts");

QList<QStringList> rowsOf(const GridControl& grid)
{
    QList<QStringList> rows;
    for (qint32 row = 1; row < grid.Rows(); ++row) {
        FUZZ_CHECK(grid.TextMatrix(row, 0) == QString::number(row));
        QStringList cells;
        for (qint32 col = 1; col < 11; ++col)
            cells.append(grid.TextMatrix(row, col));
        rows.append(cells);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzWindow::start(argc, argv);
    // The connection a save writes.
    auto connection = std::make_shared<clsCtrlParameter>();
    connection->m_lConnectType = 1;
    connection->m_strControllerName = QStringLiteral("PLC1");
    FuzzWindow::state().settings.colRecent.Add(connection);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    frmMain& window = FuzzWindow::start(nullptr, nullptr);
    FuzzWindow::dialogs().clear();
    ProfileFileCache& files = ProfileFileCache::instance();
    qputenv("QUOR_ANSI_CODEPAGE", size % 2 == 0 ? "CP1252" : "CP932");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    files.setMemoryFile(kFile, bytes);

    FuzzWindow::state().bBRAKKAMode = true;
    window.ReadTagFile(kFile);
    rowsOf(*window.grdItems);

    FuzzWindow::state().bBRAKKAMode = false;
    const bool read = window.ReadTagFile(kFile);
    const QList<QStringList> rows = rowsOf(*window.grdItems);
    if (!read ||
        storageProblem(window.grdItems->table(), FuzzWindow::state().settings.colRecent.Item(1).get()))
        return 0;
    files.setMemoryFile(kSaved, bytes);
    const qsizetype shown = FuzzWindow::dialogs().shown().size();
    // The file's encoding holds every text read from it.
    FUZZ_CHECK(window.WriteTagFile(kSaved));
    FUZZ_CHECK(FuzzWindow::dialogs().shown().size() == shown);
    FUZZ_CHECK(window.ReadTagFile(kSaved));
    if (!readsAsUtf8Now(bytes, files.memoryFile(kSaved)))
        FUZZ_CHECK(rowsOf(*window.grdItems) == rows);
    return 0;
}
