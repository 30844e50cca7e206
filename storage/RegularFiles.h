#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The files the commands for scripts read and write are regular files. Anything else is refused
// before it is opened: opening a pipe to read waits for a writer that may never come, a device
// reads without end, and a save would put a file in the place of either.
namespace RegularFiles {

// Why the file cannot be read: it does not exist, is a folder or no regular file, or cannot be
// opened; nothing when it can.
std::optional<QString> readProblem(const QString& path);

// Why nothing may be written at `path`: something that is no regular file is there already;
// nothing when the path is free or holds a regular file.
std::optional<QString> writeProblem(const QString& path);

// The whole content of the file, or nothing and `error` set to the reason.
std::optional<QByteArray> read(const QString& path, QString& error);

} // namespace RegularFiles
