#include "app/ScanModbusCommand.h"
#include "app/ScriptCommands.h"
#include "engine/ModbusScanLoader.h"
#include "engine/ScanRegisterMap.h"
#include "engine/modbus/scan/AddressSearch.h"
#include "tests/engine/ModbusTestSupport.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTimer>

// The scan of a Modbus device: how it finds the served addresses, and the scan of a real device
// on 127.0.0.1 through the connection library, as the window and the command line run it.
namespace {

using namespace modbusscan;

// A device in memory that serves every address but the absent ones, and rejects any read that
// touches one with "illegal data address".
struct SearchCase
{
    const char* label;
    int first;
    int last;
    QList<int> absent;
    int maxBlock;
};

class ScanSearch : public ::testing::TestWithParam<SearchCase>
{
};

TEST_P(ScanSearch, FindsExactlyTheServedAddressesAndNoMoreRequestsThanNeeded)
{
    const SearchCase& c = GetParam();
    const QSet<int> absent(c.absent.begin(), c.absent.end());
    AddressSearch search(c.first, c.last, c.maxBlock);
    int requests = 0;
    QSet<int> served;
    QSet<int> rejected;
    while (!search.finished()) {
        const std::optional<Span> span = search.next();
        ASSERT_TRUE(span) << "the search waits with nothing asked";
        ++requests;
        bool touchesAbsent = false;
        for (int a = span->first; a <= span->last(); ++a)
            touchesAbsent = touchesAbsent || absent.contains(a);
        if (touchesAbsent) {
            search.rejected(*span, 0x02, QStringLiteral("exception 02"));
        } else {
            QList<quint16> values;
            for (int a = span->first; a <= span->last(); ++a)
                values.append(quint16(a));
            search.served(*span, values);
        }
        for (const Result& result : search.takeResults()) {
            for (int a = result.first; a <= result.last; ++a) {
                if (result.status == Status::Served) {
                    EXPECT_EQ(result.values.at(a - result.first), quint16(a));
                    served.insert(a);
                } else {
                    EXPECT_EQ(result.exceptionCode, 0x02);
                    rejected.insert(a);
                }
            }
        }
    }
    EXPECT_EQ(rejected, absent);
    EXPECT_EQ(served.size() + rejected.size(), c.last - c.first + 1);
    const int blocks = (c.last - c.first + c.maxBlock) / c.maxBlock;
    if (absent.isEmpty()) {
        EXPECT_EQ(requests, blocks);
    }
    // Each absent address costs at most two requests a halving of its block.
    const int depth = int(std::ceil(std::log2(double(c.maxBlock)))) + 1;
    EXPECT_LE(requests, blocks + int(absent.size()) * 2 * depth);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanSearch,
    ::testing::Values(SearchCase{"WholeRangeServed", 0, 9999, {}, 125},
                      SearchCase{"BitsInOneBlock", 0, 1999, {}, 2000},
                      SearchCase{
                          "GapsInsideAndAtTheEdges", 0, 999, {0, 17, 124, 125, 126, 500, 998, 999}, 125},
                      SearchCase{"NeighbouringGaps", 100, 260, {130, 131, 132, 133, 200}, 125},
                      SearchCase{"NothingServed", 0, 9, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 125},
                      SearchCase{"OneAddressARequest", 65530, 65535, {65531}, 1}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

TEST(ScanSearchRules, AnExceptionThatSaysNothingOfAddressesIsNotSplit)
{
    AddressSearch search(0, 249, 125);
    const Span first = *search.next();
    const Span second = *search.next();
    search.rejected(first, 0x01, QStringLiteral("exception 01"));
    search.rejected(second, 0x0B, QStringLiteral("exception 0B"));
    EXPECT_TRUE(search.finished());
    EXPECT_FALSE(search.next());
    const QList<Result> results = search.takeResults();
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(results.at(1).last, 249);
    EXPECT_EQ(results.at(1).exceptionCode, 0x0B);
}

// A scan of a device on 127.0.0.1, run to its end in a local event loop.
struct ScanRun
{
    QList<Result> results;
    Summary summary;
};

ScanRun runScan(const Request& request)
{
    const ScopedEnv engine("QUOR_ENGINE", modbusPluginPath());
    ScanRun run;
    std::unique_ptr<IDeviceScan> scan = createModbusScan();
    QEventLoop loop;
    IDeviceScan::Listener listener;
    listener.result = [&run](const Result& result) { run.results.append(result); };
    listener.finished = [&run, &loop](const Summary& summary) {
        run.summary = summary;
        loop.quit();
    };
    scan->start(request, listener);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return run;
}

QStringList servedNames(const ScanRun& run)
{
    QStringList names;
    for (const ScanMapRow& row : scanMapRows(run.results))
        names.append(row.name);
    return names;
}

const QByteArray kScanMap = "Name,Table,Address,Type,Order\n"
                            "A,holding,10,uint32,\n"
                            "B,holding,12,uint16,\n"
                            "T,input,3,int16,\n"
                            "Door,discrete,5,bool,\n";

Request localRequest(const LocalDevice& local, int firstAddress, int lastAddress)
{
    Request request;
    request.target = local.machine();
    request.firstAddress = firstAddress;
    request.lastAddress = lastAddress;
    request.rate = 0;
    request.timeoutMs = 300;
    return request;
}

TEST(ModbusScan, FindsTheAddressesTheDeviceServesAndTheSavedMapConnects)
{
    LocalDevice local(kScanMap, QString());
    const ScanRun run = runScan(localRequest(local, 0, 20));
    EXPECT_EQ(run.summary.ending, Summary::Ending::Answered);
    EXPECT_EQ(run.summary.answeringUnits, QList<int>{1});
    EXPECT_EQ(servedNames(run),
              (QStringList{QStringLiteral("DI5"), QStringLiteral("IR3"), QStringLiteral("HR10"),
                           QStringLiteral("HR11"), QStringLiteral("HR12")}));
    // The map saved from it is what the provider reads, and it lists those names.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scanned.csv"));
    QFile file(path);
    const QByteArray text = registerMapText(scanMapRows(run.results));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    const ScopedEnv engineVariable("QUOR_ENGINE", modbusPluginPath());
    QString reason;
    const std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    const std::shared_ptr<IController> controller = engine->Workspaces()->Item(0)->AddController(
        QStringLiteral("Scanned"), QStringLiteral("QuorProv.ModbusTCP"), local.machine(),
        QStringLiteral("Map=") + path);
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), servedNames(run));
}

TEST(ModbusScan, UnitsThatDoNotAnswerAreSkippedAndTheAnsweringOneFound)
{
    LocalDevice local(kScanMap, QString(), 2);
    Request request = localRequest(local, 10, 12);
    request.firstUnit = 1;
    request.lastUnit = 3;
    request.tables = {Table::Holding};
    const ScanRun run = runScan(request);
    EXPECT_EQ(run.summary.answeringUnits, QList<int>{2});
    EXPECT_EQ(servedNames(run),
              (QStringList{QStringLiteral("HR10"), QStringLiteral("HR11"), QStringLiteral("HR12")}));
    // One request for each unit (and one more try after the connection a timeout closed).
    EXPECT_LE(run.summary.requests, 4);
    for (const Result& result : run.results) {
        if (result.unit != 2) {
            EXPECT_EQ(result.status, Status::Timeout);
        }
    }
}

// The command line: its exit codes, its output, and its complaints about the options.
struct CommandRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

CommandRun runCommand(const QStringList& arguments)
{
    const ScopedEnv engine("QUOR_ENGINE", modbusPluginPath());
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    CommandRun run;
    run.code = runScriptCommand(QStringList{QStringLiteral("QuorTagEditor")} + arguments, out, err);
    run.out = out.data();
    run.err = err.data();
    return run;
}

TEST(ScanModbusCommand, ExitsByWhatAnsweredAndWritesTheMap)
{
    LocalDevice local(kScanMap, QString());
    const CommandRun served =
        runCommand({QStringLiteral("--scan-modbus"), local.machine(), QStringLiteral("--table"),
                    QStringLiteral("holding"), QStringLiteral("--range"), QStringLiteral("0-20"),
                    QStringLiteral("--rate"), QStringLiteral("0")});
    EXPECT_EQ(served.code, 0) << served.err.toStdString();
    EXPECT_EQ(served.out, QByteArray("Name,Table,Address,Type,Order\nHR10,holding,10,uint16,\n"
                                     "HR11,holding,11,uint16,\nHR12,holding,12,uint16,\n"));
    EXPECT_TRUE(served.err.contains("100% of 21 addresses")) << served.err.toStdString();

    const CommandRun nothing =
        runCommand({QStringLiteral("--scan-modbus"), local.machine(), QStringLiteral("--range"),
                    QStringLiteral("100-110"), QStringLiteral("--rate"), QStringLiteral("0")});
    EXPECT_EQ(nothing.code, 1) << nothing.err.toStdString();
    EXPECT_TRUE(nothing.out.isEmpty());

    RefusingPort refusing;
    const CommandRun unreachable = runCommand({QStringLiteral("--scan-modbus"), refusing.machine()});
    EXPECT_EQ(unreachable.code, 2);
    EXPECT_TRUE(unreachable.err.contains("cannot be reached: Connection refused"))
        << unreachable.err.toStdString();
}

struct OptionCase
{
    const char* label;
    ScanOptionTexts texts;
    const char* fault;
};

class ScanOptions : public ::testing::TestWithParam<OptionCase>
{
};

TEST_P(ScanOptions, AreRefusedNamingTheOption)
{
    QString error;
    EXPECT_FALSE(scanRequestFrom(GetParam().texts, error));
    EXPECT_TRUE(error.startsWith(QLatin1String(GetParam().fault))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanOptions,
    ::testing::Values(
        OptionCase{"NoTarget", {QStringLiteral(" "), {}, {}, {}, {}, {}}, "--scan-modbus needs"},
        OptionCase{"UnitBeyond255", {QStringLiteral("h"), QStringLiteral("1-256"), {}, {}, {}, {}}, "--unit"},
        OptionCase{"UnknownTable",
                   {QStringLiteral("h"), {}, QStringLiteral("holding,flags"), {}, {}, {}},
                   "--table"},
        OptionCase{"RangeBackwards", {QStringLiteral("h"), {}, {}, QStringLiteral("9-1"), {}, {}}, "--range"},
        OptionCase{"NegativeRate", {QStringLiteral("h"), {}, {}, {}, QStringLiteral("-1"), {}}, "--rate"},
        OptionCase{"BadParity",
                   {QStringLiteral("/dev/ttyS0"), {}, {}, {}, {}, QStringLiteral("9600,8,X,1")},
                   "--serial"},
        OptionCase{"SerialOverTcp",
                   {QStringLiteral("h"), {}, {}, {}, {}, QStringLiteral("9600,8,N,1")},
                   "--serial goes"}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

TEST(ScanOptionsRead, TakeEveryValue)
{
    QString error;
    const std::optional<Request> request = scanRequestFrom(
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("2-5"), QStringLiteral("coil,Holding"),
         QStringLiteral("100-199"), QStringLiteral("12.5"), QStringLiteral("9600,7,o,2")},
        error);
    ASSERT_TRUE(request) << error.toStdString();
    EXPECT_EQ(std::tie(request->firstUnit, request->lastUnit, request->firstAddress, request->lastAddress),
              std::make_tuple(2, 5, 100, 199));
    EXPECT_EQ(request->tables, (QList<Table>{Table::Coil, Table::Holding}));
    EXPECT_EQ(std::tie(request->baudRate, request->dataBits, request->parity, request->stopBits),
              std::make_tuple(9600, 7, 'O', 2));
    EXPECT_DOUBLE_EQ(request->rate, 12.5);
}

} // namespace
