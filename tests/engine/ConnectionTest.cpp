#include "engine/Connection.h"
#include "engine/ConnectionOptions.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

// The three connection ways and the browsing through Connection alone, over the fake engine.
namespace {

const QString kReportedName = QStringLiteral("Reported_1");

class ConnectionFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine->controllerName = kReportedName;
        connection.setWorkspace(engine->createEngine()->Workspaces()->Item(0));
        engine->calls.clear();
    }

    std::shared_ptr<FakeEngineScript> engine = FakeEngineScript::create();
    Connection connection;
};

struct WayCase
{
    const char* name;
    ConnectionRequest request;
    // What AddController must be given: controller, provider, machine, option.
    QStringList asked;
    qint32 recordType;
    QString recordedController;

    QString call() const { return QStringLiteral("AddController(%1)").arg(asked.join(QLatin1Char('|'))); }
    QString described() const
    {
        return ConnectionOptions::describeRequest(asked.at(0), asked.at(1), asked.at(2), asked.at(3));
    }
};

void PrintTo(const WayCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<WayCase> wayCases()
{
    const QString ethernet = QStringLiteral("QuorProv.Sim.Ethernet");
    const QString server = QStringLiteral("Conn=eth:192.168.10.20:7010");
    const QString typed = QStringLiteral(" Press 01 ");
    return {
        // QUOR records the name as typed, blanks and all; the others the name the engine reports.
        {"Quor",
         ConnectionRequest::quor(typed, ethernet, QStringLiteral("cell-north"), QStringLiteral("Station=3")),
         {typed, ethernet, QStringLiteral("cell-north"), QStringLiteral("Station=3")},
         1,
         typed},
        {"Tulo",
         ConnectionRequest::tulo(server),
         {QString(), QStringLiteral("QuorProv.TULO"), QString(), server},
         2,
         kReportedName},
        {"Lyra7",
         ConnectionRequest::brakka(0, QStringLiteral("eth:192.168.20.10"), QStringLiteral("500")),
         {QString(), QStringLiteral("QuorProv.BRAKKA.Ferrit"), QString(),
          QStringLiteral("Conn=eth:192.168.20.10,Timeout=500")},
         1,
         kReportedName},
        // Empty fields still give every piece of the option.
        {"Lyra8",
         ConnectionRequest::brakka(1, QString(), QString()),
         {QString(), QStringLiteral("QuorProv.BRAKKA.Lyra8"), QString(), QStringLiteral("Server=,Timeout=")},
         1,
         kReportedName},
    };
}

class ConnectionWays : public ConnectionFixture, public ::testing::WithParamInterface<WayCase>
{
};

TEST_P(ConnectionWays, ConnectRecordAndDisconnectMakeExactlyTheWaysCalls)
{
    const WayCase& c = GetParam();
    ASSERT_EQ(connection.connect(c.request), std::nullopt);
    EXPECT_EQ(engine->calls, QStringList{c.call()});
    ASSERT_TRUE(connection.isConnected());

    const auto made = connection.record();
    ASSERT_TRUE(made.ok()) << made.failure->toStdString();
    const bool asksName = c.request.way != ConnectionWay::Quor;
    EXPECT_EQ(connection.recordAsksEngine(), asksName);
    EXPECT_EQ(engine->calls.mid(1), asksName ? QStringList{QStringLiteral("Name()")} : QStringList{});
    EXPECT_EQ(made.value->m_lConnectType, c.recordType);
    EXPECT_EQ(made.value->m_strControllerName, c.recordedController);
    EXPECT_EQ((QStringList{made.value->m_strProviderName, made.value->m_strMachineName,
                           made.value->m_strOptionVal}),
              c.asked.mid(1));

    // A reported name that fails is told with the request, and the controller is still held.
    engine->failOn(QStringLiteral("Name"));
    if (asksName) {
        EXPECT_EQ(connection.record().failure,
                  QStringLiteral("The fake engine fails Name as asked.\n") + c.described());
    }
    EXPECT_TRUE(connection.isConnected());

    engine->calls.clear();
    connection.disconnect();
    EXPECT_TRUE(engine->calls.isEmpty()) << "disconnecting only drops the controller";
    EXPECT_EQ(connection.controller(), nullptr);
    EXPECT_EQ(engine->released.count(QStringLiteral("Controller")), 1);
}

TEST_P(ConnectionWays, RefusalGivesTheEngineWordsAndTheRequestAndHoldsNothing)
{
    const WayCase& c = GetParam();
    engine->failOn(QStringLiteral("AddController"));
    EXPECT_EQ(connection.connect(c.request),
              QStringLiteral("The fake engine fails AddController as asked.\n") + c.described());
    engine->succeedOn(QStringLiteral("AddController"));
    engine->noController = true;
    EXPECT_EQ(connection.connect(c.request),
              QStringLiteral("The engine returned no controller.\n") + c.described());
    EXPECT_EQ(engine->calls, QStringList(2, c.call()));
    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(connection.record().ok());
    EXPECT_EQ(connection.variableNames().failure,
              QStringLiteral("Query: VariableNames\nNo controller is connected."));

    engine->calls.clear();
    connection.setWorkspace(nullptr);
    EXPECT_EQ(connection.connect(c.request), QStringLiteral("No workspace.\n") + c.described());
    EXPECT_TRUE(engine->calls.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Ways, ConnectionWays, ::testing::ValuesIn(wayCases()),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// Each browse: the query it runs ("" for the controller's own list) and how it is started.
struct BrowseCase
{
    const char* name;
    QString query;
    NameListing (*browse)(Connection&);

    bool ownList() const { return query.isEmpty(); }
    QString shownQuery() const { return ownList() ? QStringLiteral("VariableNames") : query; }
};

void PrintTo(const BrowseCase& c, std::ostream* os)
{
    *os << c.name;
}

class ConnectionBrowse : public ConnectionFixture, public ::testing::WithParamInterface<BrowseCase>
{
protected:
    void SetUp() override
    {
        ConnectionFixture::SetUp();
        ASSERT_EQ(connection.connect(ConnectionRequest::tulo(QStringLiteral("Conn=eth:10.0.0.1:7010"))),
                  std::nullopt);
    }

    // The engine answers the browse with `names`; the calls from here on are the browse's.
    NameListing browse(const Variant& names)
    {
        if (GetParam().ownList())
            engine->variableNames = names;
        else
            engine->answers.insert(GetParam().query, names);
        engine->calls.clear();
        return GetParam().browse(connection);
    }

    // The extension a query added is removed only when told, with exactly these calls.
    void expectRemoval()
    {
        engine->calls.clear();
        EXPECT_EQ(connection.hasQuorSqlExtension(), !GetParam().ownList());
        connection.removeQuorSqlExtension();
        const QStringList removal = {QStringLiteral("Extensions()"), QStringLiteral("Index()"),
                                     QStringLiteral("Remove(1)")};
        EXPECT_EQ(engine->calls, GetParam().ownList() ? QStringList{} : removal);
        EXPECT_FALSE(connection.hasQuorSqlExtension());
    }
};

TEST_P(ConnectionBrowse, ListsTheNamesWithTheExactCalls)
{
    const QStringList names = {QStringLiteral("LineB:Conveyor"), QString(), QStringLiteral("Die Temp[1]")};
    const NameListing listing = browse(Variant::textArray(names, 70000));
    EXPECT_TRUE(listing.ok()) << listing.failure->toStdString();
    EXPECT_EQ(listing.value, names);
    const QStringList query = {QStringLiteral("AddExtension(QuorSQL|)"),
                               QStringLiteral("setValue(%1)").arg(GetParam().query),
                               QStringLiteral("Execute(0)"), QStringLiteral("Value()")};
    EXPECT_EQ(engine->calls, GetParam().ownList() ? QStringList{QStringLiteral("VariableNames()")} : query);
    EXPECT_EQ(engine->released.count(QStringLiteral("Extension")), 0);
    expectRemoval();
    EXPECT_EQ(engine->released.count(QStringLiteral("Extension")), GetParam().ownList() ? 0 : 1);
}

TEST_P(ConnectionBrowse, FailureKeepsTheNamesBeforeItAndTheExtensionIsStillRemoved)
{
    NameListing listing =
        browse(Variant::array({Variant::text(QStringLiteral("A")), Variant::text(QStringLiteral("B")),
                               Variant::object(), Variant::text(QStringLiteral("C"))}));
    EXPECT_EQ(listing.value, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(listing.failure,
              QStringLiteral("Query: %1\nThe value has no text form.").arg(GetParam().shownQuery()));
    expectRemoval();

    const QString operation =
        GetParam().ownList() ? QStringLiteral("VariableNames") : QStringLiteral("Execute");
    engine->failOn(operation);
    listing = browse(Variant::textArray({QStringLiteral("A")}));
    EXPECT_TRUE(listing.value.isEmpty());
    EXPECT_EQ(listing.failure, QStringLiteral("Query: %1\nThe fake engine fails %2 as asked.")
                                   .arg(GetParam().shownQuery(), operation));
    expectRemoval();
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ConnectionBrowse,
    ::testing::Values(BrowseCase{"ControllerNames", QStringLiteral("GET:$ENGINE$::!ControllerNames:"),
                                 [](Connection& c) { return c.controllerNames(); }},
                      BrowseCase{"ItemNames", QStringLiteral("GET:LineB:Conveyor::!ItemNames:"),
                                 [](Connection& c) { return c.itemNames(QStringLiteral("LineB:Conveyor")); }},
                      BrowseCase{"VariableNames", QString(),
                                 [](Connection& c) { return c.variableNames(); }}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

} // namespace
