#include "engine/EngineError.h"
#include "tests/engine/SimProviders.h"
#include "tests/engine/SimTestSupport.h"

#include <gtest/gtest.h>

// The simulation engine on its built-in catalog, one connection way after the other.
namespace {

const QString kServer = QStringLiteral("Conn=eth:192.168.10.20:7010");

QString itemNames(const QString& controller)
{
    return QStringLiteral("GET:") + controller + QStringLiteral("::!ItemNames:");
}

using SimWaysTest = SimWorkspaceTest;

TEST_F(SimWaysTest, WorkspaceZeroListsEveryProviderInCatalogOrder)
{
    const auto workspace = openWorkspace();
    ASSERT_NE(workspace, nullptr);
    EXPECT_EQ(m_engine->Workspaces()->Item(0), workspace);
    EXPECT_THROW(m_engine->Workspaces()->Item(1), EngineError);
    const Variant providers = workspace->ProviderNames(Variant());
    EXPECT_EQ(providers.lowerBound(), 0);
    EXPECT_EQ(textsOf(providers),
              (QStringList{kEthernet, QStringLiteral("QuorProv.Sim.Serial"), kTulo, kFerrit, kLyra8}));
}

TEST_F(SimWaysTest, GeneralProviderReachesNamedControllersAndTheirVariables)
{
    const auto workspace = openWorkspace();
    const auto press = workspace->AddController(QStringLiteral("press01"), kEthernet, QString(), QString());
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(press->Name(), QStringLiteral("Press01"));
    const Variant names = press->VariableNames(Variant());
    EXPECT_EQ(names.dimensions(), 1);
    EXPECT_EQ(names.lowerBound(), 0);
    const QStringList variables = textsOf(names);
    EXPECT_GE(variables.size(), 40);
    for (const char* name : {"Ram.Position", "Stroke Counter", "Die Temp[1]", "Safety.Light Curtain"})
        EXPECT_TRUE(variables.contains(QLatin1String(name))) << name;

    const auto packer =
        workspace->AddController(QStringLiteral("Packer03"), kEthernet, QStringLiteral("CELL-NORTH"),
                                 QStringLiteral("Station=3, Retry=2,Timeout=500"));
    EXPECT_TRUE(variablesOf(*packer).contains(QStringLiteral("Seal Jaw[2].Temp")));

    const auto serial =
        workspace->AddController(QStringLiteral("Dosing01"), QStringLiteral("QuorProv.Sim.Serial"), QString(),
                                 QStringLiteral("Port=COM3,Baud=9600"));
    EXPECT_TRUE(variablesOf(*serial).contains(QStringLiteral("Tank A.Level")));
}

TEST_F(SimWaysTest, BigControllerListsAllFortyThousandVariablesAndEmptyOneNone)
{
    const auto workspace = openWorkspace();
    const QStringList big =
        variablesOf(*workspace->AddController(QStringLiteral("BigCell"), kEthernet, QString(), QString()));
    ASSERT_EQ(big.size(), 40000);
    EXPECT_EQ(big.first(), QStringLiteral("D00000"));
    EXPECT_EQ(big.last(), QStringLiteral("D39999"));

    const Variant none = workspace->AddController(QStringLiteral("Spare09"), kEthernet, QString(), QString())
                             ->VariableNames(Variant());
    EXPECT_TRUE(none.isArray());
    EXPECT_LT(none.upperBound(), none.lowerBound());
}

TEST_F(SimWaysTest, QueryServerReportsItsControllersAndTheirItems)
{
    const auto workspace = openWorkspace();
    const auto server = workspace->AddController(QString(), kTulo, QString(), kServer);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->Name(), QStringLiteral("TULO_1"));
    EXPECT_TRUE(variablesOf(*server).contains(QStringLiteral("$Server.Status")));

    const auto extension = server->AddExtension(QStringLiteral("QuorSQL"), Variant());
    ASSERT_NE(extension, nullptr);
    const QStringList controllers = query(*extension, kControllerNames);
    EXPECT_EQ(controllers, (QStringList{QStringLiteral("LineA_Press"), QStringLiteral("LineA_Oven"),
                                        QStringLiteral("LineB Packer"), QStringLiteral("LineB:Conveyor"),
                                        QStringLiteral("LineC_Big")}));
    EXPECT_TRUE(query(*extension, itemNames(QStringLiteral("LineB:Conveyor")))
                    .contains(QStringLiteral("Section[8].Jam")));
    EXPECT_EQ(query(*extension, itemNames(QStringLiteral("LineC_Big"))).size(), 40000);
    EXPECT_THROW(query(*extension, itemNames(QString())), EngineError);
    EXPECT_THROW(query(*extension, itemNames(QStringLiteral("Nobody"))), EngineError);
    EXPECT_THROW(query(*extension, QStringLiteral("GET:$ENGINE$::!Everything:")), EngineError);
    extension->setValue(Variant::text(kControllerNames));
    EXPECT_THROW(extension->Execute(1), EngineError);
}

