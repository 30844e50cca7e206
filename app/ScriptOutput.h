#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

// What the commands for scripts share: their exit codes and how they print.
namespace ScriptOutput {

// Exit codes: clean or equal; problems found or files differ; a file could not be read or
// written, or the command line is wrong.
constexpr int kClean = 0;
constexpr int kFound = 1;
constexpr int kFailed = 2;

// False when the device did not take all of it.
inline bool print(QIODevice& device, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

inline bool printLines(QIODevice& device, const QStringList& lines)
{
    bool all = true;
    for (const QString& line : lines)
        all = print(device, line + QLatin1Char('\n')) && all;
    return all;
}

} // namespace ScriptOutput
