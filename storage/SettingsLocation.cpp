#include "storage/SettingsLocation.h"

#include "platform/AppInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString userConfigFolder()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Only an absolute path counts; anything else means the default.
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

bool programFolderKeepsUserFiles()
{
    const QString appFolder = AppInfo::applicationDirectory();
    const QFileInfo appFolderInfo(appFolder);
    if (!appFolderInfo.isDir() || !appFolderInfo.isWritable())
        return false;
    return !QDir(appFolder).exists(QStringLiteral(QUOR_ENGINE_DIR_FROM_BIN));
}

QString defaultSettingsFilePath()
{
    const QString fileName = AppInfo::exeBaseName() + QStringLiteral(".ini");
    if (programFolderKeepsUserFiles())
        return AppInfo::applicationDirectory() + QLatin1Char('/') + fileName;
    const QString configFolder = userConfigFolder();
    QDir().mkpath(configFolder);
    return configFolder + QLatin1Char('/') + fileName;
}

QString fileDialogStartFolder(const QString& currentFile, const QString& lastFolder)
{
    if (!currentFile.isEmpty()) {
        const QString folder = QFileInfo(currentFile).absolutePath();
        if (isFolder(folder))
            return folder;
    }
    if (isFolder(lastFolder))
        return lastFolder;
    if (programFolderKeepsUserFiles())
        return AppInfo::applicationDirectory();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return isFolder(documents) ? documents : QDir::homePath();
}
