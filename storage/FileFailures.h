#pragma once

#include <QString>

class clsProfile;

// The reasons behind the failure messages of the INI files, for the messages' details.
namespace FileFailures {

// The file's name on the first line, the reason below it.
QString details(const QString& fileName, const QString& reason);

// Why a key of the profile's file could not be read as `expected` describes: the file or the
// key is missing, or the value it holds.
QString unreadKey(clsProfile& profile, const QString& section, const QString& key, const QString& expected);

// Why the store refused to write a key (or to remove a section, when key is empty; or all of
// them, when section is empty too).
QString refusedWrite(const QString& fileName, const QString& section, const QString& key);

// Why the profile's file could not be written, in the system's words.
QString failedFlush(const clsProfile& profile);

} // namespace FileFailures
