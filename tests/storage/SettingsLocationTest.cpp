#include "storage/SettingsLocation.h"
#include "platform/AppInfo.h"
#include "storage/clsProfile.h"
#include "tests/storage/StorageWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

namespace {

// Puts an environment variable aside for the test's life.
class EnvironmentValue
{
public:
    explicit EnvironmentValue(const char* name) : m_name(name), m_set(qEnvironmentVariableIsSet(name))
    {
        m_value = qgetenv(name);
    }
    ~EnvironmentValue()
    {
        if (m_set)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }
    Q_DISABLE_COPY_MOVE(EnvironmentValue)

private:
    const char* m_name;
    bool m_set;
    QByteArray m_value;
};

class WindowSettingsLocation : public StorageWindow
{
protected:
    QString fileName() const { return AppInfo::exeBaseName() + QStringLiteral(".ini"); }

    EnvironmentValue configHome{"XDG_CONFIG_HOME"};
    EnvironmentValue home{"HOME"};
    QTemporaryDir userDir;
};

} // namespace

TEST_F(WindowSettingsLocation, BesideTheExecutableWhenItsFolderIsWritable)
{
    qputenv("XDG_CONFIG_HOME", userDir.filePath(QStringLiteral("config")).toUtf8());
    EXPECT_EQ(defaultSettingsFilePath(), appDir.path() + QLatin1Char('/') + fileName());
    EXPECT_EQ(clsProfile().FileName(), settingsPath());
    EXPECT_FALSE(QFileInfo::exists(userDir.filePath(QStringLiteral("config"))));
}

TEST_F(WindowSettingsLocation, InTheUserConfigurationFolderOtherwise)
{
    const QString config = userDir.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    // An installed copy: no folder we could write to.
    AppInfo::setApplicationDirectoryOverride(appDir.filePath(QStringLiteral("missing")));
    EXPECT_EQ(defaultSettingsFilePath(), config + QLatin1Char('/') + fileName());
    EXPECT_TRUE(QFileInfo(config).isDir());

    // A relative configuration folder is no folder: the default under the home folder.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    qputenv("HOME", userDir.path().toUtf8());
    EXPECT_EQ(defaultSettingsFilePath(), userDir.path() + QStringLiteral("/.config/") + fileName());

    if (::geteuid() != 0) {
        AppInfo::setApplicationDirectoryOverride(appDir.path());
        ASSERT_TRUE(QFile::setPermissions(appDir.path(), QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_EQ(defaultSettingsFilePath(), userDir.path() + QStringLiteral("/.config/") + fileName());
        QFile::setPermissions(appDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(WindowSettingsLocation, TheWindowKeepsItsSettingsThereAcrossARestart)
{
    const QString config = userDir.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    const QString appFile = appDir.filePath(QStringLiteral("app-file"));
    writeBytes(appFile, "not a folder");
    AppInfo::setApplicationDirectoryOverride(appFile);

    loadWindow();
    connectQuor(QStringLiteral("PLC1"));
    restart();
    const QString file = config + QLatin1Char('/') + fileName();
    EXPECT_TRUE(bytesOf(file).startsWith("[Form]\r\n"));
    EXPECT_EQ(bytesOf(appFile), QByteArray("not a folder"));
    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("PLC1"));
}
