#include "storage/clsProfile.h"

#include "storage/PrivateProfile.h"
#include "storage/ProfileText.h"
#include "storage/SettingsLocation.h"
#include "tags/StoredRowLength.h"

#include <cstring>

namespace {

// The buffer size handed to the profile function: a value keeps one byte of it for its NUL, so
// values come back cut to 199,998 bytes, the longest tag row a file holds.
constexpr quint32 kBufferSize = quint32(kMostStoredRowBytes) + 1;

// What a value copied into that buffer reads as: at most 199,998 bytes, up to its first NUL.
QByteArrayView asCopied(QByteArrayView value)
{
    value = value.first(qMin(value.size(), qsizetype(kBufferSize) - 1));
    if (const void* nul = std::memchr(value.data(), '\0', size_t(value.size())))
        value = value.first(static_cast<const char*>(nul) - value.data());
    return value;
}

} // namespace

clsProfile::clsProfile() = default;

clsProfile::~clsProfile()
{
    Flush();
    ProfileFileCache& cache = ProfileFileCache::instance();
    for (ProfileFileCache::Handle& earlier : m_earlierFiles)
        cache.release(earlier);
    cache.release(m_file);
}

QString clsProfile::GetString(const QString& Section, const QString& Key, const QString& defVal)
{
    if (const ProfileFileCache::Entry* copy = file()) {
        if (const std::optional<QByteArrayView> value =
                copy->document.value(sectionText(Section), keyText(Key)))
            return valueText(asCopied(*value));
    }
    if (defVal.isEmpty())
        return QString();
    const QByteArray text = ProfileText::fromString(defVal);
    return valueText(asCopied(PrivateProfile::cleanedDefault(text)));
}

qsizetype clsProfile::ValueBytes(const QString& Section, const QString& Key)
{
    if (const ProfileFileCache::Entry* copy = file()) {
        if (const std::optional<QByteArrayView> value =
                copy->document.value(sectionText(Section), keyText(Key)))
            return value->size();
    }
    return -1;
}

qint32 clsProfile::GetInt(const QString& Section, const QString& Key, qint32 defVal)
{
    const ProfileFileCache::Entry* copy = file();
    const std::optional<QByteArrayView> value =
        copy ? copy->document.value(sectionText(Section), keyText(Key)) : std::nullopt;
    if (!value || value->isEmpty())
        return defVal;
    return PrivateProfile::toInteger(asCopied(*value));
}

QStringList clsProfile::GetSectNames()
{
    QByteArray buffer;
    const quint32 count =
        PrivateProfile::getString(file(), std::nullopt, std::nullopt, std::nullopt, buffer, kBufferSize);
    // The list without its trailing NULs, split at every NUL.
    qsizetype end = count > 0 ? buffer.size() : 0;
    while (end > 0 && buffer[end - 1] == '\0')
        --end;
    // The split of an empty text has no pieces.
    if (end == 0)
        return {};
    return valueText(QByteArrayView(buffer).first(end)).split(QChar(u'\0'));
}

