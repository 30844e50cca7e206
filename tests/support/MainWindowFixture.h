#pragma once

#include "app/frmMain.h"
#include "app/modMain.h"
#include "platform/AppInfo.h"
#include "tags/TagDocument.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Turns the event loop until `done` holds; false when it still did not after `timeoutMs`.
inline bool turnEventsUntil(const std::function<bool()>& done, int timeoutMs = 30000)
{
    // Wakes the loop now and then, so the deadline is seen also when nothing else happens.
    QTimer tick;
    tick.start(20);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// Connecting and browsing answer through the event loop: turns it until the window waits for
// no engine answer any more.
inline void waitForEngine(const frmMain& window)
{
    EXPECT_TRUE(turnEventsUntil([&window] { return !window.waitingForEngine(); }))
        << "the window still waits for the engine";
}

// A loaded main window over the fake engine, with scripted dialogs, a fresh run state and
// a temporary application folder (so the settings file is the test's own). Derive from it
// and call loadWindow() after adjusting `engine` or the settings file.
class MainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(appDir.isValid());
        AppInfo::setApplicationDirectoryOverride(appDir.path());
        state.objEngine = engine->createEngine();
        state.objWorkspace = state.objEngine->Workspaces()->Item(0);
        engine->calls.clear();
    }

    void TearDown() override
    {
        window.reset();
        state.ReleaseEngine();
        AppInfo::setApplicationDirectoryOverride(QString());
    }

    // Creates the window and runs its load handler.
    frmMain& loadWindow()
    {
        window = std::make_unique<frmMain>(state);
        window->Form_Load();
        return *window;
    }

    // After something that may have started a connect or browse: turns the event loop until
    // the window has its answers.
    void waitForEngine() const { ::waitForEngine(*window); }

    QString appPath(const QString& name) const { return appDir.filePath(name); }
    QString settingsPath() const { return appDir.filePath(AppInfo::exeBaseName() + QStringLiteral(".ini")); }

    QTemporaryDir appDir;
    // The run's state the window is made over; each test starts with a fresh one.
    AppState state;
    ScriptedDialogs dialogs;
    std::shared_ptr<FakeEngineScript> engine = FakeEngineScript::create();
    std::unique_ptr<frmMain> window;
};
