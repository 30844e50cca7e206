#include "app/ScanModbusCommand.h"
#include "app/ScriptCommands.h"
#include "engine/ModbusScanLoader.h"
#include "engine/ScanRegisterMap.h"
#include "engine/modbus/scan/AddressSearch.h"
#include "tests/engine/ModbusTestSupport.h"
#include "tests/support/WaitFor.h"

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
    // Each absent address costs at most one request a halving of its block, and one for the rest.
    const int halvings = int(std::ceil(std::log2(double(c.maxBlock))));
    EXPECT_LE(requests, blocks + int(absent.size()) * (halvings + 1));
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
    request.target = local.serial ? local.device.serialPort() : local.machine();
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

// The demo device of scripts/modbus-demo.sh: the scan of addresses 0-99 of every table finds
// exactly what it serves of examples/press.csv, not the die cushion (holding 40-43) nor the
// third die temperature (input 12), and the map saved from it connects and lists those names.
TEST(ModbusScan, FindsWhatTheDemoDeviceServesOfItsMapAndItsIdentification)
{
    QFile press(QStringLiteral(QUOR_SOURCE_DIR "/examples/press.csv"));
    ASSERT_TRUE(press.open(QIODevice::ReadOnly));
    LocalDevice local(press.readAll(), QStringLiteral("holding:40-43,input:12"));
    const ScanRun run = runScan(localRequest(local, 0, 99));
    EXPECT_EQ(servedNames(run),
              (QStringList{"CO0", "CO1", "DI0", "DI1", "DI2", "IR0", "IR1",  "IR2",  "IR3",  "IR10", "IR11",
                           "HR0", "HR1", "HR2", "HR3", "HR4", "HR5", "HR10", "HR11", "HR12", "HR13"}));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("press-scanned.csv"));
    ASSERT_EQ(saveScanMap(path, scanMapRows(run.results)), std::nullopt);
    const ScopedEnv engineVariable("QUOR_ENGINE", modbusPluginPath());
    QString reason;
    const std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    const std::shared_ptr<IController> controller = engine->Workspaces()->Item(0)->AddController(
        QStringLiteral("Press1"), QStringLiteral("QuorProv.ModbusTCP"), local.machine(),
        QStringLiteral("Map=") + path);
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), servedNames(run));

    std::unique_ptr<IDeviceScan> scan = createModbusScan();
    std::optional<Identification> identity;
    scan->identify(localRequest(local, 0, 0), 1,
                   [&identity](const Identification& found) { identity = found; });
    WAIT_TRUE(identity.has_value());
    EXPECT_TRUE(identity->served) << identity->reason.toStdString();
    EXPECT_EQ(identity->vendor, QStringLiteral("QuorTagEditor demo"));
    EXPECT_EQ(identity->product, QStringLiteral("quor-modbus-device"));
    EXPECT_EQ(identity->revision, QStringLiteral("1.0"));
}

// Each fault of the misbehaving device, at the one address scanned, over TCP and over RTU on a
// pseudo-terminal: the status the scan gives it, within the timeout.
struct ScanFaultCase
{
    modbus::DeviceFault fault;
    Status tcp;
    Status rtu;
    int exceptionCode = 0;
};

class ScanFault : public ::testing::TestWithParam<std::tuple<ScanFaultCase, bool>>
{
};

TEST_P(ScanFault, IsClassifiedWithinTheTimeout)
{
    const auto& [c, rtu] = GetParam();
    constexpr int kTimeoutMs = 300;
    LocalDevice local("Name,Table,Address,Type\nGood,holding,0,uint16\nFaulty,holding,1,uint16\n", QString(),
                      1, rtu);
    local.device.setFaults({{QModbusDataUnit::HoldingRegisters, 1, c.fault}}, kTimeoutMs);
    Request request = localRequest(local, 1, 1);
    request.tables = {Table::Holding};
    request.timeoutMs = kTimeoutMs;
    const ScanRun run = runScan(request);
    ASSERT_EQ(run.results.size(), 1);
    const Result& result = run.results.first();
    EXPECT_EQ(result.status, rtu ? c.rtu : c.tcp) << result.reason.toStdString();
    if (result.status == Status::Exception) {
        EXPECT_EQ(result.exceptionCode, c.exceptionCode);
        EXPECT_TRUE(result.reason.startsWith(
            QStringLiteral("exception %1 (")
                .arg(QStringLiteral("%1").arg(c.exceptionCode, 2, 16, QLatin1Char('0')).toUpper())))
            << result.reason.toStdString();
    }
    // A connection the device dropped is tried once more.
    EXPECT_LT(run.summary.elapsedMs, 2 * kTimeoutMs + 200);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanFault,
    ::testing::Combine(
        ::testing::Values(
            ScanFaultCase{modbus::DeviceFault::Late, Status::Timeout, Status::Timeout},
            ScanFaultCase{modbus::DeviceFault::Drop, Status::Failed, Status::Timeout},
            ScanFaultCase{modbus::DeviceFault::WrongTransaction, Status::Garbage, Status::Served},
            ScanFaultCase{modbus::DeviceFault::WrongUnit, Status::Garbage, Status::Garbage},
            ScanFaultCase{modbus::DeviceFault::Exception01, Status::Exception, Status::Exception, 0x01},
            ScanFaultCase{modbus::DeviceFault::Exception02, Status::Exception, Status::Exception, 0x02},
            ScanFaultCase{modbus::DeviceFault::Exception03, Status::Exception, Status::Exception, 0x03},
            ScanFaultCase{modbus::DeviceFault::Exception04, Status::Exception, Status::Exception, 0x04},
            ScanFaultCase{modbus::DeviceFault::Exception0B, Status::Exception, Status::Exception, 0x0B},
            ScanFaultCase{modbus::DeviceFault::BadByteCount, Status::Garbage, Status::Garbage},
            ScanFaultCase{modbus::DeviceFault::Garbage, Status::Garbage, Status::Garbage},
            ScanFaultCase{modbus::DeviceFault::HalfFrame, Status::Garbage, Status::Garbage},
            ScanFaultCase{modbus::DeviceFault::BadCrc, Status::Served, Status::CrcError},
            ScanFaultCase{modbus::DeviceFault::SplitFrame, Status::Served, Status::Served}),
        ::testing::Bool()),
    [](const auto& paramInfo) {
        return (modbus::faultName(std::get<0>(paramInfo.param).fault) +
                (std::get<1>(paramInfo.param) ? QStringLiteral("OverRtu") : QStringLiteral("OverTcp")))
            .toStdString();
    });

// Units with other ids on one serial line are found in one run.
TEST(ModbusScan, FindsTheAnsweringUnitOnASerialLine)
{
    LocalDevice local(kScanMap, QString(), 2, true);
    Request request = localRequest(local, 10, 12);
    request.firstUnit = 1;
    request.lastUnit = 3;
    request.tables = {Table::Holding};
    const ScanRun run = runScan(request);
    EXPECT_EQ(run.summary.ending, Summary::Ending::Answered);
    EXPECT_EQ(run.summary.answeringUnits, QList<int>{2});
    EXPECT_EQ(servedNames(run),
              (QStringList{QStringLiteral("HR10"), QStringLiteral("HR11"), QStringLiteral("HR12")}));
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
    EXPECT_TRUE(served.err.contains("unit 1 holding 0-9: exception 02 (Illegal data address)\n"
                                    "unit 1 holding 13-20: exception 02 (Illegal data address)\n"))
        << served.err.toStdString();

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
