// A scan of holding registers 0-9999 on a device that serves them all but 100 scattered gaps,
// over loopback at no rate limit. Prints the requests the scan sent beside those a reader who
// knew the map would need (blocks of at most 125 registers that cross no gap), and the time.
// Run by hand: build/bench_modbus_scan
#include "engine/ModbusScanLoader.h"
#include "engine/modbus/device/ModbusTestDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QSet>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kRegisters = 10000;
constexpr int kGaps = 100;

struct ScanSetup
{
    modbus::RegisterMap served;
    std::unique_ptr<modbus::ModbusTestDevice> device;
};

ScanSetup* g_scan = nullptr;

// Every register its own entry, but the gaps: scattered, the same in every run.
modbus::RegisterMap mapWithGaps()
{
    QRandomGenerator random(20261209);
    QSet<int> gaps;
    while (gaps.size() < kGaps)
        gaps.insert(int(random.bounded(kRegisters)));
    modbus::RegisterMap map;
    for (int address = 0; address < kRegisters; ++address) {
        if (gaps.contains(address))
            continue;
        modbus::RegisterEntry entry;
        entry.name = QStringLiteral("HR%1").arg(address);
        entry.table = QModbusDataUnit::HoldingRegisters;
        entry.address = quint16(address);
        map.append(entry);
    }
    return map;
}

// The requests of a reader who knows the map: each run of served registers in blocks of 125.
int knowingReaderRequests(const modbus::RegisterMap& served)
{
    int requests = 0;
    int runLength = 0;
    int previous = -2;
    for (const modbus::RegisterEntry& entry : served) {
        if (entry.address != previous + 1) {
            requests += (runLength + 124) / 125;
            runLength = 0;
        }
        ++runLength;
        previous = entry.address;
    }
    return requests + (runLength + 124) / 125;
}

void HoldingScanWithGaps(benchmark::State& state)
{
    modbusscan::Request request;
    request.target = QStringLiteral("127.0.0.1:%1").arg(g_scan->device->port());
    request.tables = {modbusscan::Table::Holding};
    request.firstAddress = 0;
    request.lastAddress = kRegisters - 1;
    request.rate = 0;
    int served = 0;
    modbusscan::Summary summary;
    for (auto _ : state) {
        std::unique_ptr<modbusscan::IDeviceScan> scan = createModbusScan();
        QEventLoop loop;
        served = 0;
        modbusscan::IDeviceScan::Listener listener;
        listener.result = [&served](const modbusscan::Result& result) {
            if (result.status == modbusscan::Status::Served)
                served += result.last - result.first + 1;
        };
        listener.finished = [&](const modbusscan::Summary& got) {
            summary = got;
            loop.quit();
        };
        scan->start(request, listener);
        loop.exec();
    }
    const int planned = knowingReaderRequests(g_scan->served);
    state.counters["served"] = served;
    state.counters["requests"] = summary.requests;
    state.counters["knowing_reader_requests"] = double(planned);
    state.counters["ratio"] = double(summary.requests) / double(planned);
    state.counters["scan_ms"] = double(summary.elapsedMs);
}

BENCHMARK(HoldingScanWithGaps)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qputenv("QUOR_ENGINE", QByteArray(QUOR_MODBUS_PLUGIN));
    ScanSetup setup;
    setup.served = mapWithGaps();
    setup.device = std::make_unique<modbus::ModbusTestDevice>(setup.served, QList<modbus::AddressRange>());
    if (!setup.device->listen()) {
        std::fprintf(stderr, "the device cannot listen\n");
        return 1;
    }
    g_scan = &setup;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
