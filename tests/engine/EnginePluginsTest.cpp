#include "platform/AppInfo.h"
#include "tests/engine/ModbusTestSupport.h"
#include "tests/engine/SimProviders.h"

#include <QDir>
#include <QFile>

// Several engine plug-ins at once: where they are looked for, the providers they offer
// together, and one that fails beside one that works.
namespace {

const QString kModbus = QStringLiteral("QuorProv.ModbusTCP");
const QString kModbusRtu = QStringLiteral("QuorProv.ModbusRTU");

class EnginePlugins : public ::testing::Test
{
protected:
    void SetUp() override { AppInfo::setApplicationDirectoryOverride(m_dir.filePath(QStringLiteral("bin"))); }
    void TearDown() override { AppInfo::setApplicationDirectoryOverride(QString()); }

    // Copies the plug-ins ('s' simulation, 'm' Modbus, 'j' a file that is no library) into the folder.
    static QString fill(const QString& folder, const QString& plugins)
    {
        EXPECT_TRUE(QDir().mkpath(folder));
        for (const QChar which : plugins) {
            if (which == QLatin1Char('j')) {
                QFile junk(folder + QStringLiteral("/libjunk.so"));
                EXPECT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("not a library") > 0);
                continue;
            }
            const QString source = which == QLatin1Char('s') ? simPluginPath() : modbusPluginPath();
            EXPECT_TRUE(QFile::copy(source, folder + QLatin1Char('/') + QFileInfo(source).fileName()));
        }
        return folder;
    }

    // The providers of the engine made from what is found, or the reason there is none.
    static QStringList providers(QString* reason = nullptr)
    {
        QString problems;
        const std::shared_ptr<IEngine> engine = CreateEngine(&problems);
        if (reason)
            *reason = problems;
        return engine ? textsOf(engine->Workspaces()->Item(0)->ProviderNames(Variant())) : QStringList();
    }

    QTemporaryDir m_dir;
};

struct SearchCase
{
    const char* label;
    const char* beside;
    const char* installed;
    // "" leaves QUOR_ENGINE unset; "B" and "I" stand for the two folders, 's' for the simulation plug-in's
    // file.
    const char* environment;
    bool simulation;
    bool modbus;
};

class PluginSearch : public EnginePlugins, public ::testing::WithParamInterface<SearchCase>
{
};

TEST_P(PluginSearch, TakesThePluginsOfTheFirstPlaceThatHasThem)
{
    const SearchCase& c = GetParam();
    const QStringList folders = EnginePluginFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders.at(0), m_dir.filePath(QStringLiteral("bin/engines")));
    // The installed folder, as an installed copy's executable in bin/ sees it.
    EXPECT_TRUE(folders.at(1).startsWith(m_dir.path() + QStringLiteral("/lib")))
        << folders.at(1).toStdString();
    EXPECT_TRUE(folders.at(1).endsWith(QStringLiteral("/quortageditor/engines")))
        << folders.at(1).toStdString();
    fill(folders.at(0), QString::fromLatin1(c.beside));
    fill(folders.at(1), QString::fromLatin1(c.installed));
    QStringList entries;
    for (const QChar place : QString::fromLatin1(c.environment))
        entries.append(place == QLatin1Char('B')   ? folders.at(0)
                       : place == QLatin1Char('I') ? folders.at(1)
                                                   : simPluginPath());
    const ScopedEnv environment("QUOR_ENGINE",
                                entries.isEmpty() ? QString() : entries.join(QLatin1Char(':')));
    QString reason;
    const QStringList names = providers(&reason);
    EXPECT_EQ(names.contains(kTulo), c.simulation) << reason.toStdString();
    EXPECT_EQ(names.contains(kModbus), c.modbus) << reason.toStdString();
    // Each provider once, also when the same plug-in is named twice.
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PluginSearch,
    ::testing::Values(SearchCase{"BesideTheExecutableWinsOverTheInstalledFolder", "js", "m", "", true, false},
                      SearchCase{"BesideTheExecutableTakesEveryPlugin", "ms", "", "", true, true},
                      SearchCase{"InstalledFolderWhenNothingIsBeside", "", "m", "", false, true},
                      SearchCase{"EnvironmentOverTheFolders", "m", "m", "s", true, false},
                      SearchCase{"EnvironmentListOfFoldersAndFiles", "m", "", "Bss", true, true}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

TEST_F(EnginePlugins, WorkspaceOffersEveryProviderAndAddsThroughItsPlugin)
{
    const ScopedEnv environment("QUOR_ENGINE", simPluginPath() + QLatin1Char(':') + modbusPluginPath());
    QString reason;
    std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
    const std::shared_ptr<IWorkspace> workspace = engine->Workspaces()->Item(0);
    engine.reset();

    QStringList simulation;
    {
        const ScopedEnv alone("QUOR_ENGINE", simPluginPath());
        simulation = providers();
    }
    EXPECT_EQ(textsOf(workspace->ProviderNames(Variant())), simulation << kModbus << kModbusRtu);
    const auto refusal = [&workspace](const QString& provider, const QString& machine) {
        try {
            workspace->AddController(QStringLiteral("press01"), provider, machine, QString());
        } catch (const EngineError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(refusal(QStringLiteral("quorprov.sim.ethernet"), QString()), QString());
    EXPECT_EQ(refusal(QStringLiteral("QUORPROV.MODBUSTCP"), QString()),
              QStringLiteral(
                  "QuorProv.ModbusTCP needs the device's address in the machine field (host or host:port)."));
    EXPECT_EQ(refusal(QString(), QString()), QStringLiteral("There is no provider \"\"."));
    EXPECT_THROW(workspace->ProviderNames(Variant::text(QStringLiteral("x"))), EngineError);
}

TEST_F(EnginePlugins, OneFailingPluginIsReportedAndTheOthersServe)
{
    const QString junk =
        fill(m_dir.filePath(QStringLiteral("junk")), QStringLiteral("j")) + QStringLiteral("/libjunk.so");
    const QString catalog = m_dir.filePath(QStringLiteral("missing.json"));
    const ScopedEnv noCatalog("QUOR_SIM_CATALOG", catalog);
    {
        const ScopedEnv environment("QUOR_ENGINE", junk + QLatin1Char(':') + simPluginPath() +
                                                       QLatin1Char(':') + modbusPluginPath());
        QString reason;
        EXPECT_EQ(providers(&reason), (QStringList{kModbus, kModbusRtu}));
        EXPECT_TRUE(reason.contains(junk)) << reason.toStdString();
        EXPECT_TRUE(reason.contains(catalog)) << reason.toStdString();
    }
    const ScopedEnv environment("QUOR_ENGINE", junk + QLatin1Char(':') + simPluginPath());
    QString reason;
    EXPECT_EQ(CreateEngine(&reason), nullptr);
    EXPECT_EQ(reason.count(QLatin1Char('\n')), 1) << reason.toStdString();
}

} // namespace