TEST_F(SimWaysTest, ExtensionsAreCountedFromOneAndRemovedByIndex)
{
    const auto workspace = openWorkspace();
    const auto server = workspace->AddController(QString(), kTulo, QString(), kServer);
    const auto first = server->AddExtension(QStringLiteral("QuorSQL"), Variant::text(QString()));
    const auto second = server->AddExtension(QStringLiteral("QuorSQL"), Variant());
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(second->Index(), 2);

    const auto extensions = server->Extensions();
    EXPECT_THROW(extensions->Remove(Variant::number(3)), EngineError);
    EXPECT_THROW(extensions->Remove(Variant::text(QStringLiteral("1"))), EngineError);
    extensions->Remove(Variant::number(first->Index()));
    EXPECT_EQ(second->Index(), 1);
    EXPECT_THROW(first->Index(), EngineError);
    EXPECT_THROW(first->Execute(0), EngineError);
    extensions->Remove(Variant::number(1));
    EXPECT_THROW(extensions->Remove(Variant::number(1)), EngineError);
    EXPECT_THROW(server->AddExtension(QStringLiteral("QuorXML"), Variant()), EngineError);
}

TEST_F(SimWaysTest, BrakkaStationsAnswerWithTheirOptions)
{
    const auto workspace = openWorkspace();
    const auto lyra8 = workspace->AddController(QString(), kLyra8, QString(),
                                                QStringLiteral("Server=192.168.30.10,Timeout=3000"));
    EXPECT_EQ(lyra8->Name(), QStringLiteral("Lyra8_1"));
    const QStringList lyra8Variables = variablesOf(*lyra8);
    EXPECT_TRUE(lyra8Variables.contains(QStringLiteral("Spindle Load")));
    EXPECT_TRUE(lyra8Variables.contains(QStringLiteral("Param[99]")));

    const auto ferrit = workspace->AddController(QString(), kFerrit, QString(),
                                                 QStringLiteral("Conn=eth:192.168.20.11,Timeout=3000"));
    EXPECT_EQ(ferrit->Name(), QStringLiteral("Ferrit_1"));
    EXPECT_TRUE(variablesOf(*ferrit).contains(QStringLiteral("Extra.Heater On")));

    // A station's controller does not answer queries.
    const auto extension = ferrit->AddExtension(QStringLiteral("QuorSQL"), Variant());
    extension->setValue(Variant::text(kControllerNames));
    EXPECT_THROW(extension->Execute(0), EngineError);
}

TEST_F(SimWaysTest, EngineNamesCountUpPerKindAndPerEngine)
{
    auto workspace = openWorkspace();
    const QString lyra8Option = QStringLiteral("Server=192.168.30.11,Timeout=100");
    EXPECT_EQ(workspace->AddController(QString(), kTulo, QString(), kServer)->Name(),
              QStringLiteral("TULO_1"));
    EXPECT_EQ(workspace->AddController(QString(), kLyra8, QString(), lyra8Option)->Name(),
              QStringLiteral("Lyra8_1"));
    EXPECT_EQ(workspace->AddController(QStringLiteral("Mine"), kLyra8, QString(), lyra8Option)->Name(),
              QStringLiteral("Mine"));
    EXPECT_THROW(workspace->AddController(QString(), kLyra8, QString(), QStringLiteral("Server=")),
                 EngineError);
    EXPECT_EQ(workspace->AddController(QString(), kLyra8, QString(), lyra8Option)->Name(),
              QStringLiteral("Lyra8_2"));
    EXPECT_EQ(workspace->AddController(QString(), kTulo, QString(), kServer)->Name(),
              QStringLiteral("TULO_2"));

    workspace = openWorkspace();
    EXPECT_EQ(workspace->AddController(QString(), kTulo, QString(), kServer)->Name(),
              QStringLiteral("TULO_1"));
}

} // namespace
