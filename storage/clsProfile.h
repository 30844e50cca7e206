#pragma once

#include "storage/ProfileFileCache.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

// The program's way into INI files: single values by section and key, the list of sections,
// removal of keys and sections. Every operation is the work of one profile function
// (storage/PrivateProfile.h) on the file named by FileName, by default the application
// settings file. Text is stored as UTF-8, or in the code page of a file written in one.
//
// An instance lives within one procedure: it checks its file against the disk when it first
// touches it and before its flush, not at every call, so another program's change is seen by
// the next procedure. Writes change the store's copy of the file; Flush writes it, and the
// instance flushes when it is destroyed. The copy is dropped when the last instance holding it
// is released with nothing left to write.
//
// All text arguments are passed as present text: a null QString counts as empty text, never
// as an absent argument, so a value that happens to be null cannot delete a key. Deletion,
// the section list and the flush have operations of their own.
class clsProfile final
{
public:
    clsProfile();
    ~clsProfile();
    Q_DISABLE_COPY_MOVE(clsProfile)

    // The key's value; defVal when the file, the section or the key is missing. A key present
    // with an empty value reads as empty whatever defVal is. At most 199,998 bytes of UTF-8.
    QString GetString(const QString& Section, const QString& Key, const QString& defVal = QString());
    // The bytes of the key's value as the store keeps it, before GetString cuts it; -1 when the
    // file, the section or the key is missing.
    qsizetype ValueBytes(const QString& Section, const QString& Key);
    // The key's value as a decimal integer (its leading digits); defVal when it is missing.
    qint32 GetInt(const QString& Section, const QString& Key, qint32 defVal = 0);
    // The section names in file order; empty when the file is missing or has no section.
    QStringList GetSectNames();

    // True when the store took the write. False, and the file unchanged, for a name or value
    // holding a line break or NUL, a key that would read back as another line ('=' in it, or the
    // look of a section header), text the file's encoding cannot hold, or a file that exists but
    // cannot be read.
    bool WriteString(const QString& Section, const QString& Key, const QString& Data);
    bool DeleteKey(const QString& Section, const QString& Key);
    bool DeleteSection(const QString& Section);
    // Removes every section, whatever bytes its name holds, and the lines before the first one.
    bool DeleteAllSections();
    // Writes the file (and any file this instance changed before FileName was changed) when
    // it has changes; false when writing failed, the changes are then kept for another try.
    bool Flush();
    // The system's reason why the last Flush of this instance failed ("" when none did).
    QString FlushError() const { return m_strFlushError; }

    // Forgets every change this instance made that was not flushed yet, so a write that
    // failed part-way never reaches the file.
    void DiscardChanges();

    // True when the file's encoding holds the text as a line of the file: written between line
    // breaks, it reads back the same.
    bool EncodingHolds(const QString& text);
    // The file's encoding: "UTF-8" for a new file, or the code page a file was read in.
    QString EncodingName();
    // The same as the object that converts, for writing other text in it.
    FileEncoding Encoding();
    // The file's whole text as read, in the store's text (storage/ProfileText.h), before any
    // change of this instance; empty for a missing file.
    QByteArray TextAsRead();

    QString FileName() const;
    void setFileName(const QString& FileName);

    // The text as a value that reads back as the same text: enclosed in double quotes when it
    // has a blank or a tab at either end or is enclosed in matching quotes, which a read drops.
    static QString Quoted(const QString& text);

private:
    // The copy of the file, opened at the first touch; nullptr for an empty file name.
    ProfileFileCache::Entry* file();
    QByteArrayView sectionText(const QString& Section);
    QByteArrayView keyText(const QString& Key);
    QString valueText(QByteArrayView value) const;

    // Null until named: the application settings file, whose place is looked up at first use.
    QString m_strFileName;
    ProfileFileCache::Handle m_file;
    bool m_bChangedFile = false;                          // this instance wrote to m_file
    std::vector<ProfileFileCache::Handle> m_earlierFiles; // files it wrote to before FileName changed
    // The section of the last call in the store's text, and room for a key and a value.
    QString m_strSection;
    QByteArray m_section;
    bool m_sectionPlain = true; // see ProfileText::write
    QByteArray m_key;
    bool m_keyPlain = true;
    QByteArray m_value;
    QString m_strFlushError;
};
