#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "storage/FileFailures.h"
#include "storage/OptionText.h"
#include "storage/SettingsLocation.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileWriter.h"
#include "storage/TagTableCheck.h"
#include "storage/clsProfile.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace TagFileFormat;

namespace {

const QString kQtsFilter = QStringLiteral("QTS ファイル (*.qts)|*.qts");
constexpr quint32 kSaveDialogFlags = 2654214;
constexpr quint32 kOpenDialogFlags = 2621444;

// Raised inside the file procedures with the reason; their handlers turn it into their one
// message and put the reason into its details.
struct TagFileError
{
    QString reason;
};

// Why a key of the file could not be read as expected, told from the file as it is.
QString unreadKey(const QString& path, const QString& key, const QString& expected)
{
    clsProfile profile;
    profile.setFileName(QFileInfo(path).absoluteFilePath());
    return FileFailures::unreadKey(profile, kSection, key, expected);
}

FileDialogRequest qtsDialog(bool save)
{
    FileDialogRequest request;
    request.save = save;
    request.filter = kQtsFilter;
    request.defaultSuffix = QStringLiteral("qts");
    request.flags = save ? kSaveDialogFlags : kOpenDialogFlags;
    return request;
}

} // namespace

bool frmMain::WriteTagFile(const QString& strPath)
{
    QString reason;
    const TagFileWrite result = writeTagFile(strPath, reason);
    return result == TagFileWrite::Written || result == TagFileWrite::NothingToSave;
}

frmMain::TagFileWrite frmMain::writeTagFile(const QString& strPath, QString& reason)
{
    if (m_state.settings.colRecent.isEmpty()) {
        showMessage(this, QStringLiteral("There is no content to be saved."), MsgIcon::Exclamation);
        return TagFileWrite::NothingToSave;
    }
    try {
        // The file records the connection the table was last connected with.
        m_document->setConnection(*m_state.settings.colRecent.Item(1));
        const TagFileWriteResult result = TagFileWriter::write(*m_document, strPath);
        switch (result.outcome) {
        case TagFileWriteResult::Outcome::Written:
            return TagFileWrite::Written;
        case TagFileWriteResult::Outcome::Refused:
            showMessage(this, result.message, MsgIcon::Exclamation);
            return TagFileWrite::Refused;
        case TagFileWriteResult::Outcome::Failed:
            reason = result.message;
            return TagFileWrite::Failed;
        }
    } catch (...) {
        reason = currentFailureText();
    }
    return TagFileWrite::Failed;
}

bool frmMain::ReadTagFile(const QString& strPath)
{
    QString reason;
    return readTagFile(strPath, reason);
}

bool frmMain::readTagFile(const QString& strPath, QString& reason)
{
    m_document->setPathUnread(false);
    try {
        grdItems->setRows(1);
        m_document->resetHistory();
        TagFileReader reader(strPath);
        // A half-merged file would read as one side of the merge and be saved over as that.
        if (const auto conflicts = reader.mergeConflicts(); !conflicts.isEmpty())
            throw TagFileError{mergeConflictReason(conflicts)};
        const std::optional<TagFileConnection> connection = reader.readConnection();
        if (!connection)
            throw TagFileError{unreadKey(strPath, kType, QStringLiteral("a whole number"))};
        if (connection->type == ConnectionOptions::kProviderConnection && m_state.bBRAKKAMode) {
            if (connection->provider.compare(ConnectionOptions::kFerritProvider, Qt::CaseInsensitive) == 0) {
                setComboText(cmbServer, GetOptionValue(connection->option, QStringLiteral("Conn=")));
            } else if (connection->provider.compare(ConnectionOptions::kLyra8Provider, Qt::CaseInsensitive) ==
                       0) {
                setComboText(cmbServer, GetOptionValue(connection->option, QStringLiteral("Server=")));
            } else {
                showMessageWithDetails(
                    this,
                    QStringLiteral("Failed to read the file.") +
                        QStringLiteral("In order to open a file, please start in normal mode."),
                    MsgIcon::Exclamation,
                    FileFailures::details(strPath,
                                          QStringLiteral("The file connects through the provider \"%1\", "
                                                         "which is not a BRAKKA provider.")
                                              .arg(connection->provider)));
                // The file was not read: a plain Save must not write over it.
                m_document->setPathUnread(true);
                return true;
            }
        } else if (connection->type == ConnectionOptions::kProviderConnection) {
            setComboText(cmbCtrl, connection->controller);
            setComboText(cmbProvs, connection->provider);
            txtMachine->setText(connection->machine);
            txtOption->setText(connection->option);
        } else if (connection->type == ConnectionOptions::kQueryServerConnection) {
            setComboText(cmbConn, connection->option);
        }
        m_document->setConnection(connectionRecordOf(*connection));
        const TagRowsRead rows = reader.readRows(grdItems->table());
        switch (rows.result) {
        case TagRowsRead::Result::Read:
            return true;
        case TagRowsRead::Result::BadCount:
            throw TagFileError{unreadKey(strPath, kTagDataCnt, QStringLiteral("a whole number"))};
        case TagRowsRead::Result::MissingRow:
        case TagRowsRead::Result::ShortRow:
            throw TagFileError{unreadKey(strPath, tagKey(rows.stoppedAt),
                                         QStringLiteral("a tag row of %1 fields").arg(kStoredColumns))};
        case TagRowsRead::Result::LongRow:
            throw TagFileError{longRowReason(rows.stoppedAt, rows.longBytes)};
        }
        return true;
    } catch (const TagFileError& e) {
        reason = FileFailures::details(strPath, e.reason);
    } catch (...) {
        reason = FileFailures::details(strPath, currentFailureText());
    }
    showMessageWithDetails(this, QStringLiteral("Failed to read the file."), MsgIcon::Exclamation, reason);
    // An existing file that could not be read is kept from a plain Save.
    m_document->setPathUnread(QFileInfo::exists(strPath));
    return false;
}

