#include "engine/EngineError.h"
#include "tests/engine/SimProviders.h"
#include "tests/engine/SimTestSupport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

// The simulation engine refuses what a real engine would refuse.
namespace {

using SimFailureTest = SimWorkspaceTest;

// The message of the failure of one AddController call; "" when it succeeded.
QString refusal(IWorkspace& workspace, const QString& controller, const QString& provider,
                const QString& machine, const QString& option)
{
    try {
        workspace.AddController(controller, provider, machine, option);
    } catch (const EngineError& e) {
        return e.message();
    }
    return QString();
}

// Milliseconds until AddController failed; -1 when it succeeded.
qint64 msUntilRefused(IWorkspace& workspace, const QString& provider, const QString& option,
                      const QString& machine = QString(), const QString& controller = QString())
{
    QElapsedTimer timer;
    timer.start();
    return refusal(workspace, controller, provider, machine, option).isEmpty() ? -1 : timer.elapsed();
}

TEST_F(SimFailureTest, UnknownProviderControllerOrMachineIsRefused)
{
    const auto workspace = openWorkspace();
    EXPECT_FALSE(
        refusal(*workspace, QStringLiteral("Press01"), QStringLiteral("QuorProv.Nobody"), {}, {}).isEmpty());
    EXPECT_FALSE(refusal(*workspace, QStringLiteral("Press01"), QString(), {}, {}).isEmpty());
    EXPECT_FALSE(refusal(*workspace, QStringLiteral("Press99"), kEthernet, {}, {}).isEmpty());
    EXPECT_FALSE(refusal(*workspace, QString(), kEthernet, {}, {}).isEmpty());
    // A controller is found only on its own machine.
    EXPECT_FALSE(refusal(*workspace, QStringLiteral("Packer03"), kEthernet, {}, {}).isEmpty());
    EXPECT_FALSE(refusal(*workspace, QStringLiteral("Packer03"), kEthernet, QStringLiteral("cell-south"), {})
                     .isEmpty());
    EXPECT_TRUE(refusal(*workspace, QStringLiteral("Packer03"), kEthernet, QStringLiteral("cell-north"), {})
                    .isEmpty());
    const QString unknownMachine =
        refusal(*workspace, QStringLiteral("Press01"), kEthernet, QStringLiteral("nowhere"), {});
    EXPECT_TRUE(unknownMachine.contains(QStringLiteral("nowhere"))) << unknownMachine.toStdString();
    EXPECT_FALSE(refusal(*workspace, QString(), kLyra8, QStringLiteral("cell-north"),
                         QStringLiteral("Server=192.168.30.10,Timeout=10"))
                     .isEmpty());
}

TEST_F(SimFailureTest, MalformedOptionsAreRefusedAtOnce)
{
    const auto workspace = openWorkspace();
    const QList<QPair<QString, QString>> cases{
        {kTulo, QString()},
        {kTulo, QStringLiteral("Conn=eth:192.168.10.20")},
        {kTulo, QStringLiteral("Conn=tcp:192.168.10.20:7010")},
        {kTulo, QStringLiteral("Conn=eth:192.168.10.20:70100")},
        {kTulo, QStringLiteral("Conn=eth::7010")},
        {kTulo, QStringLiteral("Server=192.168.10.20")},
        {kTulo, QStringLiteral("Conn=eth:192.168.10.20:7010,Timeout=soon")},
        {kLyra8, QStringLiteral("Server=,Timeout=")},
        {kLyra8, QStringLiteral("Server=192.168.30.10,Timeout=")},
        {kLyra8, QStringLiteral("Server=192.168.30.10;Timeout=100")},
        {kLyra8, QStringLiteral("Server=192.168.30 .10,Timeout=100")},
        {kLyra8, QStringLiteral("Conn=eth:192.168.30.10,Timeout=100")},
        {kLyra8, QStringLiteral("Server=192.168.30.10,Timeout=-1")},
        {kLyra8, QStringLiteral("Server=192.168.30.10,Timeout=100,Timeout=200")},
        {kFerrit, QStringLiteral("Conn=,Timeout=")},
        {kFerrit, QStringLiteral("Conn=192.168.20.10,Timeout=100")},
        {kFerrit, QStringLiteral("Conn=eth:192.168.20.10:7010,Timeout=100")},
        {kFerrit, QStringLiteral("Server=192.168.20.10,Timeout=100")},
        {kEthernet, QStringLiteral("Station")},
        {kEthernet, QStringLiteral("Colour=red")},
        {kEthernet, QStringLiteral("Station=1,")},
    };
    for (const auto& [provider, option] : cases) {
        const QString controller = provider == kEthernet ? QStringLiteral("Press01") : QString();
        const QString message = refusal(*workspace, controller, provider, QString(), option);
        EXPECT_TRUE(message.startsWith(QStringLiteral("Malformed option")))
            << provider.toStdString() << " " << option.toStdString() << ": " << message.toStdString();
    }
}

TEST_F(SimFailureTest, AddressThatAnswersNobodyFailsAfterTheGivenTimeout)
{
    const auto workspace = openWorkspace();
    const QList<QPair<QString, QString>> silent{
        {kLyra8, QStringLiteral("Server=10.1.2.3,Timeout=250")},
        {kLyra8, QStringLiteral("Server=192.168.30.99,Timeout=250")},
        {kFerrit, QStringLiteral("Conn=eth:192.168.20.99,Timeout=250")},
        {kTulo, QStringLiteral("Conn=eth:192.168.10.99:7010,Timeout=250")},
        {kTulo, QStringLiteral("Conn=eth:192.168.10.20:7011,Timeout=250")},
    };
    for (const auto& [provider, option] : silent)
        EXPECT_GE(msUntilRefused(*workspace, provider, option), 250) << option.toStdString();
    EXPECT_GE(msUntilRefused(*workspace, kEthernet, QStringLiteral("Timeout=250"),
                             QStringLiteral("cell-west"), QStringLiteral("Press01")),
              250);
}

TEST_F(SimFailureTest, OperationsRefuseOptionsTheyDoNotTake)
{
    const auto workspace = openWorkspace();
    EXPECT_THROW(workspace->ProviderNames(Variant::text(QStringLiteral("All"))), EngineError);
    const auto controller =
        workspace->AddController(QStringLiteral("Oven02"), kEthernet, QString(), QString());
    EXPECT_THROW(controller->VariableNames(Variant::number(1)), EngineError);
    EXPECT_THROW(controller->AddExtension(QStringLiteral("QuorSQL"), Variant::text(QStringLiteral("x"))),
                 EngineError);
}

} // namespace