bool clsProfile::WriteString(const QString& Section, const QString& Key, const QString& Data)
{
    ProfileFileCache::Entry* copy = file();
    if (!copy)
        return false;
    const bool valuePlain = ProfileText::assign(Data, m_value);
    const QByteArrayView section = sectionText(Section);
    const QByteArrayView key = keyText(Key);
    const bool written = PrivateProfile::writeInto(*copy, section, key, QByteArrayView(m_value),
                                                   m_sectionPlain && m_keyPlain && valuePlain);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::DeleteKey(const QString& Section, const QString& Key)
{
    ProfileFileCache::Entry* copy = file();
    const bool written =
        copy && PrivateProfile::writeInto(*copy, sectionText(Section), keyText(Key), std::nullopt);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::DeleteSection(const QString& Section)
{
    ProfileFileCache::Entry* copy = file();
    const bool written =
        copy && PrivateProfile::writeInto(*copy, sectionText(Section), std::nullopt, std::nullopt);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::DeleteAllSections()
{
    ProfileFileCache::Entry* copy = file();
    const bool written = copy && PrivateProfile::clearInto(*copy);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::Flush()
{
    ProfileFileCache& cache = ProfileFileCache::instance();
    const auto flushed = [&](bool written) {
        if (!written)
            m_strFlushError = cache.lastFlushError();
        return written;
    };
    // Earlier files that are written are given up; a failed one stays for another try.
    bool earlierFlushed = true;
    std::erase_if(m_earlierFiles, [&](ProfileFileCache::Handle& earlier) {
        if (!flushed(cache.flush(*earlier))) {
            earlierFlushed = false;
            return false;
        }
        cache.release(earlier);
        return true;
    });
    return flushed(m_file ? cache.flush(*m_file) : cache.flush(FileName())) && earlierFlushed;
}

void clsProfile::DiscardChanges()
{
    ProfileFileCache& cache = ProfileFileCache::instance();
    for (ProfileFileCache::Handle& earlier : m_earlierFiles) {
        cache.discard(*earlier);
        cache.release(earlier);
    }
    m_earlierFiles.clear();
    if (m_file)
        cache.discard(*m_file);
    m_bChangedFile = false;
}

bool clsProfile::EncodingHolds(const QString& text)
{
    const ProfileFileCache::Entry* copy = file();
    return !copy || copy->document.encoding().holds(ProfileText::fromString(text) + "\r\n");
}

QString clsProfile::EncodingName()
{
    const ProfileFileCache::Entry* copy = file();
    return QString::fromLatin1(copy ? copy->document.encoding().name() : FileEncoding().name());
}

FileEncoding clsProfile::Encoding()
{
    const ProfileFileCache::Entry* copy = file();
    return copy ? copy->document.encoding() : FileEncoding();
}

QByteArray clsProfile::TextAsRead()
{
    const ProfileFileCache::Entry* copy = file();
    return copy ? copy->document.textAsRead() : QByteArray();
}

QString clsProfile::FileName() const
{
    return m_strFileName.isNull() ? defaultSettingsFilePath() : m_strFileName;
}

void clsProfile::setFileName(const QString& FileName)
{
    // An empty name is a name (of no file), not the default.
    const QString name = FileName.isNull() ? QStringLiteral("") : FileName;
    if (!m_strFileName.isNull() && name == m_strFileName)
        return;
    // Changes made to the old file are still written by Flush.
    if (m_file && m_bChangedFile)
        m_earlierFiles.push_back(std::move(m_file));
    ProfileFileCache::instance().release(m_file);
    m_bChangedFile = false;
    m_strFileName = name;
}

QString clsProfile::Quoted(const QString& text)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    const auto isQuote = [](QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); };
    const bool enclosed = text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
    if (text.isEmpty() || !(isBlank(text.front()) || isBlank(text.back()) || enclosed))
        return text;
    return QLatin1Char('"') + text + QLatin1Char('"');
}

ProfileFileCache::Entry* clsProfile::file()
{
    ProfileFileCache& cache = ProfileFileCache::instance();
    if (!m_file) {
        if (m_strFileName.isNull())
            m_strFileName = defaultSettingsFilePath();
        m_file = cache.open(m_strFileName);
    } else if (!m_file->loaded)
        cache.ensureLoaded(*m_file);
    return m_file.get();
}

QByteArrayView clsProfile::sectionText(const QString& Section)
{
    // Callers ask for one section many times in a row: it is converted once.
    if (Section != m_strSection) {
        m_strSection = Section;
        m_sectionPlain = ProfileText::assign(Section, m_section);
    }
    return m_section;
}

QByteArrayView clsProfile::keyText(const QString& Key)
{
    m_keyPlain = ProfileText::assign(Key, m_key);
    return m_key;
}

QString clsProfile::valueText(QByteArrayView value) const
{
    return ProfileText::toString(value, !m_file || m_file->document.encoding().mayHoldSurrogates());
}