bool frmMain::ClearTagSetting()
{
    try {
        EnableProviderFields(true);
        setComboText(cmbCtrl, QString());
        setComboText(cmbProvs, ConnectionOptions::kSelectPrompt);
        txtMachine->setText(QString());
        txtOption->setText(QString());
        if (chkConnQUOR->isChecked())
            chkConnQUOR->setChecked(false);
        EnableConnField(true);
        setComboText(cmbConn, QString());
        if (chkConnTULO->isChecked())
            chkConnTULO->setChecked(false);
        EnableServerFields(true);
        setComboText(cmbServer, QString());
        txtTimeout->setText(QStringLiteral("3000"));
        if (chkConnBRAKKA->isChecked())
            chkConnBRAKKA->setChecked(false);
        ClearBrowseLists();
        m_document->setFilePath(QString());
        m_document->setPathUnread(false);
        UpdateTitle();
        if (!optProvider[0]->isChecked()) {
            cmbConn->setEnabled(false);
            optProvider[0]->setChecked(true);
        }
        optLyra[1]->setChecked(true);
        EnableItemButtons(false);
        grdItems->setRows(1);
        m_document->resetHistory();
        return true;
    } catch (...) {
        return false;
    }
}

bool frmMain::FileSave(bool bSaveAs)
{
    QString reason;
    try {
        // Cells the row format cannot give back as they are stop the save before the file is touched.
        if (const std::optional<QString> problem =
                storageProblem(grdItems->table(), m_state.settings.colRecent.Item(1).get())) {
            showMessage(this, *problem, MsgIcon::Exclamation);
            return false;
        }
        const QString previousPath = m_document->filePath();
        const bool previousUnread = m_document->pathUnread();
        if (bSaveAs || m_document->filePath().isEmpty() || m_document->pathUnread()) {
            if (!m_state.bBRAKKAMode && optProvider[0]->isChecked() && cmbCtrl->currentText().isEmpty()) {
                showMessage(this, QStringLiteral("[Controller] is no input."), MsgIcon::Exclamation);
                return false;
            }
            const QString path = chooseFile(qtsDialog(true));
            if (path.isEmpty())
                return false;
            m_document->setFilePath(path);
            m_document->setPathUnread(false);
        }
        switch (writeTagFile(m_document->filePath(), reason)) {
        case TagFileWrite::Written:
            setChanged(false);
            return true;
        case TagFileWrite::NothingToSave:
        case TagFileWrite::Refused:
            // Nothing was saved, so the table keeps the file it had.
            m_document->setFilePath(previousPath);
            m_document->setPathUnread(previousUnread);
            return false;
        case TagFileWrite::Failed:
            reason = FileFailures::details(m_document->filePath(), reason);
            break;
        }
    } catch (...) {
        reason = currentFailureText();
    }
    showMessageWithDetails(this, QStringLiteral("Failed to save the qts file."), MsgIcon::Critical, reason);
    return false;
}

void frmMain::FileOpen()
{
    try {
        const QString path = chooseFile(qtsDialog(false));
        if (path.isEmpty())
            return;
        openTagFile(path);
    } catch (...) {
        showMessageWithDetails(this, QStringLiteral("Failed to open qts file"), MsgIcon::Critical,
                               currentFailureText());
    }
}

void frmMain::openTagFile(const QString& path)
{
    QString reason;
    try {
        m_document->setFilePath(path);
        if (readTagFile(m_document->filePath(), reason)) {
            setChanged(true);
            return;
        }
    } catch (...) {
        reason = currentFailureText();
    }
    showMessageWithDetails(this, QStringLiteral("Failed to open qts file"), MsgIcon::Critical, reason);
}

QString frmMain::chooseFile(FileDialogRequest request)
{
    request.initialDirectory = fileDialogStartFolder(m_document->filePath(), m_state.settings.strLastFolder);
    const QString path = dialogs().fileDialog(this, request);
    if (!path.isEmpty())
        m_state.settings.strLastFolder = QFileInfo(path).absolutePath();
    return path;
}
