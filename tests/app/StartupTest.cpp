#include "app/modMain.h"
#include "platform/AppInfo.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// An engine whose objects note their release in a shared log.
struct ReleaseLog
{
    QStringList entries;
};

class LoggedWorkspace final : public IWorkspace
{
public:
    LoggedWorkspace(std::shared_ptr<ReleaseLog> log, bool failProviders)
        : m_log(std::move(log)), m_fail(failProviders)
    {
    }
    ~LoggedWorkspace() override { m_log->entries.append(QStringLiteral("workspace")); }
    Variant ProviderNames(const Variant&) override
    {
        if (m_fail)
            throw EngineError(QStringLiteral("provider list refused"));
        return Variant::textArray({QStringLiteral("QuorProv.Sim.B"), QStringLiteral("QuorProv.Sim.A")});
    }
    std::shared_ptr<IController> AddController(const QString&, const QString&, const QString&,
                                               const QString&) override
    {
        return nullptr;
    }

private:
    std::shared_ptr<ReleaseLog> m_log;
    bool m_fail;
};

class LoggedWorkspaces final : public IWorkspaces
{
public:
    LoggedWorkspaces(std::shared_ptr<ReleaseLog> log, bool failProviders)
        : m_log(std::move(log)), m_fail(failProviders)
    {
    }
    ~LoggedWorkspaces() override { m_log->entries.append(QStringLiteral("workspaces")); }
    std::shared_ptr<IWorkspace> Item(qint16 index) override
    {
        return index == 0 ? std::make_shared<LoggedWorkspace>(m_log, m_fail) : nullptr;
    }

private:
    std::shared_ptr<ReleaseLog> m_log;
    bool m_fail;
};

class LoggedEngine final : public IEngine
{
public:
    LoggedEngine(std::shared_ptr<ReleaseLog> log, bool withWorkspace, bool failProviders)
        : m_log(std::move(log)), m_withWorkspace(withWorkspace), m_fail(failProviders)
    {
    }
    ~LoggedEngine() override { m_log->entries.append(QStringLiteral("engine")); }
    std::shared_ptr<IWorkspaces> Workspaces() override
    {
        return m_withWorkspace ? std::make_shared<LoggedWorkspaces>(m_log, m_fail) : nullptr;
    }

private:
    std::shared_ptr<ReleaseLog> m_log;
    bool m_withWorkspace;
    bool m_fail;
};

class Startup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        AppInfo::setApplicationDirectoryOverride(dir.path());
    }
    void TearDown() override
    {
        setEngineFactory(nullptr);
        state.ReleaseEngine();
        AppInfo::setApplicationDirectoryOverride(QString());
        qunsetenv("QUOR_ENGINE");
    }
    void useEngine(bool withWorkspace, bool failProviders)
    {
        auto logRef = log;
        setEngineFactory([logRef, withWorkspace, failProviders] {
            return std::make_shared<LoggedEngine>(logRef, withWorkspace, failProviders);
        });
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    AppState state;
    std::shared_ptr<ReleaseLog> log = std::make_shared<ReleaseLog>();
};

} // namespace

TEST_F(Startup, MissingEngineShowsFailedToStartAndNoWindow)
{
    qputenv("QUOR_ENGINE", QByteArray("/nonexistent/libnoengine.so"));
    ::testing::internal::CaptureStderr();
    Main(state);
    const std::string standardError = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(dialogs.shown().size(), 1);
    // The plug-in tried and the loader's reason, in the box's details and on standard error.
    const QString details = dialogs.shown().first().details;
    EXPECT_TRUE(details.contains(QLatin1String("/nonexistent/libnoengine.so"))) << details.toStdString();
    EXPECT_NE(standardError.find("Failed to start. " + details.toStdString()), std::string::npos)
        << standardError;
    EXPECT_EQ(dialogs.shown().first().text, QStringLiteral("Failed to start."));
    EXPECT_EQ(dialogs.shown().first().title, QStringLiteral("QuorTagEditor"));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::Ok);
    EXPECT_FALSE(isMainWindowOpen());
    EXPECT_EQ(state.objEngine, nullptr);
    EXPECT_EQ(state.objWorkspace, nullptr);
}

TEST_F(Startup, EngineWithoutWorkspaceZeroFailsAndIsReleased)
{
    useEngine(false, false);
    Main(state);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to start.")});
    EXPECT_EQ(dialogs.shown().first().details, QStringLiteral("The engine has no workspace collection."));
    EXPECT_FALSE(isMainWindowOpen());
    EXPECT_EQ(log->entries, QStringList{QStringLiteral("engine")});
}

TEST_F(Startup, SuccessfulStartShowsTheWindowWithTheProviders)
{
    useEngine(true, false);
    Main(state);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(isMainWindowOpen());
    ASSERT_NE(state.objWorkspace, nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(isMainWindowOpen());
    // The collection went once workspace 0 was taken; closing released the workspace before the engine.
    EXPECT_EQ(log->entries, (QStringList{QStringLiteral("workspaces"), QStringLiteral("workspace"),
                                         QStringLiteral("engine")}));
}

TEST_F(Startup, LoadFailureShowsFailedToLoadAndClosesTheWindow)
{
    useEngine(true, true);
    Main(state);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to load.")});
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.shown().first().details, QStringLiteral("provider list refused"));
    EXPECT_TRUE(state.bLoadFailed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(isMainWindowOpen());
    // Nothing of the engine outlives it: the workspace collection went first, the engine last.
    EXPECT_EQ(log->entries, (QStringList{QStringLiteral("workspaces"), QStringLiteral("workspace"),
                                         QStringLiteral("engine")}));
}

TEST(ReleaseEngineOrder, WorkspaceGoesBeforeTheEngineAndEmptyReferencesAreFine)
{
    auto log = std::make_shared<ReleaseLog>();
    AppState state;
    state.objEngine = std::make_shared<LoggedEngine>(log, true, false);
    state.objWorkspace = state.objEngine->Workspaces()->Item(0);
    log->entries.clear();
    state.ReleaseEngine();
    EXPECT_EQ(log->entries, (QStringList{QStringLiteral("workspace"), QStringLiteral("engine")}));
    state.ReleaseEngine();
    EXPECT_EQ(log->entries.size(), 2);
}
