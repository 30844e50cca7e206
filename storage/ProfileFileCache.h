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

// The parsed copy of each INI file the profile functions use. Before each use a copy is
// checked against its file on disk and read anew when the file changed, unless the copy
// holds changes of its own: those stay until a flush writes them over the file. Used from one
// thread only.
class ProfileFileCache final
{
public:
    struct Entry
    {
        QByteArray nativePath;
        IniDocument document;
        FileStamp stamp;
        bool loaded = false;
        bool changed = false; // holds changes the file does not have yet
        bool keepOut = false; // an unreadable file, a device or a pipe: never written over
    };

    static ProfileFileCache& instance();

    // The up-to-date copy of a file; nullptr for an empty file name. Valid until the next call.
    Entry* entry(const QString& fileName);
    // Writes a changed copy over its file through a temporary file beside it, so the file is
    // either the old one or the new one, never half written. True when the file holds the copy
    // (also when there was nothing to write); on failure the copy keeps its changes.
    bool flush(const QString& fileName);
    // Why the last flush that failed could not write its file, in the system's words.
    QString lastFlushError() const { return m_lastFlushError; }
    // Drops the changes a copy holds; the next use reads the file as it is on disk.
    void discard(const QString& fileName);

private:
    ProfileFileCache() = default;
    Entry* find(const QString& fileName);
    void dropUnchangedCopies();
    static void load(Entry& entry, const FileStamp& stamp);

    std::unordered_map<QString, std::unique_ptr<Entry>> m_entries;
    QString m_lastName;
    Entry* m_last = nullptr;
    QString m_lastFlushError;
};
