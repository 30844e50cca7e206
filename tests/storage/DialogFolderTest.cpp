#include "platform/AppInfo.h"
#include "storage/SettingsLocation.h"
#include "tests/storage/StorageWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>

namespace {

// The folders of the start-folder rules, in a temporary home of the test's own.
class DialogFolder : public StorageWindow
{
protected:
    void SetUp() override
    {
        StorageWindow::SetUp();
        ASSERT_TRUE(home.isValid());
        savedHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        QDir(home.path()).mkpath(QStringLiteral("work/old"));
        work = home.filePath(QStringLiteral("work"));
        old = home.filePath(QStringLiteral("work/old"));
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome);
        StorageWindow::TearDown();
    }

    // An installed copy: the program's folder holds the installed plug-in folder beside it.
    void installedProgramFolder()
    {
        const QString bin = appPath(QStringLiteral("prefix/bin"));
        QDir(bin).mkpath(QStringLiteral(QUOR_ENGINE_DIR_FROM_BIN));
        AppInfo::setApplicationDirectoryOverride(bin);
    }

    QTemporaryDir home;
    QByteArray savedHome;
    QString work;
    QString old;
};

} // namespace

TEST_F(DialogFolder, CurrentFileThenLastFolderThenProgramFolderThenHome)
{
    const QString currentFile = work + QStringLiteral("/a.qts");
    EXPECT_EQ(fileDialogStartFolder(currentFile, old), work);
    // A current file whose folder is gone, and no current file, fall back to the last folder.
    EXPECT_EQ(fileDialogStartFolder(home.filePath(QStringLiteral("gone/a.qts")), old), old);
    EXPECT_EQ(fileDialogStartFolder(QString(), old), old);
    EXPECT_EQ(fileDialogStartFolder(QString(), home.filePath(QStringLiteral("gone"))), appDir.path());
    EXPECT_EQ(fileDialogStartFolder(QString(), QString()), appDir.path());

    // An installed copy keeps no user files in its program folder, even where it could write.
    installedProgramFolder();
    EXPECT_FALSE(programFolderKeepsUserFiles());
    EXPECT_EQ(fileDialogStartFolder(QString(), QString()), home.path());
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    EXPECT_EQ(fileDialogStartFolder(QString(), QString()), home.filePath(QStringLiteral("Documents")));
}

TEST_F(DialogFolder, TheFolderLastUsedIsRememberedAcrossARestart)
{
    loadWindow();
    dialogs.chooseFileNext(old + QStringLiteral("/missing.qts"));
    window->mnuFileItem[1]->trigger();
    EXPECT_EQ(dialogs.fileRequests().last().initialDirectory, appDir.path());
    // New forgets the file but not the folder.
    dialogs.answerNext(MsgAnswer::No);
    window->mnuFileItem[0]->trigger();
    restart();
    EXPECT_TRUE(bytesOf(settingsPath()).startsWith("[Setting]\r\nLastFolder=" + old.toUtf8() + "\r\n"));
    window->mnuFileItem[4]->trigger();
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(dialogs.fileRequests().last().initialDirectory, old);
}

TEST_F(DialogFolder, AnInstalledCopyKeepsItsSettingsInTheConfigurationFolder)
{
    installedProgramFolder();
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    EXPECT_EQ(defaultSettingsFilePath(),
              home.filePath(QStringLiteral("config/")) + AppInfo::exeBaseName() + QStringLiteral(".ini"));
    qunsetenv("XDG_CONFIG_HOME");
}
