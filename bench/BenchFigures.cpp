#include "bench/BenchFigures.h"

#include <cstdio>
#include <fstream>
#include <string_view>
#include <sys/resource.h>

namespace {

// Keeps the fastest real time of every benchmark, in milliseconds.
class FigureReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += '/' + run.run_name.args;
            const double ms =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            auto [entry, added] = m_fastest.try_emplace(name, ms);
            if (!added && ms < entry->second)
                entry->second = ms;
        }
    }

    double fastest(const std::string& name) const
    {
        const auto found = m_fastest.find(name);
        return found == m_fastest.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_fastest;
};

long long statusKilobytes(std::string_view field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, field.size(), field) == 0)
            return std::stoll(line.substr(field.size())) * 1024;
    }
    return 0;
}

} // namespace

void printFigure(const std::string& label, double ms, double floorMs, double maxRatio, double maxMs)
{
    std::printf("%-46s %9.2f ms", label.c_str(), ms);
    bool met = true;
    if (floorMs > 0) {
        const double ratio = ms / floorMs;
        std::printf("  floor %9.2f ms  ratio %5.2f", floorMs, ratio);
        if (maxRatio > 0) {
            std::printf(" (target <= %.2g)", maxRatio);
            met = met && ratio <= maxRatio;
        }
    }
    if (maxMs > 0) {
        std::printf("  target < %.0f ms", maxMs);
        met = met && ms < maxMs;
    }
    std::printf("%s\n", maxRatio > 0 || maxMs > 0 ? (met ? "  met" : "  NOT MET") : "");
}

int runBenchmarksWithFigures(int argc, char** argv, const std::vector<BenchFigure>& figures)
{
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    for (const BenchFigure& figure : figures) {
        const double ms = reporter.fastest(figure.measured);
        const double floorMs = figure.floor.empty() ? 0.0 : reporter.fastest(figure.floor);
        if (ms > 0 && (figure.floor.empty() || floorMs > 0))
            printFigure(figure.label, ms, floorMs, figure.maxRatio, figure.maxMs);
    }
    benchmark::Shutdown();
    return 0;
}

long long residentBytes()
{
    return statusKilobytes("VmRSS:");
}

long long peakResidentBytes()
{
    return statusKilobytes("VmHWM:");
}

bool resetPeakResident()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

long long minorPageFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

namespace {

std::vector<BenchFigure>& figureRegistry()
{
    static std::vector<BenchFigure> figures;
    return figures;
}

} // namespace

bool registerBenchFigures(const std::vector<BenchFigure>& figures)
{
    figureRegistry().insert(figureRegistry().end(), figures.begin(), figures.end());
    return true;
}

const std::vector<BenchFigure>& registeredBenchFigures()
{
    return figureRegistry();
}
