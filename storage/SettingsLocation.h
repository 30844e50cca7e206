#pragma once

#include <QString>

// The application settings file: the executable's base name and ".ini" in the executable's
// folder, or in the user's configuration folder ($XDG_CONFIG_HOME, default ~/.config) when
// the executable's folder does not keep the user's files. The configuration folder is
// created when it is missing, so the settings can be written there.
QString defaultSettingsFilePath();

// True when the executable's folder keeps the user's files: it is writable and it is not the
// program folder of an installed copy (one whose engine plug-ins lie in the installed library
// folder beside it), which belongs to the system even for a user who may write there.
bool programFolderKeepsUserFiles();

// The folder a file dialog starts in: the folder of the current file; with no current file
// (or when its folder is gone) the folder last used; with neither, the executable's folder
// when it keeps the user's files, and otherwise the user's documents folder.
QString fileDialogStartFolder(const QString& currentFile, const QString& lastFolder);
