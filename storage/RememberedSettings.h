#pragma once

#include "storage/RecentConnections.h"

#include <QString>

// What the program remembers between runs in its settings file, beside the window's place
// and the last tag setting file: the folder last used in a file dialog and the recent
// connections.
struct RememberedSettings
{
    // The folder of the file last chosen in a file dialog; "" when none was.
    QString strLastFolder;
    // The recent connections, position 1 the most recent (g_colRecent of the run).
    RecentConnections colRecent;
};
