#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The program's way into INI files: single values by section and key, the list of sections,
// removal of keys and sections. Every operation is one call of a profile function
// (storage/PrivateProfile.h) on the file named by FileName, by default the application
// settings file. Text is stored as UTF-8.
//
// All text arguments are passed as present text: a null QString counts as empty text, never
// as an absent argument, so a value that happens to be null cannot delete a key. Deletion,
// the section list and the flush have operations of their own.
//
// Writes change the store's copy of the file; Flush writes it, and the instance flushes when
// it is destroyed.
class clsProfile final
{
public:
    clsProfile();
    ~clsProfile();
    Q_DISABLE_COPY_MOVE(clsProfile)

    // The key's value; defVal when the file, the section or the key is missing. A key present
    // with an empty value reads as empty whatever defVal is. At most 199,998 bytes of UTF-8.
    QString GetString(const QString& Section, const QString& Key, const QString& defVal = QString());
    // The key's value as a decimal integer (its leading digits); defVal when it is missing.
    qint32 GetInt(const QString& Section, const QString& Key, qint32 defVal = 0);
    // The section names in file order; empty when the file is missing or has no section.
    QStringList GetSectNames();

    // True when the store took the write. False, and the file unchanged, for a name or value
    // holding a line break or NUL, a key that would read back as another line ('=' in it, or the
    // look of a section header), or a file that exists but cannot be read.
    bool WriteString(const QString& Section, const QString& Key, const QString& Data);
    bool DeleteKey(const QString& Section, const QString& Key);
    bool DeleteSection(const QString& Section);
    // Writes the file (and any file this instance changed before FileName was changed) when
    // it has changes; false when writing failed, the changes are then kept for another try.
    bool Flush();
    // The system's reason why the last Flush of this instance failed ("" when none did).
    QString FlushError() const { return m_strFlushError; }

    // Forgets every change this instance made that was not flushed yet, so a write that
    // failed part-way never reaches the file.
    void DiscardChanges();

    QString FileName() const { return m_strFileName; }
    void setFileName(const QString& FileName);

private:
    // Mode 0: the text before its first NUL. Mode below 0: the text without its trailing NULs.
    static QString TrimNulls(QString text, int mode);

    QString m_strFileName;
    bool m_bChangedFile = false;   // this instance wrote to m_strFileName
    QStringList m_strEarlierFiles; // files it wrote to before FileName changed
    QString m_strFlushError;
};
