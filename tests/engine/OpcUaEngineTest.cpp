#include "engine/BrowseProgress.h"
#include "engine/EngineLoader.h"
#include "engine/VariantList.h"
#include "tests/engine/OpcUaTestSupport.h"
#include "tests/engine/PluginValuesFixture.h"
#include "tests/support/QtPrinters.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

// The OPC UA plug-in against the test server: connect, browse and read; duplicate browse names;
// failures by status code name; a bridge that dies; timeouts; the password kept out of messages.
namespace {

class OpcUaEngine : public PluginValuesFixture
{
protected:
    static void SetUpTestSuite() { s_server = new OpcUaTestServer(); }
    static void TearDownTestSuite() { delete std::exchange(s_server, nullptr); }

    void SetUp() override { loadPlugin(opcUaPluginPath()); }

    std::shared_ptr<IController> add(const QString& option, const QString& url = s_server->url())
    {
        return workspace->AddController(QStringLiteral("Press1"), QStringLiteral("QuorProv.OpcUa"), url,
                                        option);
    }

    // The failure of AddController, "" when it connects.
    QString addFailure(const QString& option, const QString& url = s_server->url())
    {
        try {
            add(option, url);
        } catch (const EngineError& e) {
            return e.message();
        }
        return QString();
    }

    void connect(const QString& option = QString())
    {
        controller = add(option);
        ASSERT_NE(controller, nullptr);
        values = sources.of(controller);
        ASSERT_NE(values, nullptr);
    }

    template <typename Answer>
    static Answer await(const std::function<void(std::function<void(Answer)>)>& call)
    {
        auto answer = std::make_shared<std::optional<Answer>>();
        call([answer](Answer given) { *answer = std::move(given); });
        EXPECT_TRUE(QTest::qWaitFor([&answer] { return answer->has_value(); }, 15000)) << "no answer";
        return answer->value_or(Answer());
    }

    QList<VariableValue> read(const QStringList& names)
    {
        return await<QList<VariableValue>>(
            [this, &names](std::function<void(QList<VariableValue>)> done) { values->read(names, done); });
    }

    WriteOutcome write(const QString& name, const QVariant& value)
    {
        return await<WriteOutcome>([this, &name, &value](std::function<void(WriteOutcome)> done) {
            values->write(name, value, done);
        });
    }

    QList<VariableDescription> describe(const QStringList& names)
    {
        return await<QList<VariableDescription>>(
            [this, &names](std::function<void(QList<VariableDescription>)> done) {
                values->describe(names, done);
            });
    }

    static OpcUaTestServer* s_server;
};

OpcUaTestServer* OpcUaEngine::s_server = nullptr;

TEST_F(OpcUaEngine, ListsEveryVariableByBrowsePathAndReportsProgress)
{
    connect();
    auto* progress = dynamic_cast<IBrowseProgress*>(controller.get());
    ASSERT_NE(progress, nullptr);
    qint64 reports = 0;
    progress->setBrowseListener([&reports](qint64, qint64) { ++reports; });
    const QStringList names = textsOf(controller->VariableNames(Variant()));
    EXPECT_EQ(names.size(), 10010);
    EXPECT_GT(reports, 0);
    for (const char* name :
         {"Press.Ram.Position", "Press.Secret", "Plant.Line000.Var000", "Plant.Line099.Var099"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
    // The server's own objects are not among them.
    EXPECT_FALSE(names.contains(QStringLiteral("Server.ServerStatus")));
    // A smaller root and depth.
    controller = add(QStringLiteral("Root=ns=1;s=Press,Depth=1"));
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())),
              (QStringList{"Counter", "Recipe", "Enabled", "SerialNumber", "Secret", "Slow"}));
}

TEST_F(OpcUaEngine, DuplicateBrowseNamesGetTheirNodeIdsAndResolveBack)
{
    connect(QStringLiteral("Root=ns=1;s=Press.Motor"));
    const QStringList names = textsOf(controller->VariableNames(Variant()));
    EXPECT_EQ(names, (QStringList{"Temperature[ns=1;s=Press.Motor.Temperature.Winding]",
                                  "Temperature[ns=1;s=Press.Motor.Temperature.Bearing]"}));
    const QList<VariableValue> read = this->read(names);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(statusText(read.at(0)), QStringLiteral("good"));
    EXPECT_NEAR(read.at(0).value.toDouble(), 60, 5.01);
    EXPECT_NEAR(read.at(1).value.toDouble(), 45, 3.01);
}

