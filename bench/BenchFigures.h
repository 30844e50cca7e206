#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

// The project's figures beside their floors, taken from the same run: each figure is the
// fastest time of one benchmark, its floor the fastest time of the plainest code doing the
// same work, and the line printed at the end gives both, their ratio and the targets.
struct BenchFigure
{
    std::string label;
    std::string measured; // benchmark name with its arguments, e.g. "OpenIntoGrid/32766/0"
    std::string floor;    // the floor's benchmark; empty when the figure has none
    double maxRatio = 0;  // target on measured / floor; 0 for none
    double maxMs = 0;     // target on the measured time; 0 for none
};

// Prints one figure line; a floor or a target of 0 is left out.
void printFigure(const std::string& label, double ms, double floorMs, double maxRatio, double maxMs);

// Runs the benchmarks chosen on the command line, then prints the figures whose runs ran.
int runBenchmarksWithFigures(int argc, char** argv, const std::vector<BenchFigure>& figures);

// Resident memory of this process now and its peak since the last reset, in bytes (Linux).
long long residentBytes();
long long peakResidentBytes();
// Starts a new peak at the present resident size; false where the system does not allow it.
bool resetPeakResident();
// Page faults of this process so far that needed no disk: each maps a fresh page of memory.
long long minorPageFaults();

// Figures for the shared widget main (WidgetBenchMain.cpp) to print after the run; returns
// true, so a benchmark file can register them in a static initialiser.
bool registerBenchFigures(const std::vector<BenchFigure>& figures);
const std::vector<BenchFigure>& registeredBenchFigures();
