// A poll cycle of a 1,000-tag table on the moving demo device: the live values of all 1,000
// names read through the Modbus plug-in, and a browse of the same map. The device counts the
// requests; each cycle must send exactly the map's minimal block count (the read plan's), and
// the browse as many when the device serves every address. Prints both beside the time taken.
// Run by hand: build/bench_modbus_poll
#include "engine/EngineLoader.h"
#include "engine/EngineValues.h"
#include "engine/modbus/ReadPlan.h"
#include "engine/modbus/device/ModbusTestDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <optional>

namespace {

constexpr int kPresses = 50;

// The press of examples/press.csv fifty times over, with a fourth die temperature: 1,000 names.
// Each press has its own address range in every table, so the map has gaps too wide to read
// through between the presses and within them (holding 14-39).
QByteArray pressLineMap()
{
    struct Row
    {
        const char* name;
        const char* table;
        int address;
        const char* type;
        const char* order;
    };
    const Row press[] = {
        {"Ram.Position", "holding", 0, "float32", "CDAB"},
        {"Ram.Speed", "holding", 2, "float32", "CDAB"},
        {"Ram.Setpoint", "holding", 4, "float32", "CDAB"},
        {"Stroke.Counter", "holding", 10, "uint32", "CDAB"},
        {"Recipe.Number", "holding", 12, "uint16", ""},
        {"Alarm.Code", "holding", 13, "uint16", ""},
        {"Cushion.Pressure", "holding", 40, "float32", "CDAB"},
        {"Cushion.Position", "holding", 42, "float32", "CDAB"},
        {"Press.Force", "input", 0, "float32", "CDAB"},
        {"Oil.Temp", "input", 2, "int16", ""},
        {"Oil.Pressure", "input", 3, "int16", ""},
        {"Die.Temp[1]", "input", 10, "int16", ""},
        {"Die.Temp[2]", "input", 11, "int16", ""},
        {"Die.Temp[3]", "input", 12, "int16", ""},
        {"Die.Temp[4]", "input", 13, "int16", ""},
        {"Pump.Running", "coil", 0, "bool", ""},
        {"Lube.On", "coil", 1, "bool", ""},
        {"Light.Curtain", "discrete", 0, "bool", ""},
        {"Guard.Closed", "discrete", 1, "bool", ""},
        {"Emergency.Stop", "discrete", 2, "bool", ""},
    };
    QByteArray map = "Name,Table,Address,Type,Order\n";
    for (int p = 0; p < kPresses; ++p) {
        for (const Row& row : press) {
            const QByteArray table(row.table);
            const int base = table == "holding" ? 100 : table == "input" ? 40 : 300;
            map += QByteArray("Press") + QByteArray::number(p + 1).rightJustified(2, '0') + '.' + row.name +
                   ',' + table + ',' + QByteArray::number(p * base + row.address) + ',' + row.type + ',' +
                   row.order + '\n';
        }
    }
    return map;
}

struct Setup
{
    QTemporaryDir dir;
    modbus::RegisterMap map;
    std::unique_ptr<modbus::ModbusTestDevice> device;
    std::shared_ptr<IEngine> engine;
    EngineValues sources;
    std::shared_ptr<IController> controller;
    std::shared_ptr<IControllerValues> values;
    QStringList names;
    qsizetype minimalBlocks = 0;
    // Requests per poll cycle and per browse in the last run of each.
    double pollRequests = -1;
    double browseRequests = -1;
};
Setup* g_setup = nullptr;

bool setUp(Setup& setup)
{
    const QByteArray text = pressLineMap();
    const QString path = setup.dir.filePath(QStringLiteral("press-line.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return false;
    file.close();
    setup.map = modbus::parseRegisterMap(text, path);
    setup.minimalBlocks = modbus::planReads(setup.map).size();
    for (const modbus::RegisterEntry& entry : setup.map)
        setup.names.append(entry.name);
    setup.device = std::make_unique<modbus::ModbusTestDevice>(setup.map, QList<modbus::AddressRange>());
    setup.device->startMoving();
    if (!setup.device->listen())
        return false;
    qputenv("QUOR_ENGINE", QByteArray(QUOR_MODBUS_PLUGIN));
    QString reason;
    setup.engine = CreateEngine(&reason, &setup.sources);
    if (!setup.engine) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        return false;
    }
    try {
        setup.controller = setup.engine->Workspaces()->Item(0)->AddController(
            QStringLiteral("Line"), QStringLiteral("QuorProv.ModbusTCP"),
            QStringLiteral("127.0.0.1:%1").arg(setup.device->port()), QStringLiteral("Map=") + path);
    } catch (const EngineError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return false;
    }
    setup.values = setup.sources.of(setup.controller);
    return setup.values != nullptr;
}

// One poll cycle of every name; the count of good values.
int pollCycle()
{
    QEventLoop loop;
    int good = -1;
    g_setup->values->read(g_setup->names, [&](const QList<VariableValue>& found) {
        good = 0;
        for (const VariableValue& value : found)
            good += value.status == VariableValue::Status::Good ? 1 : 0;
        loop.quit();
    });
    loop.exec();
    return good;
}

void PollCycle(benchmark::State& state)
{
    pollCycle(); // connects
    int requests = 0;
    int cycles = 0;
    for (auto _ : state) {
        const int before = g_setup->device->requestCount();
        const int good = pollCycle();
        requests += g_setup->device->requestCount() - before;
        ++cycles;
        if (good != g_setup->names.size())
            state.SkipWithError("not every value read good");
    }
    g_setup->pollRequests = double(requests) / cycles;
    state.counters["requests"] = g_setup->pollRequests;
    state.counters["minimal_blocks"] = double(g_setup->minimalBlocks);
}

void Browse(benchmark::State& state)
{
    int requests = 0;
    int browses = 0;
    for (auto _ : state) {
        const int before = g_setup->device->requestCount();
        const Variant names = g_setup->controller->VariableNames(Variant());
        benchmark::DoNotOptimize(names);
        requests += g_setup->device->requestCount() - before;
        ++browses;
    }
    g_setup->browseRequests = double(requests) / browses;
    state.counters["requests"] = g_setup->browseRequests;
}

void printRequests(const char* what, double requests)
{
    if (requests < 0)
        return;
    const double minimal = double(g_setup->minimalBlocks);
    std::printf("%s of %lld tags: %.2f requests, the map's minimal block count %lld (%s)\n", what,
                qint64(g_setup->names.size()), requests, qint64(g_setup->minimalBlocks),
                requests == minimal ? "equal" : "NOT EQUAL");
}

BENCHMARK(PollCycle)->Unit(benchmark::kMillisecond);
BENCHMARK(Browse)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Setup setup;
    g_setup = &setup;
    if (!setUp(setup)) {
        std::fprintf(stderr, "cannot set up the device and the controller\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
    printRequests("poll cycle", setup.pollRequests);
    printRequests("browse", setup.browseRequests);
    setup.values.reset();
    setup.controller.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
