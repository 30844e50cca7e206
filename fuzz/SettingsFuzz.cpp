// Arbitrary bytes as the application settings file, read by the window at its start. What it
// read, saved again without a message, reads back the same: the last file and the remembered
// connection.

#include "app/modMain.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzWindow.h"
#include "platform/AppInfo.h"
#include "storage/ProfileFileCache.h"
#include "storage/SettingsLocation.h"

#include <QDir>
#include <cstdint>

namespace {

QString g_settingsFile;

// What the settings reader leaves behind.
QStringList readState()
{
    QStringList state{FuzzWindow::start(nullptr, nullptr).document().filePath()};
    if (const CtrlParameterPtr recent = FuzzWindow::state().settings.colRecent.Item(1))
        state << QString::number(recent->m_lConnectType) << recent->m_strControllerName
              << recent->m_strProviderName << recent->m_strMachineName << recent->m_strOptionVal;
    return state;
}

QStringList load(frmMain& window)
{
    FuzzWindow::state().settings.colRecent.Clear();
    window.document().setFilePath(QString());
    window.LoadAppSettings();
    return readState();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzWindow::start(argc, argv);
    // A folder that exists and can be written, so the settings file is named without creating one.
    AppInfo::setApplicationDirectoryOverride(QDir::tempPath());
    g_settingsFile = defaultSettingsFilePath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    frmMain& window = FuzzWindow::start(nullptr, nullptr);
    FuzzWindow::dialogs().clear();
    qputenv("QUOR_ANSI_CODEPAGE", size % 2 == 0 ? "CP1252" : "CP932");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ProfileFileCache::instance().setMemoryFile(g_settingsFile, bytes);
    const qsizetype shownBefore = FuzzWindow::dialogs().shown().size();
    const QStringList state = load(window);
    // A file read with a failure is not expected to be whole; what was read is.
    const bool readWhole = FuzzWindow::dialogs().shown().size() == shownBefore;

    const qsizetype shownBeforeSave = FuzzWindow::dialogs().shown().size();
    window.SaveAppSettings();
    if (FuzzWindow::dialogs().shown().size() != shownBeforeSave)
        return 0;
    const QStringList again = load(window);
    if (readWhole && !readsAsUtf8Now(bytes, ProfileFileCache::instance().memoryFile(g_settingsFile)))
        FUZZ_CHECK(again == state);
    FUZZ_CHECK(FuzzWindow::dialogs().shown().size() == shownBeforeSave);
    return 0;
}
