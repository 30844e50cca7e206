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
        {R"({"providers": [{"name": "A", "kind": "lyra8", "stations": [{"address": "h", "answerMs": -1}]}]})",
         QStringLiteral("stations[0].answerMs")},
        {R"({"providers": [{"name": "A", "kind": "queryServer", "servers": [{"address": "h", "port": 1, "controllers": [{"name": "C", "answerMs": 5}]}]}]})",
         QStringLiteral("servers[0].controllers[0]")},
    };
    for (const auto& [json, place] : cases) {
        const QString reason = rejection(json);
        EXPECT_TRUE(reason.contains(place)) << json.toStdString() << " -> " << reason.toStdString();
    }
}

struct ListCase
{
    const char* what;
    QByteArray variables; // the members that give a controller or station its variables
    QStringList names;
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.what;
}

// A variable list reads the same wherever it stands: on a controller that is connected, on
// one a query server lists, and on a BRAKKA station.
class SimVariableLists : public SimCatalogFileTest, public ::testing::WithParamInterface<ListCase>
{
};

TEST_P(SimVariableLists, GiveTheNamesInCatalogOrderWhereverTheyAreRead)
{
    QByteArray json = R"({
  "variableSets": { "s": { "variables": ["X"], "generate": [{"prefix": "G", "count": 2}] } },
  "providers": [
    { "name": "Gen", "kind": "general", "controllers": [ { "name": "C", @ } ] },
    { "name": "Query", "kind": "queryServer", "servers": [ { "address": "h", "port": 1, "controllers": [ { "name": "C", @ } ] } ] },
    { "name": "Lyra", "kind": "lyra8", "stations": [ { "address": "h", @ } ] }
  ]
})";
    json.replace("@", GetParam().variables);
    const auto workspace = openWorkspace(catalogFile(json));
    ASSERT_NE(workspace, nullptr);
    const QStringList& names = GetParam().names;
    EXPECT_EQ(variablesOf(*workspace->AddController(QStringLiteral("C"), QStringLiteral("Gen"), QString(),
                                                    QString())),
              names);
    const auto server = workspace->AddController(QString(), QStringLiteral("Query"), QString(),
                                                 QStringLiteral("Conn=eth:h:1"));
    const auto extension = server->AddExtension(QStringLiteral("QuorSQL"), Variant());
    EXPECT_EQ(query(*extension, QStringLiteral("GET:C::!ItemNames:")), names);
    EXPECT_EQ(variablesOf(*workspace->AddController(QString(), QStringLiteral("Lyra"), QString(),
                                                    QStringLiteral("Server=h"))),
              names);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogs, SimVariableLists,
    ::testing::Values(
        ListCase{
            "names, then two rules",
            R"("variables": ["A"], "generate": [{"prefix": "R", "count": 3, "digits": 2}, {"prefix": "S[", "first": 9, "count": 2, "suffix": "]"}])",
            {"A", "R00", "R01", "R02", "S[9]", "S[10]"}},
        ListCase{
            "a shared set, then names and a rule",
            R"("variableSet": "s", "variables": ["Y"], "generate": [{"prefix": "H", "first": 7, "count": 1}])",
            {"X", "G0", "G1", "Y", "H7"}},
        ListCase{
            "an empty rule and numbers wider than their padding",
            R"("generate": [{"prefix": "Z", "count": 0}, {"prefix": "N", "first": 123, "count": 2, "digits": 2}])",
            {"N123", "N124"}}));

} // namespace