TEST_F(OpcUaEngine, ReadsWritesAndDescribesByNameWithoutABrowse)
{
    // Names resolve by TranslateBrowsePathsToNodeIds, as after a restart of the server.
    connect();
    const QList<VariableValue> first =
        read({"Press.Ram.Position", "Press.Counter", "Press.Secret", "Plant.Line042.Var003",
              "Plant.Line042.Var005", "Press.Nothing"});
    ASSERT_EQ(first.size(), 6);
    EXPECT_EQ(statusText(first.at(0)), QStringLiteral("good"));
    EXPECT_EQ(first.at(0).type, QStringLiteral("float64"));
    EXPECT_EQ(first.at(1).type, QStringLiteral("uint32"));
    EXPECT_TRUE(isWholeNumberValue(first.at(1).value));
    EXPECT_EQ(statusText(first.at(2)), QStringLiteral("BadNotReadable"));
    EXPECT_EQ(first.at(3).value, QVariant(QStringLiteral("Text 4203")));
    EXPECT_EQ(first.at(4).value, QVariant(qint64(4205)));
    EXPECT_EQ(statusText(first.at(5)), QStringLiteral("BadNoMatch"));
    // The values change.
    QTest::qWait(150);
    EXPECT_NE(read({"Press.Ram.Position"}).value(0).value, first.at(0).value);

    const QList<VariableDescription> described =
        describe({"Press.SerialNumber", "Press.Secret", "Press.Nothing"});
    ASSERT_EQ(described.size(), 3);
    EXPECT_TRUE(described.at(0).readable);
    EXPECT_FALSE(described.at(0).writable);
    EXPECT_EQ(described.at(0).type, QStringLiteral("text"));
    EXPECT_EQ(described.at(0).address, QStringLiteral("ns=1;s=Press.SerialNumber"));
    EXPECT_FALSE(described.at(1).readable);
    EXPECT_FALSE(described.at(2).known);

    EXPECT_TRUE(write(QStringLiteral("Plant.Line001.Var001"), -77).written);
    EXPECT_EQ(read({"Plant.Line001.Var001"}).value(0).value, QVariant(qint64(-77)));
    const WriteOutcome refused = write(QStringLiteral("Press.SerialNumber"), QStringLiteral("X"));
    EXPECT_FALSE(refused.written);
    EXPECT_TRUE(refused.reason.contains(QStringLiteral("BadNotWritable"))) << refused.reason.toStdString();
    EXPECT_TRUE(refused.reason.contains(QStringLiteral("BadTypeMismatch")) ||
                !write(QStringLiteral("Plant.Line001.Var001"), QStringLiteral("many")).written);
}

struct RefusedConnection
{
    const char* option;
    // The URL, "" for the test server's.
    const char* url;
    const char* status;
};

class OpcUaRefused : public OpcUaEngine, public ::testing::WithParamInterface<RefusedConnection>
{
};

TEST_P(OpcUaRefused, FailsWithTheStatusCodeByName)
{
    const RefusedConnection& refused = GetParam();
    const QString url =
        QString::fromLatin1(refused.url).isEmpty() ? s_server->url() : QString::fromLatin1(refused.url);
    const QString failure = addFailure(QString::fromLatin1(refused.option), url);
    EXPECT_TRUE(failure.contains(QString::fromLatin1(refused.status))) << failure.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    OpcUa, OpcUaRefused,
    ::testing::Values(RefusedConnection{"Timeout=2000", "opc.tcp://127.0.0.1:1", "BadConnectionRejected"},
                      RefusedConnection{"", "http://127.0.0.1:4840", "BadTcpEndpointUrlInvalid"},
                      RefusedConnection{"Security=SignAndEncrypt", "", "BadSecurityModeRejected"},
                      RefusedConnection{"User=intruder", "", "BadUserAccessDenied"}));

TEST_F(OpcUaEngine, SignedConnectionMakesItsClientCertificateInTheConfigurationFolder)
{
    QTemporaryDir config;
    const ScopedEnv home("XDG_CONFIG_HOME", config.path());
    connect(QStringLiteral("Security=Sign"));
    EXPECT_TRUE(QFile::exists(
        config.filePath(QStringLiteral("QuorTagEditor/opcua-pki/own/certs/client_certificate.pem"))));
    EXPECT_EQ(statusText(read({"Press.Counter"}).value(0)), QStringLiteral("good"));
}

