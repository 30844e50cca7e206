#include "storage/ProfileFileCache.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <limits>
#include <sys/stat.h>

namespace {

// Copies of files nobody holds or changed are dropped beyond this many.
constexpr size_t kMaxCopies = 8;
const QString kUnencodable = QStringLiteral("The file's character encoding cannot hold its text.");
// A larger file is not read: the store keeps line lengths and positions in 32 bits.
constexpr qint64 kMaxFileSize = std::numeric_limits<qint32>::max();

FileStamp stampOfStat(int result, const struct stat& info)
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
    return stampOfStat(result, info);
}

ProfileFileCache& ProfileFileCache::instance()
{
    static ProfileFileCache cache;
    return cache;
}

ProfileFileCache::Handle ProfileFileCache::open(const QString& fileName)
{
    if (fileName.isEmpty())
        return nullptr;
    const Handle& found = find(fileName);
    refresh(*found);
    return found;
}

ProfileFileCache::Entry* ProfileFileCache::entry(const QString& fileName)
{
    if (fileName.isEmpty())
        return nullptr;
    Entry* found = find(fileName).get();
    refresh(*found);
    return found;
}

void ProfileFileCache::ensureLoaded(Entry& entry)
{
    if (!entry.loaded)
        refresh(entry);
}

void ProfileFileCache::release(Handle& handle)
{
    if (!handle)
        return;
    const QString key = handle->key;
    handle.reset();
    const auto found = m_entries.find(key);
    if (found == m_entries.end() || found->second->changed || found->second.use_count() > 1)
        return;
    if (m_last == &found->second)
        m_last = nullptr;
    m_entries.erase(found);
}

bool ProfileFileCache::flush(Entry& entry)
{
    if (!entry.changed)
        return true;
    const FileStamp now = stampOf(entry);
    if (entry.keepOut || (now.exists && now.type != S_IFREG && now.type != S_IFDIR)) {
        m_lastFlushError = QStringLiteral("It is not a regular file, so it is not written over.");
        return false;
    }
    if (!write(entry))
        return false;
    entry.changed = false;
    entry.stamp = stampOf(entry);
    return true;
}

bool ProfileFileCache::flush(const QString& fileName)
{
    if (fileName.isEmpty()) {
        m_lastFlushError = QStringLiteral("No file name was given.");
        return false;
    }
    const auto found = m_entries.find(absoluteName(fileName));
    return found == m_entries.end() || flush(*found->second);
}

void ProfileFileCache::discard(Entry& entry)
{
    entry.changed = false;
    entry.loaded = false;
    entry.document = IniDocument();
}

void ProfileFileCache::setMemoryFile(const QString& fileName, const QByteArray& bytes)
{
    m_memoryFiles[absoluteName(fileName)] = MemoryFile{bytes, ++m_memoryGeneration};
}

QByteArray ProfileFileCache::memoryFile(const QString& fileName) const
{
    const auto found = m_memoryFiles.find(absoluteName(fileName));
    return found == m_memoryFiles.end() ? QByteArray() : found->second.bytes;
}

void ProfileFileCache::removeMemoryFile(const QString& fileName)
{
    m_memoryFiles.erase(absoluteName(fileName));
}

void ProfileFileCache::clearMemoryFiles()
{
    m_memoryFiles.clear();
}

const ProfileFileCache::Handle& ProfileFileCache::find(const QString& fileName)
{
    // Most calls name the file of the call before; a relative name may mean another file
    // once the current folder changes.
    if (m_last && fileName == m_lastName && fileName.startsWith(QLatin1Char('/')))
        return *m_last;
    const QString key = absoluteName(fileName);
    auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        if (m_entries.size() >= kMaxCopies)
            dropUnheldCopies();
        auto created = std::make_shared<Entry>();
        created->key = key;
        created->nativePath = QFile::encodeName(key);
        found = m_entries.emplace(key, std::move(created)).first;
    }
    m_lastName = fileName;
    m_last = &found->second;
    return found->second;
}

void ProfileFileCache::refresh(Entry& entry)
{
    if (entry.changed)
        return;
    const FileStamp stamp = stampOf(entry);
    if (!entry.loaded || stamp != entry.stamp)
        load(entry, stamp);
}

void ProfileFileCache::dropUnheldCopies()
{
    std::erase_if(m_entries,
                  [](const auto& item) { return !item.second->changed && item.second.use_count() == 1; });
    m_last = nullptr;
}

FileStamp ProfileFileCache::stampOf(const Entry& entry) const
{
    const auto memory = m_memoryFiles.find(entry.key);
    if (memory == m_memoryFiles.end())
        return FileStamp::ofPath(entry.nativePath);
    FileStamp stamp;
    stamp.exists = true;
    stamp.type = S_IFREG;
    stamp.size = memory->second.bytes.size();
    stamp.modifiedSec = memory->second.generation;
    return stamp;
}

void ProfileFileCache::load(Entry& entry, const FileStamp& stamp)
{
    entry.loaded = true;
    entry.keepOut = false;
    entry.stamp = stamp;
    entry.document = IniDocument();
    if (const auto memory = m_memoryFiles.find(entry.key); memory != m_memoryFiles.end()) {
        entry.document = IniDocument::fromBytes(memory->second.bytes);
        return;
    }
    // Anything but a regular file reads as an empty file (opening a pipe would block). A folder
    // cannot be replaced, so its flush fails; a device or a pipe must not be replaced at all.
    if (!stamp.exists || stamp.type == S_IFDIR)
        return;
    if (stamp.type != S_IFREG || stamp.size > kMaxFileSize) {
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
    if (result != 0 || file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize) {
        entry.keepOut = true;
        return;
    }
    entry.stamp = stampOfStat(result, info);
    entry.document = IniDocument::fromBytes(bytes);
}

bool ProfileFileCache::write(Entry& entry)
{
    if (const auto memory = m_memoryFiles.find(entry.key); memory != m_memoryFiles.end()) {
        const std::optional<QByteArray> bytes = entry.document.toBytes();
        if (!bytes) {
            m_lastFlushError = kUnencodable;
            return false;
        }
        memory->second = MemoryFile{*bytes, ++m_memoryGeneration};
        return true;
    }
    // Unbuffered, so that a short write (a full disk) is seen here: a buffered QSaveFile lets
    // it pass and commits the cut file. After a short write the next one fails with the
    // system's reason.
    QSaveFile file(QFile::decodeName(entry.nativePath));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_lastFlushError = file.errorString();
        return false;
    }
    bool systemFailed = false;
    const bool written = entry.document.writeTo([&](QByteArrayView bytes) {
        for (qsizetype done = 0; done < bytes.size();) {
            const qint64 count = file.write(bytes.data() + done, bytes.size() - done);
            if (count <= 0) {
                systemFailed = true;
                return false;
            }
            done += qsizetype(count);
        }
        return true;
    });
    if (!written) {
        m_lastFlushError = systemFailed ? file.errorString() : kUnencodable;
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_lastFlushError = file.errorString();
        return false;
    }
    return true;
}
