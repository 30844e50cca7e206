#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "storage/OptionText.h"
#include "storage/SettingsLocation.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileRows.h"
#include "storage/TagTableCheck.h"
#include "storage/clsProfile.h"
#include "tags/GridControl.h"

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

// Raised inside the file procedures; their handlers turn it into their one message.
struct TagFileError
{
};

void require(bool condition)
{
    if (!condition)
        throw TagFileError();
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
    return writeTagFile(strPath) != TagFileWrite::Failed;
}

frmMain::TagFileWrite frmMain::writeTagFile(const QString& strPath)
{
    clsProfile profile;
    profile.setFileName(strPath);
    if (g_colRecent.isEmpty()) {
        showMessage(this, QStringLiteral("There is no content to be saved."), MsgIcon::Exclamation);
        return TagFileWrite::NothingToSave;
    }
    try {
        for (const QString& section : profile.GetSectNames())
            require(profile.DeleteSection(section));

        const CtrlParameterPtr recent = g_colRecent.Item(1);
        require(profile.WriteString(kSection, kType, QString::number(recent->m_lConnectType)));
        require(profile.WriteString(kSection, kController, recent->m_strControllerName));
        require(profile.WriteString(kSection, kProvider, recent->m_strProviderName));
        require(profile.WriteString(kSection, kMachine, recent->m_strMachineName));
        require(profile.WriteString(kSection, kOption, recent->m_strOptionVal));

        const qint32 rows = grdItems->Rows();
        qint32 count = 0;
        TagKeyText keys;
        for (qint32 row = 1; row < rows; ++row) {
            require(profile.WriteString(kSection, keys.of(row), storedRowValue(grdItems->table(), row)));
            ++count;
        }
        require(profile.WriteString(kSection, kTagDataCnt, QString::number(count)));
        require(profile.Flush());
        return TagFileWrite::Written;
    } catch (...) {
        // Nothing of a save that failed part-way reaches the file.
        profile.DiscardChanges();
        return TagFileWrite::Failed;
    }
}

bool frmMain::ReadTagFile(const QString& strPath)
{
    m_bPathUnread = false;
    try {
        grdItems->setRows(1);
        TagFileReader reader(strPath);
        const std::optional<TagFileConnection> connection = reader.readConnection();
        require(connection.has_value());
        if (connection->type == ConnectionOptions::kProviderConnection && g_bBRAKKAMode) {
            if (connection->provider.compare(ConnectionOptions::kFerritProvider, Qt::CaseInsensitive) == 0) {
                setComboText(cmbServer, GetOptionValue(connection->option, QStringLiteral("Conn=")));
            } else if (connection->provider.compare(ConnectionOptions::kLyra8Provider, Qt::CaseInsensitive) ==
                       0) {
                setComboText(cmbServer, GetOptionValue(connection->option, QStringLiteral("Server=")));
            } else {
                showMessage(this,
                            QStringLiteral("Failed to read the file.") +
                                QStringLiteral("In order to open a file, please start in normal mode."),
                            MsgIcon::Exclamation);
                // The file was not read: a plain Save must not write over it.
                m_bPathUnread = true;
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
        require(reader.readRows(grdItems->table()).result == TagRowsRead::Result::Read);
        return true;
    } catch (...) {
        showMessage(this, QStringLiteral("Failed to read the file."), MsgIcon::Exclamation);
        // An existing file that could not be read is kept from a plain Save.
        m_bPathUnread = QFileInfo::exists(strPath);
        return false;
    }
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
        g_strFilePath.clear();
        m_bPathUnread = false;
        UpdateTitle();
        if (!optProvider[0]->isChecked()) {
            cmbConn->setEnabled(false);
            optProvider[0]->setChecked(true);
        }
        optLyra[1]->setChecked(true);
        EnableItemButtons(false);
        grdItems->setRows(1);
        return true;
    } catch (...) {
        return false;
    }
}

bool frmMain::FileSave(bool bSaveAs)
{
    try {
        // Cells the row format cannot give back as they are stop the save before the file is touched.
        if (const std::optional<QString> problem = storageProblem(grdItems->table())) {
            showMessage(this, *problem, MsgIcon::Exclamation);
            return false;
        }
        const QString previousPath = g_strFilePath;
        const bool previousUnread = m_bPathUnread;
        if (bSaveAs || g_strFilePath.isEmpty() || m_bPathUnread) {
            if (!g_bBRAKKAMode && optProvider[0]->isChecked() && cmbCtrl->currentText().isEmpty()) {
                showMessage(this, QStringLiteral("[Controller] is no input."), MsgIcon::Exclamation);
                return false;
            }
            const QString path = chooseFile(qtsDialog(true));
            if (path.isEmpty())
                return false;
            g_strFilePath = path;
            m_bPathUnread = false;
        }
        switch (writeTagFile(g_strFilePath)) {
        case TagFileWrite::Written:
            m_bChanged = false;
            return true;
        case TagFileWrite::NothingToSave:
            // Nothing was saved, so the table keeps the file it had.
            g_strFilePath = previousPath;
            m_bPathUnread = previousUnread;
            return false;
        case TagFileWrite::Failed:
            break;
        }
    } catch (...) {
    }
    showMessage(this, QStringLiteral("Failed to save the qts file."), MsgIcon::Critical);
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
        showMessage(this, QStringLiteral("Failed to open qts file"), MsgIcon::Critical);
    }
}

void frmMain::openTagFile(const QString& path)
{
    try {
        g_strFilePath = path;
        if (ReadTagFile(g_strFilePath)) {
            m_bChanged = true;
            return;
        }
    } catch (...) {
    }
    showMessage(this, QStringLiteral("Failed to open qts file"), MsgIcon::Critical);
}

QString frmMain::chooseFile(FileDialogRequest request)
{
    request.initialDirectory = fileDialogStartFolder(g_strFilePath, g_strLastFolder);
    const QString path = dialogs().fileDialog(this, request);
    if (!path.isEmpty())
        g_strLastFolder = QFileInfo(path).absolutePath();
    return path;
}
