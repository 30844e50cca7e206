#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "platform/AppInfo.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "storage/OptionText.h"
#include "storage/TagFileFormat.h"
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

qint32 wholeNumber(const QString& text)
{
    const std::optional<qint32> value = toWholeNumber(text);
    require(value.has_value());
    return *value;
}

FileDialogRequest qtsDialog(bool save)
{
    FileDialogRequest request;
    request.save = save;
    request.initialDirectory = AppInfo::applicationDirectory();
    request.filter = kQtsFilter;
    request.defaultSuffix = QStringLiteral("qts");
    request.flags = save ? kSaveDialogFlags : kOpenDialogFlags;
    return request;
}

} // namespace

bool frmMain::WriteTagFile(const QString& strPath)
{
    const TagFileWrite result = writeTagFile(strPath);
    return result == TagFileWrite::Written || result == TagFileWrite::NothingToSave;
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
        const CtrlParameterPtr recent = g_colRecent.Item(1);
        // Text that the file's encoding cannot hold stops the save before the file is touched.
        if (const std::optional<QString> problem = encodingProblem(grdItems->table(), *recent, profile)) {
            showMessage(this, *problem, MsgIcon::Exclamation);
            return TagFileWrite::Refused;
        }
        require(profile.DeleteAllSections());

        require(profile.WriteString(kSection, kType, QString::number(recent->m_lConnectType)));
        // Connection texts come from the engine and the user: quoted where a read would change them.
        require(profile.WriteString(kSection, kController, clsProfile::Quoted(recent->m_strControllerName)));
        require(profile.WriteString(kSection, kProvider, clsProfile::Quoted(recent->m_strProviderName)));
        require(profile.WriteString(kSection, kMachine, clsProfile::Quoted(recent->m_strMachineName)));
        require(profile.WriteString(kSection, kOption, clsProfile::Quoted(recent->m_strOptionVal)));

        const qint32 rows = grdItems->Rows();
        qint32 count = 0;
        for (qint32 row = 1; row < rows; ++row) {
            QStringList cells;
            for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col)
                cells.append(grdItems->TextMatrix(row, col));
            require(profile.WriteString(kSection, tagKey(row), joinRow(cells)));
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
    clsProfile profile;
    profile.setFileName(strPath);
    m_bPathUnread = false;
    try {
        grdItems->setRows(1);
        const auto record = std::make_shared<clsCtrlParameter>();
        const qint32 type = wholeNumber(profile.GetString(kSection, kType));
        if (type == ConnectionOptions::kProviderConnection && g_bBRAKKAMode) {
            const QString provider = profile.GetString(kSection, kProvider);
            if (provider.compare(ConnectionOptions::kFerritProvider, Qt::CaseInsensitive) == 0) {
                setComboText(cmbServer,
                             GetOptionValue(profile.GetString(kSection, kOption), QStringLiteral("Conn=")));
            } else if (provider.compare(ConnectionOptions::kLyra8Provider, Qt::CaseInsensitive) == 0) {
                setComboText(cmbServer,
                             GetOptionValue(profile.GetString(kSection, kOption), QStringLiteral("Server=")));
            } else {
                showMessage(this,
                            QStringLiteral("Failed to read the file.") +
                                QStringLiteral("In order to open a file, please start in normal mode."),
                            MsgIcon::Exclamation);
                // The file was not read: a plain Save must not write over it.
                m_bPathUnread = true;
                return true;
            }
        } else if (type == ConnectionOptions::kProviderConnection) {
            setComboText(cmbCtrl, profile.GetString(kSection, kController));
            setComboText(cmbProvs, profile.GetString(kSection, kProvider));
            txtMachine->setText(profile.GetString(kSection, kMachine));
            txtOption->setText(profile.GetString(kSection, kOption));
        } else if (type == ConnectionOptions::kQueryServerConnection) {
            setComboText(cmbConn, profile.GetString(kSection, kOption));
        }

        record->m_lTagDataCnt = wholeNumber(profile.GetString(kSection, kTagDataCnt));
        const QChar tab = QLatin1Char('\t');
        for (qint32 i = 1; i <= record->m_lTagDataCnt; ++i) {
            const std::optional<QStringList> fields = splitRow(profile.GetString(kSection, tagKey(i)));
            require(fields.has_value());
            grdItems->AddItem(QString::number(i) + tab + fields->join(tab));
        }
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
        if (const std::optional<QString> problem =
                storageProblem(grdItems->table(), g_colRecent.Item(1).get())) {
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
            const QString path = dialogs().fileDialog(this, qtsDialog(true));
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
        case TagFileWrite::Refused:
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
        const QString path = dialogs().fileDialog(this, qtsDialog(false));
        if (path.isEmpty())
            return;
        g_strFilePath = path;
        if (ReadTagFile(g_strFilePath)) {
            m_bChanged = true;
            return;
        }
    } catch (...) {
    }
    showMessage(this, QStringLiteral("Failed to open qts file"), MsgIcon::Critical);
}
