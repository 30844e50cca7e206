#pragma once

#include <QString>

// The text of the version box: major, minor, "0" and revision, dotted.
QString VersionText(int major, int minor, int revision);
