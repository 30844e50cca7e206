#include "app/LayoutRules.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "storage/FileFailures.h"
#include "storage/OptionText.h"
#include "storage/SettingsFile.h"
#include "storage/clsProfile.h"
#include "tags/TagDocument.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>

namespace {

// The warning after a save that left paths out, which the details name with the reason.
QString leftOutText(qsizetype count)
{
    return count == 1 ? QStringLiteral("A path was left out of the setting file.")
                      : QStringLiteral("%1 paths were left out of the setting file.").arg(count);
}

} // namespace

// The window's outer place and size in twips: the client area plus the designed frame.
int frmMain::outerTop() const
{
    return pixelsToTwips(y());
}

int frmMain::outerLeft() const
{
    return pixelsToTwips(x());
}

int frmMain::outerWidth() const
{
    return pixelsToTwips(client->width()) + kFrameAllowanceWidth;
}

int frmMain::outerHeight() const
{
    return pixelsToTwips(client->height()) + kFrameAllowanceHeight;
}

// Each value that was read moves or resizes the window.
void frmMain::applyPlace(const WindowPlace& place)
{
    if (place.top)
        setOuterTop(*place.top);
    if (place.left)
        setOuterLeft(*place.left);
    if (place.width)
        setOuterWidth(*place.width);
    if (place.height)
        setOuterHeight(*place.height);
}

void frmMain::setOuterTop(int twips)
{
    move(x(), twipsToPixels(twips));
}

void frmMain::setOuterLeft(int twips)
{
    move(twipsToPixels(twips), y());
}

void frmMain::setOuterWidth(int twips)
{
    resize(qMax(1, twipsToPixels(twips - kFrameAllowanceWidth)), height());
}

void frmMain::setOuterHeight(int twips)
{
    const int clientHeight = qMax(1, twipsToPixels(twips - kFrameAllowanceHeight));
    resize(width(),
           clientHeight + (menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height()));
}

void frmMain::LoadAppSettings()
{
    clsProfile profile;
    RememberedSettings& settings = m_state.settings;
    // The file path stays as it is unless the file names one.
    settings.strLastFile = m_document->filePath();
    settings.place = WindowPlace();
    const QString failure = SettingsFile::read(profile, settings);
    m_document->setFilePath(settings.strLastFile);
    // The values read before a failure stay applied.
    applyPlace(settings.place);
    applyViewSettings();
    if (!failure.isEmpty()) {
        showMessageWithDetails(this, QStringLiteral("Failed to read the setting file."), MsgIcon::Exclamation,
                               FileFailures::details(profile.FileName(), failure));
    }
    // A place remembered on a larger or differently scaled screen must not leave controls out of reach.
    fitIntoScreen();
}

void frmMain::FillRecentLists()
{
    using namespace ConnectionOptions;
    try {
        const qsizetype count = m_state.settings.colRecent.Count();
        for (qsizetype position = 1; position <= count; ++position) {
            const CtrlParameterPtr record = m_state.settings.colRecent.Item(position);
            if (record->m_lConnectType == kProviderConnection) {
                const bool ferrit = record->m_strProviderName == kFerritProvider;
                const bool lyra8 = record->m_strProviderName == kLyra8Provider;
                if (m_state.bBRAKKAMode && (ferrit || lyra8)) {
                    appendItem(cmbServer,
                               GetOptionValue(record->m_strOptionVal,
                                              ferrit ? QStringLiteral("Conn=") : QStringLiteral("Server=")));
                    m_cmbServerRecords.append(record);
                } else {
                    appendItem(cmbCtrl, record->m_strControllerName);
                    m_cmbCtrlRecords.append(record);
                }
            } else if (record->m_lConnectType == kQueryServerConnection) {
                appendItem(cmbConn, record->m_strOptionVal);
            }
        }
    } catch (...) {
        showMessage(this, QStringLiteral("Failed to load histoty"), MsgIcon::Exclamation);
    }
}

void frmMain::SaveAppSettings()
{
    clsProfile profile;
    RememberedSettings& settings = m_state.settings;
    settings.strLastFile = m_document->filePath();
    settings.place = WindowPlace{outerTop(), outerLeft(), outerWidth(), outerHeight()};
    const SettingsFile::SaveOutcome outcome = SettingsFile::write(profile, settings);
    if (!outcome.failure.isEmpty()) {
        showMessageWithDetails(this, QStringLiteral("Failed to create setting file."), MsgIcon::Exclamation,
                               FileFailures::details(profile.FileName(), outcome.failure));
    } else if (!outcome.leftOut.isEmpty()) {
        showMessageWithDetails(
            this, leftOutText(outcome.leftOut.size()), MsgIcon::Exclamation,
            FileFailures::details(profile.FileName(), outcome.leftOut.join(QLatin1Char('\n'))));
    }
}

void frmMain::cmbServer_Click()
{
    const int index = cmbServer->currentIndex();
    if (index < 0)
        return;
    const CtrlParameterPtr record = m_cmbServerRecords.value(index);
    if (!record)
        return;
    if (const std::optional<QString> timeout = timeoutOfOption(record->m_strOptionVal))
        txtTimeout->setText(*timeout);
}
