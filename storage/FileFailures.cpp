#include "storage/FileFailures.h"

#include "storage/clsProfile.h"

#include <QFileInfo>

namespace FileFailures {

namespace {

// What is wrong with the file itself, if anything.
QString fileProblem(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (!info.isFile())
        return QStringLiteral("It is not a regular file.");
    if (!info.isReadable())
        return QStringLiteral("The file cannot be read.");
    return QString();
}

} // namespace

QString details(const QString& fileName, const QString& reason)
{
    return QStringLiteral("File: %1\n%2").arg(fileName, reason);
}

QString unreadKey(clsProfile& profile, const QString& section, const QString& key, const QString& expected)
{
    const QString problem = fileProblem(profile.FileName());
    if (!problem.isEmpty())
        return problem;
    // Only a missing key reads as its default, and no file holds this one.
    const QString absent = QStringLiteral("\x1<absent>\x1");
    const QString value = profile.GetString(section, key, absent);
    if (value == absent) {
        return profile.GetSectNames().contains(section)
                   ? QStringLiteral("The key \"%1\" is missing from the section [%2].").arg(key, section)
                   : QStringLiteral("The file has no section [%1].").arg(section);
    }
    return QStringLiteral("The key \"%1\" of the section [%2] holds \"%3\", which is not %4.")
        .arg(key, section, value, expected);
}

QString refusedWrite(const QString& fileName, const QString& section, const QString& key)
{
    QString reason =
        section.isEmpty() ? QStringLiteral("Its old sections could not be removed.")
        : key.isEmpty()
            ? QStringLiteral("The section [%1] could not be removed.").arg(section)
            : QStringLiteral("The key \"%1\" of the section [%2] could not be written.").arg(key, section);
    const QString problem = fileProblem(fileName);
    if (!problem.isEmpty() && QFileInfo::exists(fileName))
        reason += QLatin1Char(' ') + problem;
    return reason;
}

QString failedFlush(const clsProfile& profile)
{
    const QString error = profile.FlushError();
    return error.isEmpty() ? QStringLiteral("The file could not be written.")
                           : QStringLiteral("The file could not be written: %1").arg(error);
}

} // namespace FileFailures
