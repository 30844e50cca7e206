// Start to window shown and exit: runs bench_startup_app (the program's start-up and close)
// and bench_bare_window (a bare Qt window with a table view, the floor) in turn, each as a new
// process, so both meet the same state of the machine; the figure is the median of each.
// Both programs lie beside this one. Run by hand: build/bench_startup
#include "bench/BenchFigures.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

std::string g_folder;
std::vector<double> g_appMs;
std::vector<double> g_bareMs;

// Wall time of one run of the program, in milliseconds; below 0 when it failed.
double runMs(const std::string& program)
{
    const std::string path = g_folder + '/' + program;
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each iteration starts both programs, taking turns at going first; its time is the program's.
void StartToShownAndExit(benchmark::State& state)
{
    bool appFirst = false;
    for (auto _ : state) {
        appFirst = !appFirst;
        const double first = runMs(appFirst ? "bench_startup_app" : "bench_bare_window");
        const double second = runMs(appFirst ? "bench_bare_window" : "bench_startup_app");
        const double app = appFirst ? first : second;
        const double bare = appFirst ? second : first;
        if (app < 0 || bare < 0) {
            state.SkipWithError("a program failed to start or to end");
            break;
        }
        g_appMs.push_back(app);
        g_bareMs.push_back(bare);
        state.SetIterationTime(app / 1e3);
    }
    state.counters["app_median_ms"] = median(g_appMs);
    state.counters["bare_median_ms"] = median(g_bareMs);
}

BENCHMARK(StartToShownAndExit)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_folder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    runBenchmarksWithFigures(argc, argv, {});
    if (!g_appMs.empty())
        printFigure("start to window shown and exit (medians)", median(g_appMs), median(g_bareMs), 1.2, 0);
    return 0;
}
