#include "storage/clsProfile.h"

#include "storage/PrivateProfile.h"
#include "storage/ProfileFileCache.h"
#include "storage/SettingsLocation.h"

#include <optional>

namespace {

// The buffer size handed to the profile function: a value keeps one byte of it for its NUL, so
// values come back cut to 199,998 bytes.
constexpr quint32 kBufferSize = 199999;

bool flushFile(const QString& fileName)
{
    return PrivateProfile::WritePrivateProfileStringA(std::nullopt, std::nullopt, std::nullopt, fileName);
}

} // namespace

clsProfile::clsProfile() : m_strFileName(defaultSettingsFilePath()) {}

clsProfile::~clsProfile()
{
    Flush();
}

QString clsProfile::GetString(const QString& Section, const QString& Key, const QString& defVal)
{
    QByteArray buffer;
    const quint32 count = PrivateProfile::GetPrivateProfileStringA(
        Section.toUtf8(), Key.toUtf8(), defVal.toUtf8(), buffer, kBufferSize, m_strFileName);
    if (count == 0)
        return QString();
    return TrimNulls(QString::fromUtf8(buffer), 0);
}

qint32 clsProfile::GetInt(const QString& Section, const QString& Key, qint32 defVal)
{
    return PrivateProfile::GetPrivateProfileIntA(Section.toUtf8(), Key.toUtf8(), defVal, m_strFileName);
}

QStringList clsProfile::GetSectNames()
{
    QByteArray buffer;
    const quint32 count = PrivateProfile::GetPrivateProfileStringA(std::nullopt, std::nullopt, std::nullopt,
                                                                   buffer, kBufferSize, m_strFileName);
    const QString names = count > 0 ? TrimNulls(QString::fromUtf8(buffer), -1) : QString();
    // The split of an empty text has no pieces.
    if (names.isEmpty())
        return {};
    return names.split(QChar(u'\0'));
}

bool clsProfile::WriteString(const QString& Section, const QString& Key, const QString& Data)
{
    const bool written = PrivateProfile::WritePrivateProfileStringA(Section.toUtf8(), Key.toUtf8(),
                                                                    Data.toUtf8(), m_strFileName);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::DeleteKey(const QString& Section, const QString& Key)
{
    const bool written = PrivateProfile::WritePrivateProfileStringA(Section.toUtf8(), Key.toUtf8(),
                                                                    std::nullopt, m_strFileName);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::DeleteSection(const QString& Section)
{
    const bool written = PrivateProfile::WritePrivateProfileStringA(Section.toUtf8(), std::nullopt,
                                                                    std::nullopt, m_strFileName);
    m_bChangedFile = m_bChangedFile || written;
    return written;
}

bool clsProfile::Flush()
{
    QStringList failed;
    const auto flushed = [&](const QString& fileName) {
        if (flushFile(fileName))
            return true;
        m_strFlushError = ProfileFileCache::instance().lastFlushError();
        return false;
    };
    for (const QString& fileName : std::as_const(m_strEarlierFiles)) {
        if (!flushed(fileName))
            failed.append(fileName);
    }
    m_strEarlierFiles = failed;
    return flushed(m_strFileName) && failed.isEmpty();
}

void clsProfile::DiscardChanges()
{
    for (const QString& fileName : std::as_const(m_strEarlierFiles))
        ProfileFileCache::instance().discard(fileName);
    ProfileFileCache::instance().discard(m_strFileName);
    m_strEarlierFiles.clear();
    m_bChangedFile = false;
}

void clsProfile::setFileName(const QString& FileName)
{
    // Changes made to the old file are still written by Flush.
    if (m_bChangedFile && FileName != m_strFileName && !m_strEarlierFiles.contains(m_strFileName))
        m_strEarlierFiles.append(m_strFileName);
    m_bChangedFile = false;
    m_strFileName = FileName;
}

QString clsProfile::TrimNulls(QString text, int mode)
{
    if (mode == 0) {
        const qsizetype end = text.indexOf(QChar(u'\0'));
        if (end >= 0)
            text.truncate(end);
    } else if (mode < 0) {
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1) == QChar(u'\0'))
            --end;
        text.truncate(end);
    }
    return text;
}
