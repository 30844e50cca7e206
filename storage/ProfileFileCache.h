#pragma once

#include "storage/IniDocument.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <unordered_map>

// What identifies one state of a file on disk: a file replaced or rewritten by another program
// differs in at least one of these.
struct FileStamp
{
    bool exists = false;
    quint32 type = 0; // the file type bits of the mode
    qint64 size = 0;
    qint64 modifiedSec = 0;
    qint64 modifiedNsec = 0;
    qint64 changedSec = 0;
    qint64 changedNsec = 0;
    quint64 inode = 0;
    quint64 device = 0;

    static FileStamp ofPath(const QByteArray& nativePath);
    bool operator==(const FileStamp&) const = default;
};

// The parsed copy of each INI file the profile functions use. A copy is checked against its
// file on disk when it is opened and read anew when the file changed, unless the copy holds
// changes of its own: those stay until a flush writes them over the file. A copy that someone
// holds (a clsProfile for the length of one procedure) is not checked again until it is
// flushed; once nobody holds it and it holds no changes it is dropped. Used from one thread.
class ProfileFileCache final
{
public:
    struct Entry
    {
        QString key; // the absolute file name
        QByteArray nativePath;
        IniDocument document;
        FileStamp stamp;
        bool loaded = false;
        bool changed = false; // holds changes the file does not have yet
        bool keepOut = false; // an unreadable or huge file, a device or a pipe: never written over
    };
    using Handle = std::shared_ptr<Entry>;

    static ProfileFileCache& instance();

    // The copy of a file, checked against the disk now; nullptr for an empty file name.
    Handle open(const QString& fileName);
    // The same for a caller that keeps no handle; valid until the next call.
    Entry* entry(const QString& fileName);
    // Reads the file again when a discard emptied the copy.
    void ensureLoaded(Entry& entry);
    // Gives up a handle; the copy is dropped when nobody else holds it and it holds no changes.
    void release(Handle& handle);

    // Writes a changed copy over its file through a temporary file beside it, so the file is
    // either the old one or the new one, never half written. Looks at the file first: a device
    // or a pipe that took its place is never replaced. True when the file holds the copy (also
    // when there was nothing to write); on failure the copy keeps its changes.
    bool flush(Entry& entry);
    bool flush(const QString& fileName);
    // Drops the changes a copy holds; its next use reads the file as it is on disk.
    void discard(Entry& entry);
    // Why the last flush that failed could not write its file, in the system's words.
    QString lastFlushError() const { return m_lastFlushError; }

    // Keeps a file in memory in place of the disk, so the store can be driven from bytes
    // alone (the fuzz targets do). Flushes write to that memory.
    void setMemoryFile(const QString& fileName, const QByteArray& bytes);
    QByteArray memoryFile(const QString& fileName) const;
    // The disk serves that name again.
    void removeMemoryFile(const QString& fileName);
    void clearMemoryFiles();

private:
    ProfileFileCache() = default;
    const Handle& find(const QString& fileName);
    void refresh(Entry& entry);
    void dropUnheldCopies();
    FileStamp stampOf(const Entry& entry) const;
    void load(Entry& entry, const FileStamp& stamp);
    bool write(Entry& entry);

    struct MemoryFile
    {
        QByteArray bytes;
        qint64 generation = 0;
    };

    std::unordered_map<QString, Handle> m_entries;
    std::unordered_map<QString, MemoryFile> m_memoryFiles;
    qint64 m_memoryGeneration = 0;
    QString m_lastName;
    const Handle* m_last = nullptr; // the map's element for m_lastName
    QString m_lastFlushError;
};
