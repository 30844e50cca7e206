#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <cstddef>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <vector>

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

// Sets environment variables (nullptr unsets one) for as long as it lives; the code page of
// files that are not UTF-8 follows QUOR_ANSI_CODEPAGE and the locale variables.
class ScopedEnvironment final
{
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> settings)
    {
        for (const auto& [name, value] : settings) {
            m_saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                       : std::nullopt);
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

} // namespace ProfileTestFiles
