#pragma once

#include "storage/RememberedSettings.h"

#include <QString>
#include <QStringList>

class clsProfile;

// The application settings file: the section "Setting" (the last file, the last folder and the
// live values' view),
// "Form" (the window's outer place and size in twips, in the user's number format) and
// "Recent" (the most recent connection).
namespace SettingsFile {

// Reads the profile's file into `settings`, its sections in file order, each name compared
// exactly and any other ignored: "Setting" sets the last file, the last folder and the live
// values' view (a value that does not read leaves the view as it was), "Form" each
// place value as it is read, "Recent" appends one record to the recent connections. Returns
// the reason of the first failure, which ends the reading where it happened: what was read
// before stays in `settings`. "" when the whole file was read; a missing file lists no sections.
QString read(clsProfile& profile, RememberedSettings& settings);

struct SaveOutcome
{
    // Why the save failed, "" when it succeeded; a failed save leaves the file as it was.
    QString failure;
    // Why each path that was left out of a successful save was left out.
    QStringList leftOut;
};

// Replaces every section of the profile's file, those of other writers included, with
// "Setting" (the last file and the last folder, each when not empty; Live Values when on and the
// refresh interval when not the default), "Form" (each place value
// that is set) and "Recent" (position 1 of the recent connections, when there is one), then
// writes the file. A path that no line of the file can hold (a line break or a NUL in it) is
// left out and the rest is saved.
SaveOutcome write(clsProfile& profile, const RememberedSettings& settings);

} // namespace SettingsFile
