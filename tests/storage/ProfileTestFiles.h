#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <cstddef>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace ProfileTestFiles {

// Bytes of a literal, NULs included.
template <std::size_t N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes a file as another program would; the modification time is moved a few seconds on
// from the file's last one, as a later edit would have it.
inline void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    const QDateTime before = file.exists() ? file.fileTime(QFileDevice::FileModificationTime) : QDateTime();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(content), content.size());
    if (before.isValid())
        file.setFileTime(before.addSecs(3), QFileDevice::FileModificationTime);
}

// The inode changes whenever the store replaces the file.
inline quint64 inodeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}

} // namespace ProfileTestFiles
