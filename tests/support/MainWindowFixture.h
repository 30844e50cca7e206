#pragma once

#include "app/frmMain.h"
#include "app/modMain.h"
#include "platform/AppInfo.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A loaded main window over the fake engine, with scripted dialogs, an empty recent list and
// a temporary application folder (so the settings file is the test's own). Derive from it
// and call loadWindow() after adjusting `engine` or the settings file.
class MainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appDir.isValid());
        AppInfo::setApplicationDirectoryOverride(appDir.path());
        g_colRecent.Clear();
        g_strFilePath.clear();
        g_strLastFolder.clear();
        g_strStartFile.clear();
        g_bLoadFailed = false;
        g_bBRAKKAMode = false;
        g_objEngine = engine->createEngine();
        g_objWorkspace = g_objEngine->Workspaces()->Item(0);
        engine->calls.clear();
    }

    void TearDown() override
    {
        window.reset();
        ReleaseEngine();
        g_colRecent.Clear();
        g_strFilePath.clear();
        g_strLastFolder.clear();
        g_strStartFile.clear();
        g_bBRAKKAMode = false;
        AppInfo::setApplicationDirectoryOverride(QString());
    }

    // Creates the window and runs its load handler.
    frmMain& loadWindow()
    {
        window = std::make_unique<frmMain>();
        window->Form_Load();
        return *window;
    }

    QString appPath(const QString& name) const { return appDir.filePath(name); }
    QString settingsPath() const { return appDir.filePath(AppInfo::exeBaseName() + QStringLiteral(".ini")); }

    QTemporaryDir appDir;
    ScriptedDialogs dialogs;
    std::shared_ptr<FakeEngineScript> engine = FakeEngineScript::create();
    std::unique_ptr<frmMain> window;
};
