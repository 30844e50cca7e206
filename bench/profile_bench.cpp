// Writes a tag section of 32,766 keys through clsProfile and reads it back key by key, beside
// the plainest code that writes and parses the same file (the floor), and prints the ratios.
// Run by hand: build/bench_profile

#include "storage/clsProfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QStringBuilder>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr int kKeys = 32766;
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

// Makes the store's copy of the file out of date, so the next read parses the file again.
void touch(const QString& path, int step)
{
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::currentDateTime().addSecs(step % 1000), QFileDevice::FileModificationTime);
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
        // The store drops its copy of the last iteration's file here, not in the timed part.
        {
            clsProfile reader;
            reader.setFileName(g_storeFile);
            reader.GetString(kSection, QStringLiteral("Tag1"));
        }
        state.ResumeTiming();
        if (!writeWithStore(g_storeFile))
            state.SkipWithError("flush failed");
    }
}

// Reads every key once; the first read parses the file. With a change pending the store does
// not look at the file on disk before each read, which shows the cost of that check.
void readBack(benchmark::State& state, bool withPendingChange)
{
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        touch(g_storeFile, ++step);
        state.ResumeTiming();
        clsProfile profile;
        profile.setFileName(g_storeFile);
        if (withPendingChange)
            profile.WriteString(QStringLiteral("Pending"), QStringLiteral("Key"), QString::number(step));
        QString last;
        for (int i = 1; i <= kKeys; ++i) {
            last = profile.GetString(kSection, QStringLiteral("Tag") % QString::number(i));
            benchmark::DoNotOptimize(last.constData());
        }
        if (last != storeValue(QString::number(kKeys)))
            state.SkipWithError("wrong value read back");
        if (withPendingChange) {
            state.PauseTiming();
            profile.DeleteSection(QStringLiteral("Pending"));
            profile.Flush();
            state.ResumeTiming();
        }
    }
}

void StoreReadBack(benchmark::State& state)
{
    readBack(state, false);
}

void StoreReadBackWithPendingChange(benchmark::State& state)
{
    readBack(state, true);
}

void StoreListSections(benchmark::State& state)
{
    clsProfile profile;
    profile.setFileName(g_storeFile);
    for (auto _ : state) {
        const QStringList names = profile.GetSectNames();
        if (names.size() != 1)
            state.SkipWithError("wrong section list");
        benchmark::DoNotOptimize(names.constData());
    }
}

bool floorWrite(const std::string& path, bool sync)
{
    std::string text = "[QuorTagSetting]\r\n";
    for (int i = 1; i <= kKeys; ++i) {
        const std::string number = std::to_string(i);
        text += "Tag" + number + '=' + floorValue(number) + "\r\n";
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (sync)
        written = std::fflush(file) == 0 && ::fdatasync(fileno(file)) == 0 && written;
    return std::fclose(file) == 0 && written;
}

void FloorWrite(benchmark::State& state)
{
    const std::string path = g_floorFile.toStdString();
    for (auto _ : state) {
        if (!floorWrite(path, false))
            state.SkipWithError("write failed");
    }
}

void FloorWriteSynced(benchmark::State& state)
{
    const std::string path = g_floorFile.toStdString();
    for (auto _ : state) {
        if (!floorWrite(path, true))
            state.SkipWithError("write failed");
    }
}

// One pass over the bytes into a map of key to value, then every key looked up by name.
void FloorReadBack(benchmark::State& state)
{
    const std::string path = g_floorFile.toStdString();
    floorWrite(path, false);
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

BENCHMARK(StoreWriteAndFlush)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FloorWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FloorWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StoreReadBack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StoreReadBackWithPendingChange)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FloorReadBack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StoreListSections)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Keeps the fastest time of each benchmark (in its own unit) for the ratios.
class RecordingReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const double time = run.GetAdjustedRealTime();
            auto [entry, added] = m_times.try_emplace(run.run_name.function_name, time);
            if (!added && time < entry->second)
                entry->second = time;
        }
    }

    void printRatios() const
    {
        const auto time = [this](const std::string& name) {
            const auto found = m_times.find(name);
            return found == m_times.end() ? 0.0 : found->second;
        };
        const auto ratio = [&](const char* label, double store, double floor) {
            if (store > 0 && floor > 0)
                std::printf("%-34s store %8.2f ms  floor %8.2f ms  ratio %5.2f\n", label, store, floor,
                            store / floor);
        };
        std::printf("\n");
        ratio("write and flush", time("StoreWriteAndFlush"), time("FloorWrite"));
        ratio("write and flush (floor synced)", time("StoreWriteAndFlush"), time("FloorWriteSynced"));
        ratio("read back", time("StoreReadBack"), time("FloorReadBack"));
        ratio("read back, no disk check per call", time("StoreReadBackWithPendingChange"),
              time("FloorReadBack"));
        ratio("write and read back", time("StoreWriteAndFlush") + time("StoreReadBack"),
              time("FloorWrite") + time("FloorReadBack"));
        std::printf("targets: store within 3 times of the floor, each of write and read under 100 ms\n");
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

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