TEST_F(OpcUaEngine, PasswordComesFromTheEnvironmentAndNeverReachesAMessage)
{
    const QString wrong = QStringLiteral("not-the-Pw-42");
    {
        const ScopedEnv password("QUOR_OPCUA_PASSWORD", wrong);
        const QString failure = addFailure(QStringLiteral("User=operator"));
        EXPECT_TRUE(failure.contains(QStringLiteral("BadUserAccessDenied"))) << failure.toStdString();
        EXPECT_FALSE(failure.contains(wrong));
    }
    const ScopedEnv password("QUOR_OPCUA_PASSWORD", kOpcUaTestPassword);
    connect(QStringLiteral("User=operator"));
    const WriteOutcome refused = write(QStringLiteral("Press.SerialNumber"), 1);
    EXPECT_FALSE(refused.reason.isEmpty());
    EXPECT_FALSE(refused.reason.contains(kOpcUaTestPassword));
}

TEST_F(OpcUaEngine, ReadKeepsItsTimeout)
{
    connect(QStringLiteral("Timeout=400"));
    QElapsedTimer clock;
    clock.start();
    const VariableValue slow = read({"Press.Slow"}).value(0);
    EXPECT_EQ(statusText(slow), QStringLiteral("timeout"));
    EXPECT_GE(clock.elapsed(), 350);
    // The bridge answers at the timeout; the server takes 3 s.
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(statusText(read({"Press.Counter"}).value(0)), QStringLiteral("good"));
}

TEST_F(OpcUaEngine, BridgeKilledDuringABrowseGivesTheReasonAndTheNextConnectionWorks)
{
    connect();
    const QList<qint64> bridges = runningBridges();
    ASSERT_EQ(bridges.size(), 1);
    // Killed at the browse's first report, with most of the tree still to come.
    dynamic_cast<IBrowseProgress&>(*controller)
        .setBrowseListener([bridge = pid_t(bridges.first()), killed = false](qint64, qint64) mutable {
            if (!std::exchange(killed, true))
                ::kill(bridge, SIGKILL);
        });
    QString failure;
    try {
        controller->VariableNames(Variant());
    } catch (const EngineError& e) {
        failure = e.message();
    }
    EXPECT_TRUE(failure.contains(QStringLiteral("The OPC UA bridge was stopped."))) << failure.toStdString();

    connect(QStringLiteral("Root=ns=1;s=Press.Ram"));
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), (QStringList{"Position", "Speed"}));
}

// A small server of its own, to be stopped.
TEST(OpcUaStoppedServer, EndsReadsAndBrowsesWithinTheTimeoutWithTheReason)
{
    OpcUaTestServer server(1);
    const ScopedEnv engineVariable("QUOR_ENGINE", opcUaPluginPath());
    EngineValues sources;
    QString reason;
    const std::shared_ptr<IEngine> engine = CreateEngine(&reason, &sources);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    const std::shared_ptr<IController> controller = engine->Workspaces()->Item(0)->AddController(
        QStringLiteral("Press1"), QStringLiteral("QuorProv.OpcUa"), server.url(),
        QStringLiteral("Timeout=1500"));
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())).size(), 110);
    server.stop();
    QElapsedTimer clock;
    clock.start();
    QString failure;
    try {
        controller->VariableNames(Variant());
    } catch (const EngineError& e) {
        failure = e.message();
    }
    EXPECT_LT(clock.elapsed(), 1500 + 500);
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Browsing %1 failed: Bad").arg(server.url())))
        << failure.toStdString();
}

TEST(OpcUaPlugin, WithoutNodeJsIsNotOfferedAndTheOthersStillServe)
{
    const ScopedEnv node("QUOR_OPCUA_NODE", QStringLiteral("/nonexistent/node"));
    const ScopedEnv engineVariable("QUOR_ENGINE", simPluginPath() + QLatin1Char(':') + opcUaPluginPath());
    QString reason;
    const std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral(
        "QuorProv.OpcUa is not offered: Node.js was not found at /nonexistent/node (QUOR_OPCUA_NODE).")))
        << reason.toStdString();
    const QStringList providers = textsOf(engine->Workspaces()->Item(0)->ProviderNames(Variant()));
    EXPECT_FALSE(providers.contains(QStringLiteral("QuorProv.OpcUa")));
    EXPECT_TRUE(providers.contains(QStringLiteral("QuorProv.TULO")));
}

} // namespace
