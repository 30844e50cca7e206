#pragma once

#include <QString>

// The application settings file: the executable's base name and ".ini" in the executable's
// folder, or in the user's configuration folder ($XDG_CONFIG_HOME, default ~/.config) when
// the executable's folder is not writable (an installed copy). The configuration folder is
// created when it is missing, so the settings can be written there.
QString defaultSettingsFilePath();
