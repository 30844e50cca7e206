#include "storage/RegularFiles.h"

#include <QFile>
#include <QFileInfo>

namespace RegularFiles {

namespace {

std::optional<QString> notRegular(const QFileInfo& info)
{
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    return std::nullopt;
}

} // namespace

std::optional<QString> readProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("the file does not exist");
    if (std::optional<QString> problem = notRegular(info))
        return problem;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> writeProblem(const QString& path)
{
    const QFileInfo info(path);
    // A link that leads nowhere would be replaced, not followed.
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    if (!info.exists())
        return QStringLiteral("it is a link to nothing");
    return notRegular(info);
}

std::optional<QByteArray> read(const QString& path, QString& error)
{
    if (std::optional<QString> problem = readProblem(path)) {
        error = *problem;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace RegularFiles
