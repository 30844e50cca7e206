#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>

// A file that a connection's option names by a relative path (a register map) is looked for
// beside the tag file being edited first, then in the folder the editor was started in, so a
// tag file with its map beside it works from any folder. The window tells the engines the tag
// file's folder through the environment, which the program and every plug-in share; it sets
// it before each connection, while no engine call is under way.
inline constexpr char kTagFileFolderVariable[] = "QUOR_TAG_FILE_FOLDER";

// The window: the tag file being edited, "" when it has none.
inline void publishTagFileFolder(const QString& tagFilePath)
{
    if (tagFilePath.isEmpty())
        qunsetenv(kTagFileFolderVariable);
    else
        qputenv(kTagFileFolderVariable, QFileInfo(tagFilePath).absolutePath().toLocal8Bit());
}

// An engine: the file a relative path names, beside the tag file when it is there, else in
// the working folder (the one the editor was started in). An absolute path stays as it is.
inline QString locateBesideTagFile(const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    const QString folder = QString::fromLocal8Bit(qgetenv(kTagFileFolderVariable));
    if (!folder.isEmpty()) {
        const QString beside = QDir(folder).filePath(path);
        if (QFileInfo::exists(beside))
            return beside;
    }
    return path;
}
