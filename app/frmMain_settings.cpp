#include "app/LayoutRules.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "engine/ConnectionOptions.h"
#include "engine/FailureText.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "storage/FileFailures.h"
#include "storage/OptionText.h"
#include "storage/TagFileFormat.h"
#include "storage/clsProfile.h"
#include "tags/TagDocument.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <cmath>

namespace {

const QString kSettingSection = QStringLiteral("Setting");
const QString kFormSection = QStringLiteral("Form");
const QString kRecentSection = QStringLiteral("Recent");
// The folder of the file last chosen in a file dialog, where the next dialog starts.
const QString kLastFolderKey = QStringLiteral("LastFolder");

// Raised inside the settings procedures with the reason for the message's details.
struct SettingsError
{
    QString reason;
};

// A window place or size beyond 16 bits of pixels is more than the window system keeps, and
// larger numbers would overflow on their way to pixels.
constexpr float kMaxWindowTwips = 32767.0f * kTwipsPerPixel;

// Window numbers are written and read in the user's locale (the program's default locale,
// the system's unless changed), without group separators.
QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Some locales write a direction mark before the minus sign that their own reading refuses;
// the marks carry no value.
QString withoutDirectionMarks(QString text)
{
    for (const char16_t mark : {u'\u061C', u'\u200E', u'\u200F'})
        text.remove(QChar(mark));
    return text;
}

// A window number of the "Form" section.
float windowNumber(clsProfile& profile, const QString& key)
{
    const QString text = profile.GetString(kFormSection, key);
    bool ok = false;
    const float value = numberLocale().toFloat(withoutDirectionMarks(text.trimmed()), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > kMaxWindowTwips) {
        throw SettingsError{
            FileFailures::unreadKey(profile, kFormSection, key, QStringLiteral("a window number in twips"))};
    }
    return value;
}

// Inside a catch block: the reason of the failure being handled.
QString settingsFailure()
{
    try {
        throw;
    } catch (const SettingsError& e) {
        return e.reason;
    } catch (...) {
        return currentFailureText();
    }
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

void frmMain::setOuterTop(float twips)
{
    move(x(), twipsToPixels(qRound(twips)));
}

void frmMain::setOuterLeft(float twips)
{
    move(twipsToPixels(qRound(twips)), y());
}

void frmMain::setOuterWidth(float twips)
{
    resize(qMax(1, twipsToPixels(qRound(twips) - kFrameAllowanceWidth)), height());
}

void frmMain::setOuterHeight(float twips)
{
    const int clientHeight = qMax(1, twipsToPixels(qRound(twips) - kFrameAllowanceHeight));
    resize(width(),
           clientHeight + (menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height()));
}

void frmMain::LoadAppSettings()
{
    clsProfile profile;
    try {
        for (const QString& section : profile.GetSectNames()) {
            if (section == kSettingSection) {
                m_document->setFilePath(profile.GetString(kSettingSection, QStringLiteral("Path")));
                m_state.settings.strLastFolder = profile.GetString(kSettingSection, kLastFolderKey);
            } else if (section == kFormSection) {
                // Each value moves or resizes the window as soon as it is read.
                setOuterTop(windowNumber(profile, QStringLiteral("Top")));
                setOuterLeft(windowNumber(profile, QStringLiteral("Left")));
                setOuterWidth(windowNumber(profile, QStringLiteral("Width")));
                setOuterHeight(windowNumber(profile, QStringLiteral("Height")));
            } else if (section == kRecentSection) {
                auto record = std::make_shared<clsCtrlParameter>();
                const std::optional<qint32> type =
                    TagFileFormat::toWholeNumber(profile.GetString(kRecentSection, QStringLiteral("Type")));
                if (!type) {
                    throw SettingsError{FileFailures::unreadKey(
                        profile, kRecentSection, QStringLiteral("Type"), QStringLiteral("a whole number"))};
                }
                record->m_lConnectType = *type;
                record->m_strControllerName = profile.GetString(kRecentSection, QStringLiteral("Controller"));
                record->m_strProviderName = profile.GetString(kRecentSection, QStringLiteral("Provider"));
                record->m_strMachineName = profile.GetString(kRecentSection, QStringLiteral("Machine"));
                record->m_strOptionVal = profile.GetString(kRecentSection, QStringLiteral("Option"));
                if (!m_state.settings.colRecent.Add(record)) {
                    throw SettingsError{QStringLiteral("The connection to \"%1\" is remembered twice.")
                                            .arg(record->m_strControllerName)};
                }
            }
        }
    } catch (...) {
        showMessageWithDetails(this, QStringLiteral("Failed to read the setting file."), MsgIcon::Exclamation,
                               FileFailures::details(profile.FileName(), settingsFailure()));
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
    // Writes one value; a refusal ends the save with its reason.
    const auto write = [&profile](const QString& section, const QString& key, const QString& value) {
        if (!profile.WriteString(section, key, value))
            throw SettingsError{FileFailures::refusedWrite(profile.FileName(), section, key)};
    };
    try {
        // Every section goes, those of other writers and any whose name is no text included.
        if (!profile.DeleteAllSections())
            throw SettingsError{FileFailures::refusedWrite(profile.FileName(), QString(), QString())};
        // Paths and connection texts are quoted where a read would change them.
        if (!m_document->filePath().isEmpty())
            write(kSettingSection, QStringLiteral("Path"), clsProfile::Quoted(m_document->filePath()));
        if (!m_state.settings.strLastFolder.isEmpty())
            write(kSettingSection, kLastFolderKey, clsProfile::Quoted(m_state.settings.strLastFolder));
        const QLocale locale = numberLocale();
        write(kFormSection, QStringLiteral("Top"), locale.toString(outerTop()));
        write(kFormSection, QStringLiteral("Left"), locale.toString(outerLeft()));
        write(kFormSection, QStringLiteral("Width"), locale.toString(outerWidth()));
        write(kFormSection, QStringLiteral("Height"), locale.toString(outerHeight()));
        if (const CtrlParameterPtr recent = m_state.settings.colRecent.Item(1)) {
            write(kRecentSection, QStringLiteral("Type"), QString::number(recent->m_lConnectType));
            write(kRecentSection, QStringLiteral("Controller"),
                  clsProfile::Quoted(recent->m_strControllerName));
            write(kRecentSection, QStringLiteral("Provider"), clsProfile::Quoted(recent->m_strProviderName));
            write(kRecentSection, QStringLiteral("Machine"), clsProfile::Quoted(recent->m_strMachineName));
            write(kRecentSection, QStringLiteral("Option"), clsProfile::Quoted(recent->m_strOptionVal));
        }
        // A value the store refuses, or a file that cannot be written, is reported rather
        // than leaving a file that silently lacks it.
        if (!profile.Flush())
            throw SettingsError{FileFailures::failedFlush(profile)};
    } catch (...) {
        profile.DiscardChanges();
        showMessageWithDetails(this, QStringLiteral("Failed to create setting file."), MsgIcon::Exclamation,
                               FileFailures::details(profile.FileName(), settingsFailure()));
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
