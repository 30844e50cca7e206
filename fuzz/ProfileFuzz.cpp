// Arbitrary bytes as an INI file: every section and key is read through clsProfile, then two
// values are written (one read from the file, one made of the input's bytes as UTF-16 text),
// the file is flushed and read again: every value reads as before, the written ones as
// written, and a store that refuses a write has its reason. Last, every section is removed.

#include "fuzz/FuzzCheck.h"
#include "storage/PrivateProfile.h"
#include "storage/ProfileFileCache.h"
#include "storage/ProfileText.h"
#include "storage/clsProfile.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

const QString kFile = QStringLiteral("/fuzz/profile.ini");
// Enough to reach every kind of line without letting one input run for long.
constexpr qsizetype kMaxSections = 16;
constexpr qsizetype kMaxKeys = 32;
// Values read may have been cut at the store's limit; shorter ones are written back whole.
constexpr qsizetype kWholeValue = 1000;

struct Value
{
    QString section;
    QString key;
    QString text;
};

QStringList keysOf(const QString& section)
{
    QByteArray buffer;
    const quint32 count = PrivateProfile::GetPrivateProfileStringA(
        ProfileText::fromString(section), std::nullopt, QByteArray(), buffer, 199999, kFile);
    QStringList keys;
    for (const QByteArray& key : buffer.left(count).split('\0')) {
        if (!key.isEmpty() && keys.size() < kMaxKeys)
            keys.append(ProfileText::toString(key));
    }
    return keys;
}

QList<Value> readAll(clsProfile& profile)
{
    QList<Value> values;
    const QStringList sections = profile.GetSectNames();
    for (const QString& section : sections.mid(0, kMaxSections)) {
        for (const QString& key : keysOf(section)) {
            values.append({section, key, profile.GetString(section, key)});
            profile.GetInt(section, key, 7);
        }
    }
    return values;
}

// Names match as the store matches them: without blanks and tabs around them, ASCII letters in
// either case.
bool sameName(QStringView a, QStringView b)
{
    const auto trimmed = [](QStringView name) {
        while (!name.isEmpty() && (name.front() == u' ' || name.front() == u'\t'))
            name = name.sliced(1);
        while (!name.isEmpty() && (name.back() == u' ' || name.back() == u'\t'))
            name.chop(1);
        return name;
    };
    const auto fold = [](QChar c) { return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c; };
    a = trimmed(a);
    b = trimmed(b);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](QChar x, QChar y) { return fold(x) == fold(y); });
}

bool holdsLineBreakOrNul(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(u'\0'));
}

// Writes `text` under `key`; a refusal must have its reason. True when it was written.
bool write(clsProfile& profile, const QString& section, const QString& key, const QString& text)
{
    const QString stored = clsProfile::Quoted(text);
    const bool written = profile.WriteString(section, key, stored);
    if (!written) {
        // The lines the write adds: a header for a new section, the key line.
        const bool reason = holdsLineBreakOrNul(section) || holdsLineBreakOrNul(stored) ||
                            !profile.EncodingHolds(QLatin1Char('[') + section.trimmed() + QLatin1Char(']')) ||
                            !profile.EncodingHolds(key + QLatin1Char('=') + stored);
        FUZZ_CHECK(reason);
    }
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Files that are not UTF-8 are read in a multi-byte code page or in a single-byte one.
    qputenv("QUOR_ANSI_CODEPAGE", size % 2 == 0 ? "CP1252" : "CP932");
    ProfileFileCache::instance().setMemoryFile(kFile, bytes);

    QList<Value> expected;
    QStringList sectionsBefore;
    {
        clsProfile profile;
        profile.setFileName(kFile);
        sectionsBefore = profile.GetSectNames();
        expected = readAll(profile);

        const QString section = sectionsBefore.value(0, QStringLiteral("Fuzz"));
        const auto keep = [&](const QString& key, const QString& text) {
            // The key may have been read already, in any letter case, even more than once.
            bool known = false;
            for (Value& value : expected) {
                if (sameName(value.section, section) && sameName(value.key, key)) {
                    value.text = text;
                    known = true;
                }
            }
            if (!known)
                expected.append({section, key, text});
        };
        // Text read from the file goes back into it, unless the line it would need cannot.
        const QString read = expected.isEmpty() ? section : expected.first().text;
        if (read.size() < kWholeValue && write(profile, section, QStringLiteral("FuzzRead"), read))
            keep(QStringLiteral("FuzzRead"), read);
        const QString raw = QString::fromUtf16(reinterpret_cast<const char16_t*>(data),
                                               qsizetype(qMin<std::size_t>(size / 2, 64)));
        if (write(profile, section, QStringLiteral("FuzzRaw"), raw))
            keep(QStringLiteral("FuzzRaw"), raw);
        FUZZ_CHECK(profile.Flush());
    }
    {
        clsProfile profile;
        profile.setFileName(kFile);
        const QStringList sectionsAfter = profile.GetSectNames();
        if (!readsAsUtf8Now(bytes, ProfileFileCache::instance().memoryFile(kFile))) {
            FUZZ_CHECK(sectionsAfter.mid(0, sectionsBefore.size()) == sectionsBefore);
            for (const Value& value : std::as_const(expected))
                FUZZ_CHECK(profile.GetString(value.section, value.key) == value.text);
        }
        FUZZ_CHECK(profile.DeleteAllSections());
        FUZZ_CHECK(profile.Flush());
    }
    clsProfile emptied;
    emptied.setFileName(kFile);
    FUZZ_CHECK(emptied.GetSectNames().isEmpty());
    return 0;
}
