#include "storage/SettingsFile.h"

#include "engine/FailureText.h"
#include "storage/FileFailures.h"
#include "storage/TagFileFormat.h"
#include "storage/clsProfile.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace SettingsFile {

namespace {

const QString kSettingSection = QStringLiteral("Setting");
const QString kFormSection = QStringLiteral("Form");
const QString kRecentSection = QStringLiteral("Recent");
const QString kPathKey = QStringLiteral("Path");
// The folder of the file last chosen in a file dialog, where the next dialog starts.
const QString kLastFolderKey = QStringLiteral("LastFolder");
// View > Live Values ("1" when on) and View > Refresh Interval (milliseconds).
const QString kLiveValuesKey = QStringLiteral("LiveValues");
const QString kRefreshIntervalKey = QStringLiteral("RefreshInterval");

// Raised inside the reading and the writing with the reason for the message's details.
struct SettingsError
{
    QString reason;
};

// A window place or size beyond 16 bits of pixels (15 twips each) is more than the window
// system keeps, and larger numbers would overflow on their way to pixels.
constexpr float kMaxWindowTwips = 32767.0f * 15.0f;

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

// A window number of the "Form" section, read as a single-precision number and rounded to
// whole twips.
int windowNumber(clsProfile& profile, const QString& key)
{
    const QString text = profile.GetString(kFormSection, key);
    bool ok = false;
    const float value = numberLocale().toFloat(withoutDirectionMarks(text.trimmed()), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > kMaxWindowTwips) {
        throw SettingsError{
            FileFailures::unreadKey(profile, kFormSection, key, QStringLiteral("a window number in twips"))};
    }
    return qRound(value);
}

CtrlParameterPtr recentRecord(clsProfile& profile)
{
    auto record = std::make_shared<clsCtrlParameter>();
    const std::optional<qint32> type =
        TagFileFormat::toWholeNumber(profile.GetString(kRecentSection, QStringLiteral("Type")));
    if (!type) {
        throw SettingsError{FileFailures::unreadKey(profile, kRecentSection, QStringLiteral("Type"),
                                                    QStringLiteral("a whole number"))};
    }
    record->m_lConnectType = *type;
    record->m_strControllerName = profile.GetString(kRecentSection, QStringLiteral("Controller"));
    record->m_strProviderName = profile.GetString(kRecentSection, QStringLiteral("Provider"));
    record->m_strMachineName = profile.GetString(kRecentSection, QStringLiteral("Machine"));
    record->m_strOptionVal = profile.GetString(kRecentSection, QStringLiteral("Option"));
    return record;
}

// The view's keys are preferences: a value that does not read keeps the view as it was.
void readView(clsProfile& profile, RememberedSettings& settings)
{
    const std::optional<qint32> live =
        TagFileFormat::toWholeNumber(profile.GetString(kSettingSection, kLiveValuesKey));
    if (live && (*live == 0 || *live == 1))
        settings.bLiveValues = *live == 1;
    const std::optional<qint32> interval =
        TagFileFormat::toWholeNumber(profile.GetString(kSettingSection, kRefreshIntervalKey));
    if (interval) {
        settings.lRefreshIntervalMs = std::clamp(*interval, RememberedSettings::kMinRefreshIntervalMs,
                                                 RememberedSettings::kMaxRefreshIntervalMs);
    }
}

void readSection(clsProfile& profile, const QString& section, RememberedSettings& settings)
{
    if (section == kSettingSection) {
        settings.strLastFile = profile.GetString(kSettingSection, kPathKey);
        settings.strLastFolder = profile.GetString(kSettingSection, kLastFolderKey);
        readView(profile, settings);
    } else if (section == kFormSection) {
        settings.place.top = windowNumber(profile, QStringLiteral("Top"));
        settings.place.left = windowNumber(profile, QStringLiteral("Left"));
        settings.place.width = windowNumber(profile, QStringLiteral("Width"));
        settings.place.height = windowNumber(profile, QStringLiteral("Height"));
    } else if (section == kRecentSection) {
        const CtrlParameterPtr record = recentRecord(profile);
        if (!settings.colRecent.Add(record)) {
            throw SettingsError{QStringLiteral("The connection to \"%1\" is remembered twice.")
                                    .arg(record->m_strControllerName)};
        }
    }
}

// Inside a catch block: the reason of the failure being handled.
QString failureReason()
{
    try {
        throw;
    } catch (const SettingsError& e) {
        return e.reason;
    } catch (...) {
        return currentFailureText();
    }
}

// Why no line of the file can hold the path, or "" when one can.
QString unkeptPath(const QString& path)
{
    if (path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')))
        return QStringLiteral("a line break");
    if (path.contains(QChar(u'\0')))
        return QStringLiteral("a NUL character");
    return QString();
}

// Writes one key; a refusal ends the save with its reason.
void writeKey(clsProfile& profile, const QString& section, const QString& key, const QString& value)
{
    if (!profile.WriteString(section, key, value))
        throw SettingsError{FileFailures::refusedWrite(profile.FileName(), section, key)};
}

// Writes a path under "Setting" when there is one and a line of the file can hold it;
// otherwise notes why it was left out. Quoted where a read would change it.
void writePath(clsProfile& profile, const QString& key, const QString& path, const QString& what,
               QStringList& leftOut)
{
    if (path.isEmpty())
        return;
    const QString unkept = unkeptPath(path);
    if (unkept.isEmpty()) {
        writeKey(profile, kSettingSection, key, clsProfile::Quoted(path));
        return;
    }
    leftOut << QStringLiteral("The %1 \"%2\" holds %3, which the setting file cannot keep.")
                   .arg(what, path, unkept);
}

// Written only where they differ from a first run's, so a file of a program that never
// changed them stays as it was.
void writeView(clsProfile& profile, const RememberedSettings& settings)
{
    if (settings.bLiveValues)
        writeKey(profile, kSettingSection, kLiveValuesKey, QStringLiteral("1"));
    if (settings.lRefreshIntervalMs != RememberedSettings::kDefaultRefreshIntervalMs)
        writeKey(profile, kSettingSection, kRefreshIntervalKey, QString::number(settings.lRefreshIntervalMs));
}

void writePlace(clsProfile& profile, const WindowPlace& place)
{
    const QLocale locale = numberLocale();
    const auto writeNumber = [&](const char* key, const std::optional<int>& value) {
        if (value)
            writeKey(profile, kFormSection, QString::fromLatin1(key), locale.toString(*value));
    };
    writeNumber("Top", place.top);
    writeNumber("Left", place.left);
    writeNumber("Width", place.width);
    writeNumber("Height", place.height);
}

void writeRecent(clsProfile& profile, const RecentConnections& recent)
{
    const CtrlParameterPtr record = recent.Item(1);
    if (!record)
        return;
    // Connection texts are quoted where a read would change them.
    writeKey(profile, kRecentSection, QStringLiteral("Type"), QString::number(record->m_lConnectType));
    writeKey(profile, kRecentSection, QStringLiteral("Controller"),
             clsProfile::Quoted(record->m_strControllerName));
    writeKey(profile, kRecentSection, QStringLiteral("Provider"),
             clsProfile::Quoted(record->m_strProviderName));
    writeKey(profile, kRecentSection, QStringLiteral("Machine"),
             clsProfile::Quoted(record->m_strMachineName));
    writeKey(profile, kRecentSection, QStringLiteral("Option"), clsProfile::Quoted(record->m_strOptionVal));
}

} // namespace

QString read(clsProfile& profile, RememberedSettings& settings)
{
    try {
        for (const QString& section : profile.GetSectNames())
            readSection(profile, section, settings);
    } catch (...) {
        return failureReason();
    }
    return QString();
}

SaveOutcome write(clsProfile& profile, const RememberedSettings& settings)
{
    SaveOutcome outcome;
    try {
        // Every section goes, those of other writers and any whose name is no text included.
        if (!profile.DeleteAllSections())
            throw SettingsError{FileFailures::refusedWrite(profile.FileName(), QString(), QString())};
        writePath(profile, kPathKey, settings.strLastFile, QStringLiteral("path of the current file"),
                  outcome.leftOut);
        writePath(profile, kLastFolderKey, settings.strLastFolder, QStringLiteral("last folder"),
                  outcome.leftOut);
        writeView(profile, settings);
        writePlace(profile, settings.place);
        writeRecent(profile, settings.colRecent);
        // A value the store refuses, or a file that cannot be written, is reported rather
        // than leaving a file that silently lacks it.
        if (!profile.Flush())
            throw SettingsError{FileFailures::failedFlush(profile)};
    } catch (...) {
        profile.DiscardChanges();
        return SaveOutcome{failureReason(), {}};
    }
    return outcome;
}

} // namespace SettingsFile
