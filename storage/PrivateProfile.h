#pragma once

#include "storage/ProfileFileCache.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The three private-profile functions, on the INI file itself. Text is the store's UTF-8
// (storage/ProfileText.h) whatever the file's encoding; an absent argument (std::nullopt) is not the same as
// an empty text: it selects the section list, the key list, a deletion or the flush, as noted at each
// function.
//
// Section and key names match without regard to ASCII letter case, with blanks and tabs
// around them ignored. A parsed copy of each file is kept and read anew when the file changes
// on disk; writes change that copy, and the file is written when it is flushed.
namespace PrivateProfile {

using Text = std::optional<QByteArray>;

// Copies into `buffer` what the Windows function copies into a buffer of `size` bytes, and
// returns the count it returns:
// - section and key present: the key's value, without the blanks around it and without
//   enclosing matching quotes, then one NUL. When the file, the section or the key is missing,
//   the default instead (without trailing blanks and enclosing quotes; nothing when absent).
//   The count is the length of the text copied, at most size - 1.
// - section present, key absent: the section's key names, each followed by a NUL, then a
//   second NUL; the default when the section has no key.
// - section absent: the names of all sections in file order, each followed by a NUL, then a
//   second NUL. The count leaves out the final NUL. A list cut short by `size` holds size - 2
//   characters and ends with two NULs.
// A missing or unreadable file reads as a file without sections.
quint32 GetPrivateProfileStringA(const Text& section, const Text& key, const Text& defaultText,
                                 QByteArray& buffer, quint32 size, const QString& fileName);

// The key's value read as an integer: optional blanks and sign, then decimal digits (or hex,
// octal or binary after "0x", "0o", "0b"), up to the first character that is not a digit,
// wrapped to 32 bits; 0 when no digit follows. The default when the key is missing or empty.
qint32 GetPrivateProfileIntA(const Text& section, const Text& key, qint32 defaultValue,
                             const QString& fileName);

// - all present: stores the value, adding the key after the last non-blank line of its section
//   and the section at the end of the file as needed; an existing key keeps its line.
// - value absent: removes the key. Key (and value) absent: removes the section.
// - all three absent: writes the file's changed copy to disk (the flush).
// False, and nothing changed, for an absent section (with key or value given), an empty file
// name, a name or value holding CR, LF or NUL, a key holding '=', a key line that would read
// as a section header (a key starting with '[' and a ']' after it in the key or the value),
// text that the file's encoding cannot give back, a file that exists but cannot be read (or
// is a device or a pipe), or a flush that fails.
bool WritePrivateProfileStringA(const Text& section, const Text& key, const Text& value,
                                const QString& fileName);

// The same work on a copy already at hand, for a caller that checks it against the disk
// itself (clsProfile).
using TextView = std::optional<QByteArrayView>;
// GetPrivateProfileStringA on a copy (nullptr: no file).
quint32 getString(const ProfileFileCache::Entry* file, const Text& section, const Text& key,
                  const Text& defaultText, QByteArray& buffer, quint32 size);
// The default as a read gives it back: without trailing blanks and enclosing quotes.
QByteArrayView cleanedDefault(QByteArrayView defaultText);
// A write, a key removal or a section removal as WritePrivateProfileStringA does it. `plain`
// promises texts made by ProfileText::write that it found plain: the search for line breaks,
// NULs and text a UTF-8 file cannot hold is then left out.
bool writeInto(ProfileFileCache::Entry& file, TextView section, TextView key, TextView value,
               bool plain = false);
// Removes every line of the file: every section, whatever its name, and the lines before the
// first one. False for a file that must not be written over.
bool clearInto(ProfileFileCache::Entry& file);
// A value read as GetPrivateProfileIntA reads it.
qint32 toInteger(QByteArrayView value);

} // namespace PrivateProfile
