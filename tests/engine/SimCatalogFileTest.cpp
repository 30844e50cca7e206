#include "engine/EngineError.h"
#include "tests/engine/SimTestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The simulation engine on a catalog of the user's own.
namespace {

class SimCatalogFileTest : public SimWorkspaceTest
{
protected:
    QString catalogFile(const QByteArray& json)
    {
        const QString path = m_dir.filePath(QStringLiteral("catalog%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return path;
    }

    // The reason the engine cannot be created from this catalog text.
    QString rejection(const QByteArray& json)
    {
        const ScopedEnv engine("QUOR_ENGINE", simPluginPath());
        const ScopedEnv file("QUOR_SIM_CATALOG", catalogFile(json));
        QString reason;
        EXPECT_EQ(CreateEngine(&reason), nullptr) << json.toStdString();
        return reason;
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

const QByteArray kOwnCatalog = R"({
  "about": "a small plant",
  "variableSets": { "pump": { "variables": ["Flow", "Run Hours"], "generate": [{"prefix": "P[", "first": 8, "count": 3, "suffix": "]"}] } },
  "providers": [
    { "name": "Own.Serial", "kind": "general", "options": ["Port"], "machines": ["hall"],
      "controllers": [ { "name": "Pump1", "machine": "hall", "variableSet": "pump", "variables": ["Extra"] } ] },
    { "name": "Own.Query", "kind": "queryServer", "namePrefix": "Q", "timeoutMs": 150,
      "servers": [ { "address": "plant.local", "port": 99, "controllers": [ { "name": "Pump1", "variableSet": "pump" } ] } ] }
  ]
})";

TEST_F(SimCatalogFileTest, OwnCatalogReplacesTheBuiltInOne)
{
    const auto workspace = openWorkspace(catalogFile(kOwnCatalog));
    ASSERT_NE(workspace, nullptr);
    EXPECT_EQ(textsOf(workspace->ProviderNames(Variant())),
              (QStringList{QStringLiteral("Own.Serial"), QStringLiteral("Own.Query")}));
    const auto pump = workspace->AddController(QStringLiteral("Pump1"), QStringLiteral("Own.Serial"),
                                               QStringLiteral("Hall"), QStringLiteral("Port=2"));
    EXPECT_EQ(variablesOf(*pump),
              (QStringList{QStringLiteral("Flow"), QStringLiteral("Run Hours"), QStringLiteral("P[8]"),
                           QStringLiteral("P[9]"), QStringLiteral("P[10]"), QStringLiteral("Extra")}));

    const auto server = workspace->AddController(QString(), QStringLiteral("Own.Query"), QString(),
                                                 QStringLiteral("Conn=eth:plant.local:99"));
    EXPECT_EQ(server->Name(), QStringLiteral("Q_1"));
    EXPECT_TRUE(variablesOf(*server).isEmpty());
    const auto extension = server->AddExtension(QStringLiteral("QuorSQL"), Variant());
    EXPECT_EQ(query(*extension, QStringLiteral("GET:$ENGINE$::!ControllerNames:")),
              QStringList{QStringLiteral("Pump1")});

    // Without a Timeout piece the provider's own timeout applies.
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(workspace->AddController(QString(), QStringLiteral("Own.Query"), QString(),
                                          QStringLiteral("Conn=eth:plant.local:98")),
                 EngineError);
    EXPECT_GE(timer.elapsed(), 150);
}

TEST_F(SimCatalogFileTest, FaultyCatalogNamesThePlaceOfTheFault)
{
    const QList<QPair<QByteArray, QString>> cases{
        {"{ \"providers\": [ ", QStringLiteral("offset")},
        {"[]", QStringLiteral("one JSON object")},
        {"{}", QStringLiteral("providers")},
        {R"({"providers": [{"name": "A", "kind": "telepathy"}]})", QStringLiteral("providers[0].kind")},
        {R"({"providers": [{"name": "A", "kind": "general", "colour": 1}]})", QStringLiteral("colour")},
        {R"({"providers": [{"name": "A", "kind": "lyra8", "servers": []}]})", QStringLiteral("servers")},
        {R"({"providers": [{"name": "A", "kind": "general"}, {"name": "a", "kind": "lyra8"}]})",
         QStringLiteral("providers[1]")},
        {R"({"providers": [{"name": "A", "kind": "queryServer", "servers": [{"address": "h"}]}]})",
         QStringLiteral("providers[0].servers[0]")},
        {R"({"providers": [{"name": "A", "kind": "lyra8", "stations": [{"address": "h", "variableSet": "none"}]}]})",
         QStringLiteral("variableSet")},
        {R"({"providers": [{"name": "A", "kind": "general", "controllers": [{"name": "C", "generate": [{"count": 1.5}]}]}]})",
         QStringLiteral("generate[0].count")},
        {R"({"providers": [{"name": "A", "kind": "general", "timeoutMs": 700000}]})",
         QStringLiteral("timeoutMs")},
    };
    for (const auto& [json, place] : cases) {
        const QString reason = rejection(json);
        EXPECT_TRUE(reason.contains(place)) << json.toStdString() << " -> " << reason.toStdString();
    }
}

} // namespace
