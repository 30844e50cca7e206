// Arbitrary bytes as the application settings file, read through the settings file code. What
// it read, with the whole window place as the window saves it, is written again without a
// failure and reads back the same: the last file, the last folder, the window place and the
// remembered connection.

#include "fuzz/FuzzCheck.h"
#include "storage/ProfileFileCache.h"
#include "storage/SettingsFile.h"
#include "storage/clsProfile.h"

#include <QStringList>
#include <cstdint>

namespace {

const QString kFile = QStringLiteral("/fuzz/QuorTagEditor.ini");

// What the settings file keeps of what was read.
QStringList keptOf(const RememberedSettings& settings)
{
    const WindowPlace& place = settings.place;
    QStringList kept{settings.strLastFile, settings.strLastFolder};
    for (const std::optional<int>& value : {place.top, place.left, place.width, place.height})
        kept << (value ? QString::number(*value) : QStringLiteral("unset"));
    if (const CtrlParameterPtr recent = settings.colRecent.Item(1))
        kept << QString::number(recent->m_lConnectType) << recent->m_strControllerName
             << recent->m_strProviderName << recent->m_strMachineName << recent->m_strOptionVal;
    return kept;
}

QString read(RememberedSettings& settings)
{
    clsProfile profile;
    profile.setFileName(kFile);
    return SettingsFile::read(profile, settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qputenv("QUOR_ANSI_CODEPAGE", size % 2 == 0 ? "CP1252" : "CP932");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ProfileFileCache::instance().setMemoryFile(kFile, bytes);
    RememberedSettings settings;
    // A file read with a failure is not expected to be whole; what was read is.
    const bool readWhole = read(settings).isEmpty();
    // The window saves its place whether or not the file had one.
    WindowPlace& place = settings.place;
    for (std::optional<int>* value : {&place.top, &place.left, &place.width, &place.height})
        *value = value->value_or(0);
    const QStringList kept = keptOf(settings);

    clsProfile profile;
    profile.setFileName(kFile);
    const SettingsFile::SaveOutcome outcome = SettingsFile::write(profile, settings);
    // Paths read from a line of the file fit on one again.
    FUZZ_CHECK(outcome.leftOut.isEmpty());
    if (!outcome.failure.isEmpty())
        return 0;
    RememberedSettings again;
    FUZZ_CHECK(read(again).isEmpty());
    if (readWhole && !readsAsUtf8Now(bytes, ProfileFileCache::instance().memoryFile(kFile)))
        FUZZ_CHECK(keptOf(again) == kept);
    return 0;
}
