#include "engine/EngineLoader.h"
#include "platform/AppInfo.h"
#include "tests/engine/SimTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kFirstVersion = QStringLiteral("Test.FirstVersion");

class EngineLoaderTest : public ::testing::Test
{
protected:
    void TearDown() override { AppInfo::setApplicationDirectoryOverride(QString()); }

    // An application folder whose engines/ holds the given files (copies of the plug-in or junk).
    QString engineFolder(const QStringList& junkFiles, bool withPlugin)
    {
        const QString engines = m_dir.path() + QStringLiteral("/engines");
        EXPECT_TRUE(QDir().mkpath(engines));
        for (const QString& name : junkFiles) {
            QFile junk(engines + QLatin1Char('/') + name);
            EXPECT_TRUE(junk.open(QIODevice::WriteOnly));
            junk.write("not a library");
        }
        if (withPlugin) {
            EXPECT_TRUE(QFile::copy(simPluginPath(), engines + QStringLiteral("/libquorsim.so")));
        }
        AppInfo::setApplicationDirectoryOverride(m_dir.path());
        return engines;
    }

    QTemporaryDir m_dir;
};

TEST_F(EngineLoaderTest, MissingPluginGivesNoEngineAndTheReason)
{
    const QString path = m_dir.path() + QStringLiteral("/libnothing.so");
    const ScopedEnv engine("QUOR_ENGINE", path);
    QString reason;
    EXPECT_EQ(CreateEngine(&reason), nullptr);
    EXPECT_TRUE(reason.contains(path)) << reason.toStdString();
    EXPECT_GT(reason.size(), path.size() + 30) << "the loader's own explanation is kept";
}

TEST_F(EngineLoaderTest, ConfiguredPluginGivesWorkspace0ThatOutlivesTheEngine)
{
    const ScopedEnv engineVariable("QUOR_ENGINE", simPluginPath());
    QString reason = QStringLiteral("stale");
    std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    EXPECT_TRUE(reason.isEmpty());
    std::shared_ptr<IWorkspace> workspace = engine->Workspaces()->Item(0);
    ASSERT_NE(workspace, nullptr);
    engine.reset();
    EXPECT_FALSE(textsOf(workspace->ProviderNames(Variant())).isEmpty());
}

TEST_F(EngineLoaderTest, WithoutConfigurationTakesTheEnginePluginBesideTheExecutable)
{
    const ScopedEnv engineVariable("QUOR_ENGINE", QString());
    engineFolder({QStringLiteral("aaa-broken.so"), QStringLiteral("readme.txt")}, true);
    QString reason;
    const std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    EXPECT_NE(engine->Workspaces()->Item(0), nullptr);
}

TEST_F(EngineLoaderTest, FolderWithoutEnginePluginGivesNoEngine)
{
    const ScopedEnv engineVariable("QUOR_ENGINE", QString());
    const QString folder = engineFolder({QStringLiteral("aaa-broken.so")}, false);
    QString reason;
    EXPECT_EQ(CreateEngine(&reason), nullptr);
    EXPECT_TRUE(reason.contains(folder)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("aaa-broken.so"))) << reason.toStdString();
}

TEST_F(EngineLoaderTest, PluginThatYieldsNoEngineGivesItsReason)
{
    const QString catalog = m_dir.path() + QStringLiteral("/missing.json");
    const ScopedEnv engineVariable("QUOR_ENGINE", simPluginPath());
    const ScopedEnv catalogVariable("QUOR_SIM_CATALOG", catalog);
    QString reason;
    EXPECT_EQ(CreateEngine(&reason), nullptr);
    EXPECT_TRUE(reason.contains(catalog)) << reason.toStdString();
}

// A plug-in of the first version loads and offers no values; beside it, the simulation engine's
// values are found for its own controllers only.
TEST_F(EngineLoaderTest, FirstVersionPluginKeepsLoadingAndOffersNoValues)
{
    for (const bool withSimulation : {false, true}) {
        const ScopedEnv engineVariable("QUOR_ENGINE",
                                       QStringLiteral(QUOR_FIRST_VERSION_PLUGIN) +
                                           (withSimulation ? QLatin1Char(':') + simPluginPath() : QString()));
        EngineValues values;
        QString reason;
        const std::shared_ptr<IEngine> engine = CreateEngine(&reason, &values);
        ASSERT_NE(engine, nullptr) << reason.toStdString();
        EXPECT_EQ(reason, QString());
        const std::shared_ptr<IWorkspace> workspace = engine->Workspaces()->Item(0);
        EXPECT_EQ(values.isEmpty(), !withSimulation);
        EXPECT_EQ(
            values.of(workspace->AddController(QStringLiteral("A"), kFirstVersion, QString(), QString())),
            nullptr);
        if (withSimulation) {
            EXPECT_NE(values.of(workspace->AddController(QStringLiteral("Press01"),
                                                         QStringLiteral("QuorProv.Sim.Ethernet"), QString(),
                                                         QString())),
                      nullptr);
        }
    }
}

} // namespace
