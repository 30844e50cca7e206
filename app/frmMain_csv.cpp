#include "app/frmMain.h"
#include "platform/Dialogs.h"
#include "storage/TagCsv.h"
#include "storage/TagImport.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSaveFile>

namespace {

FileDialogRequest csvDialog(bool save)
{
    FileDialogRequest request;
    request.save = save;
    request.filter = QStringLiteral("CSV (*.csv)|*.csv");
    request.defaultSuffix = QStringLiteral("csv");
    request.flags = OfnFlags::HideReadOnly | OfnFlags::Explorer | OfnFlags::LongNames |
                    (save ? OfnFlags::OverwritePrompt | OfnFlags::NoReadOnlyReturn : OfnFlags::FileMustExist);
    return request;
}

} // namespace

void frmMain::createCsvMenuItems()
{
    // After Save As, in a group of their own; the File items keep their indexes.
    QAction* before = mnuFileItem[5];
    mnuFile->insertSeparator(before);
    mnuFileImportCsv = new QAction(QStringLiteral("&Import CSV..."), this);
    mnuFileImportCsv->setObjectName(QStringLiteral("mnuFileImportCsv"));
    mnuFileExportCsv = new QAction(QStringLiteral("&Export CSV..."), this);
    mnuFileExportCsv->setObjectName(QStringLiteral("mnuFileExportCsv"));
    mnuFile->insertActions(before, {mnuFileImportCsv, mnuFileExportCsv});
    connect(mnuFileImportCsv, &QAction::triggered, this, &frmMain::mnuFileImportCsv_Click);
    connect(mnuFileExportCsv, &QAction::triggered, this, &frmMain::mnuFileExportCsv_Click);
}

void frmMain::mnuFileExportCsv_Click()
{
    // A tag name still being typed belongs to the table that is exported.
    grdItems->finishEdit();
    const QString path = chooseFile(csvDialog(true));
    if (path.isEmpty())
        return;
    const QByteArray csv = TagCsv::fromTable(grdItems->table());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return;
    showMessageWithDetails(this, QStringLiteral("Failed to export the CSV file."), MsgIcon::Critical,
                           QStringLiteral("%1: %2").arg(path, file.errorString()));
}

void frmMain::mnuFileImportCsv_Click()
{
    grdItems->finishEdit();
    const QString path = chooseFile(csvDialog(false));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessageWithDetails(this, QStringLiteral("Failed to import the CSV file."), MsgIcon::Critical,
                               QStringLiteral("%1: %2").arg(path, file.errorString()));
        return;
    }
    const TagCsv::Parsed parsed = TagCsv::toRecords(file.readAll());
    const std::optional<QString> refusal = parsed.error
                                               ? importRefusal(parsed.error->line, parsed.error->reason)
                                               : importRefusalOf(grdItems->table(), parsed.records);
    if (refusal) {
        showMessage(this, *refusal, MsgIcon::Exclamation);
        return;
    }
    if (parsed.records.isEmpty())
        return;
    QList<QStringList> rows;
    rows.reserve(parsed.records.size());
    for (const TagCsv::Record& record : parsed.records)
        rows.append(record.cells);
    doneByDocument(
        m_document->appendRows(QStringLiteral("Import CSV"), rows, TagDocument::RowCheck::CheckedByCaller));
}
