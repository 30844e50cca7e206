#pragma once

#include "storage/RecentConnections.h"

#include <QString>
#include <optional>

// The main window's outer place and size in whole twips, as the settings file keeps them. A
// value is unset when it was not read.
struct WindowPlace
{
    std::optional<int> top;
    std::optional<int> left;
    std::optional<int> width;
    std::optional<int> height;
};

// What the program remembers between runs in its settings file: the window's place, the tag
// setting file that was open, the folder last used in a file dialog, the recent connections
// and the live values' view.
struct RememberedSettings
{
    WindowPlace place;
    // The tag setting file open when the settings were saved ("" when none was); the window
    // copies it from and to the document's file path (g_strFilePath of the run).
    QString strLastFile;
    // The folder of the file last chosen in a file dialog; "" when none was.
    QString strLastFolder;
    // The recent connections, position 1 the most recent (g_colRecent of the run).
    RecentConnections colRecent;
    // View > Live Values is on.
    bool bLiveValues = false;
    // View > Refresh Interval, in milliseconds (250 to 60,000).
    int lRefreshIntervalMs = kDefaultRefreshIntervalMs;

    static constexpr int kDefaultRefreshIntervalMs = 1000;
    static constexpr int kMinRefreshIntervalMs = 250;
    static constexpr int kMaxRefreshIntervalMs = 60000;
};
