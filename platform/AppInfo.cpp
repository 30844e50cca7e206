#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString g_directoryOverride;
} // namespace

namespace AppInfo {

QString applicationDirectory()
{
    if (!g_directoryOverride.isEmpty())
        return g_directoryOverride;
    return QCoreApplication::applicationDirPath();
}

QString exeBaseName()
{
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("QuorTagEditor") : QFileInfo(path).completeBaseName();
}

void setApplicationDirectoryOverride(const QString& directory)
{
    g_directoryOverride = directory;
}

int versionMajor()
{
    return QUOR_VERSION_MAJOR;
}

int versionMinor()
{
    return QUOR_VERSION_MINOR;
}

int versionRevision()
{
    return QUOR_VERSION_TWEAK;
}

QString argumentText(const QStringList& argumentsAfterProgram)
{
    QStringList quoted;
    quoted.reserve(argumentsAfterProgram.size());
    for (const QString& argument : argumentsAfterProgram) {
        const bool needsQuotes =
            argument.isEmpty() || argument.contains(QLatin1Char(' ')) || argument.contains(QLatin1Char('\t'));
        quoted.append(needsQuotes ? QLatin1Char('"') + argument + QLatin1Char('"') : argument);
    }
    return quoted.join(QLatin1Char(' '));
}

} // namespace AppInfo
