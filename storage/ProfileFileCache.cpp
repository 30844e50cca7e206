#include "storage/ProfileFileCache.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <sys/stat.h>

namespace {

// Copies of files nobody changed are dropped beyond this many.
constexpr size_t kMaxCopies = 8;

FileStamp stampOf(int result, const struct stat& info)
{
    FileStamp stamp;
    if (result != 0)
        return stamp;
    stamp.exists = true;
    stamp.type = info.st_mode & S_IFMT;
    stamp.size = info.st_size;
    stamp.modifiedSec = info.st_mtim.tv_sec;
    stamp.modifiedNsec = info.st_mtim.tv_nsec;
    stamp.changedSec = info.st_ctim.tv_sec;
    stamp.changedNsec = info.st_ctim.tv_nsec;
    stamp.inode = info.st_ino;
    stamp.device = info.st_dev;
    return stamp;
}

QString absoluteName(const QString& fileName)
{
    return QDir::cleanPath(QDir::isAbsolutePath(fileName) ? fileName
                                                          : QDir::current().absoluteFilePath(fileName));
}

} // namespace

FileStamp FileStamp::ofPath(const QByteArray& nativePath)
{
    struct stat info = {};
    const int result = ::stat(nativePath.constData(), &info);
    return stampOf(result, info);
}

ProfileFileCache& ProfileFileCache::instance()
{
    static ProfileFileCache cache;
    return cache;
}

ProfileFileCache::Entry* ProfileFileCache::entry(const QString& fileName)
{
    Entry* found = find(fileName);
    if (!found || found->changed)
        return found;
    const FileStamp stamp = FileStamp::ofPath(found->nativePath);
    if (!found->loaded || stamp != found->stamp)
        load(*found, stamp);
    return found;
}

bool ProfileFileCache::flush(const QString& fileName)
{
    Entry* found = find(fileName);
    if (!found) {
        m_lastFlushError = QStringLiteral("No file name was given.");
        return false;
    }
    if (!found->changed)
        return true;
    QSaveFile file(QFile::decodeName(found->nativePath));
    // Unbuffered, so that a write the system cuts short (a full disk) is seen here and the
    // old file stays rather than being replaced by a truncated one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_lastFlushError = file.errorString();
        return false;
    }
    const QByteArray bytes = found->document.toBytes();
    qint64 written = 0;
    while (written < bytes.size()) {
        // After a short write the next one fails with the system's reason.
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            m_lastFlushError = file.errorString();
            file.cancelWriting();
            return false;
        }
        written += count;
    }
    if (!file.commit()) {
        m_lastFlushError = file.errorString();
        return false;
    }
    found->changed = false;
    found->stamp = FileStamp::ofPath(found->nativePath);
    return true;
}

void ProfileFileCache::discard(const QString& fileName)
{
    Entry* found = find(fileName);
    if (!found)
        return;
    found->changed = false;
    found->loaded = false;
}

ProfileFileCache::Entry* ProfileFileCache::find(const QString& fileName)
{
    if (fileName.isEmpty())
        return nullptr;
    // Most calls name the file of the call before; a relative name may mean another file
    // once the current folder changes.
    if (m_last && fileName == m_lastName && fileName.startsWith(QLatin1Char('/')))
        return m_last;
    const QString key = absoluteName(fileName);
    auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        if (m_entries.size() >= kMaxCopies)
            dropUnchangedCopies();
        auto created = std::make_unique<Entry>();
        created->nativePath = QFile::encodeName(key);
        found = m_entries.emplace(key, std::move(created)).first;
    }
    m_lastName = fileName;
    m_last = found->second.get();
    return m_last;
}

void ProfileFileCache::dropUnchangedCopies()
{
    std::erase_if(m_entries, [](const auto& item) { return !item.second->changed; });
    m_last = nullptr;
}

void ProfileFileCache::load(Entry& entry, const FileStamp& stamp)
{
    entry.loaded = true;
    entry.keepOut = false;
    entry.stamp = stamp;
    entry.document = IniDocument::fromBytes({});
    // Anything but a regular file reads as an empty file (opening a pipe would block). A folder
    // cannot be replaced, so its flush fails; a device or a pipe must not be replaced at all.
    if (!stamp.exists || stamp.type == S_IFDIR)
        return;
    if (stamp.type != S_IFREG) {
        entry.keepOut = true;
        return;
    }
    QFile file(QFile::decodeName(entry.nativePath));
    if (!file.open(QIODevice::ReadOnly)) {
        entry.keepOut = true;
        return;
    }
    // The stamp of the file actually read, in case it was replaced since the look-up.
    struct stat info = {};
    const int result = ::fstat(file.handle(), &info);
    const QByteArray bytes = file.readAll();
    if (result != 0 || file.error() != QFileDevice::NoError) {
        entry.keepOut = true;
        return;
    }
    entry.stamp = stampOf(result, info);
    entry.document = IniDocument::fromBytes(bytes);
}
