#include "storage/SettingsLocation.h"

#include "platform/AppInfo.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString userConfigFolder()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Only an absolute path counts; anything else means the default.
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

QString defaultSettingsFilePath()
{
    const QString fileName = AppInfo::exeBaseName() + QStringLiteral(".ini");
    const QString appFolder = AppInfo::applicationDirectory();
    const QFileInfo appFolderInfo(appFolder);
    if (appFolderInfo.isDir() && appFolderInfo.isWritable())
        return appFolder + QLatin1Char('/') + fileName;
    const QString configFolder = userConfigFolder();
    QDir().mkpath(configFolder);
    return configFolder + QLatin1Char('/') + fileName;
}
