#pragma once

#include <QString>
#include <QStringList>

// What the program knows of itself: where it lives, its name, its version and the
// argument text it was started with.
namespace AppInfo {

// The executable's folder (or the folder a test put in its place).
QString applicationDirectory();
// The executable's base name without extension: "QuorTagEditor" for the program.
QString exeBaseName();
// Tests point the program at a folder of their own.
void setApplicationDirectoryOverride(const QString& directory);

int versionMajor();
int versionMinor();
int versionRevision();

// The argument text as Windows would have passed it: the arguments after the program's
// name joined by one blank, each one that is empty or holds a blank or a tab in quotes.
QString argumentText(const QStringList& argumentsAfterProgram);

} // namespace AppInfo
