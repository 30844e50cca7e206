// Writes a tag section of 32,766 keys through clsProfile and reads it back key by key, beside
// the plainest code that does the same work (the floor), and prints each figure with its floor
// and their ratio from the same run. Each benchmark runs several times and counts its fastest
// run, which is the least disturbed by other work on the machine.
// Run by hand: build/bench_profile

#include "storage/clsProfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringBuilder>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kKeys = 32766;
constexpr int kRepetitions = 9;
const QString kSection = QStringLiteral("QuorTagSetting");

QString g_storeFile;
QString g_floorFile;

QString storeValue(const QString& number)
{
    return QStringLiteral("Tag") % number % QStringLiteral(",Var.Name") % number % QStringLiteral(",Opt") %
           number % QStringLiteral(",,,,,,,");
}

std::string floorValue(const std::string& number)
{
    return "Tag" + number + ",Var.Name" + number + ",Opt" + number + ",,,,,,,";
}

bool writeWithStore(const QString& path)
{
    clsProfile profile;
    profile.setFileName(path);
    for (int i = 1; i <= kKeys; ++i) {
        const QString number = QString::number(i);
        profile.WriteString(kSection, QStringLiteral("Tag") % number, storeValue(number));
    }
    return profile.Flush();
}

void StoreWriteAndFlush(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(g_storeFile);
        state.ResumeTiming();
        if (!writeWithStore(g_storeFile))
            state.SkipWithError("flush failed");
    }
}

// Every key read once by a new instance, as a procedure reading the file does; its first read
// parses the file.
void StoreReadBack(benchmark::State& state)
{
    for (auto _ : state) {
        clsProfile profile;
        profile.setFileName(g_storeFile);
        QString last;
        for (int i = 1; i <= kKeys; ++i) {
            last = profile.GetString(kSection, QStringLiteral("Tag") % QString::number(i));
            benchmark::DoNotOptimize(last.constData());
        }
        if (last != storeValue(QString::number(kKeys)))
            state.SkipWithError("wrong value read back");
    }
}

// The same lines built in one string, written and synced to disk.
bool floorWrite(const std::string& path)
{
    std::string text = "[QuorTagSetting]\r\n";
    for (int i = 1; i <= kKeys; ++i) {
        const std::string number = std::to_string(i);
        text += "Tag" + number + '=' + floorValue(number) + "\r\n";
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                         std::fflush(file) == 0 && ::fdatasync(fileno(file)) == 0;
    return std::fclose(file) == 0 && written;
}

void FloorWriteAndSync(benchmark::State& state)
{
    const std::string path = g_floorFile.toStdString();
    for (auto _ : state) {
        if (!floorWrite(path))
            state.SkipWithError("write failed");
    }
}

// One pass over the bytes into a map of key to value, then every key looked up by name.
void FloorReadBack(benchmark::State& state)
{
    const std::string path = g_floorFile.toStdString();
    floorWrite(path);
    for (auto _ : state) {
        std::string bytes;
        FILE* file = std::fopen(path.c_str(), "rb");
        char chunk[65536];
        for (size_t got; file && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.append(chunk, got);
        if (file)
            std::fclose(file);
        std::unordered_map<std::string_view, std::string_view> values;
        values.reserve(kKeys);
        const char* p = bytes.data();
        const char* const end = p + bytes.size();
        while (p < end) {
            const char* lineEnd = p;
            const char* eq = nullptr;
            for (; lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n'; ++lineEnd) {
                if (!eq && *lineEnd == '=')
                    eq = lineEnd;
            }
            if (eq)
                values.emplace(std::string_view(p, eq - p), std::string_view(eq + 1, lineEnd - eq - 1));
            p = lineEnd + ((lineEnd + 1 < end && lineEnd[0] == '\r' && lineEnd[1] == '\n') ? 2 : 1);
        }
        std::string last;
        for (int i = 1; i <= kKeys; ++i) {
            const auto found = values.find("Tag" + std::to_string(i));
            last = found == values.end() ? std::string() : std::string(found->second);
            benchmark::DoNotOptimize(last.data());
        }
        if (last != floorValue(std::to_string(kKeys)))
            state.SkipWithError("wrong value read back");
    }
}

double fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

#define QUOR_PROFILE_BENCHMARK(name)                                                                         \
    BENCHMARK(name)                                                                                          \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseRealTime()                                                                                      \
        ->Repetitions(kRepetitions)                                                                          \
        ->ComputeStatistics("fastest", fastest)                                                              \
        ->DisplayAggregatesOnly(true)

QUOR_PROFILE_BENCHMARK(StoreReadBack);
QUOR_PROFILE_BENCHMARK(FloorReadBack);
QUOR_PROFILE_BENCHMARK(StoreWriteAndFlush);
QUOR_PROFILE_BENCHMARK(FloorWriteAndSync);

// Keeps the fastest run of each benchmark for the ratios.
class RecordingReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "fastest" && !run.error_occurred)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void printRatios() const
    {
        const auto time = [this](const std::string& name) {
            const auto found = m_times.find(name);
            return found == m_times.end() ? 0.0 : found->second;
        };
        const auto ratio = [&](const char* label, const char* store, const char* floor, double target) {
            const double ours = time(store);
            const double plain = time(floor);
            if (ours > 0 && plain > 0)
                std::printf("%-44s store %7.2f ms  floor %7.2f ms  ratio %4.2f  (target at most %.1f)\n",
                            label, ours, plain, ours / plain, target);
        };
        std::printf("\nfastest of %d runs each:\n", kRepetitions);
        ratio("read back 32,766 keys through clsProfile", "StoreReadBack", "FloorReadBack", 1.5);
        ratio("write and flush them (floor: write + fdatasync)", "StoreWriteAndFlush", "FloorWriteAndSync",
              2.0);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    g_storeFile = folder.filePath(QStringLiteral("store.ini"));
    g_floorFile = folder.filePath(QStringLiteral("floor.ini"));
    if (!writeWithStore(g_storeFile)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(g_storeFile));
        return 1;
    }

    // Store and floor runs take turns, so that other work on the machine falls on both alike.
    std::vector<char*> arguments(argv, argv + argc);
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaving);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
