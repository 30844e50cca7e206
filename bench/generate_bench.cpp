// Generates 200 tag setting files of 1,000 tags each from a template and an instance table
// through the script command, in the process (GenerateCommand), into an empty folder; the floor
// (PlainGenerate) fills the placeholders of the template's text by plain replacement and writes
// each file through QSaveFile, with no check.
// Run by hand: build/bench_generate
#include "app/ScriptCommands.h"
#include "bench/BenchFigures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 200;
constexpr int kTags = 1000;

struct Setup
{
    QTemporaryDir dir;
    QString pattern;
    QString instances;
    QString out;
    QByteArray patternBytes;
    QList<QList<QByteArray>> rows; // File, Controller, Machine, Line
};
Setup* g_setup = nullptr;

QByteArray patternText()
{
    QByteArray text =
        "[QuorTagSetting]\r\nType=1\r\nController={Controller}\r\nProvider=QuorProv.Sim.Ethernet\r\n"
        "Machine={Machine}\r\nOption=Timeout=500\r\n";
    for (int i = 1; i <= kTags; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "Tag" + n + "={Line}_Tag" + n + ",{Controller}.Var" + n + ",Opt" + n + ",a,,,,,,g\r\n";
    }
    return text + "TagDataCnt=" + QByteArray::number(kTags) + "\r\n";
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Each run writes into a folder that does not exist yet.
void emptyOutput()
{
    QDir(g_setup->out).removeRecursively();
}

bool outputComplete()
{
    const QStringList files = QDir(g_setup->out).entryList(QDir::Files);
    if (files.size() != kFiles)
        return false;
    QFile last(QDir(g_setup->out).filePath(QStringLiteral("press%1.qts").arg(kFiles)));
    return last.open(QIODevice::ReadOnly) &&
           last.readAll().contains("Tag1000=L200_Tag1000,Press200.Var1000,Opt1000,a,,,,,,g\r\n");
}

void GenerateCommand(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        emptyOutput();
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        state.ResumeTiming();
        if (runScriptCommand({QStringLiteral("QuorTagEditor"), QStringLiteral("--generate"), g_setup->pattern,
                              g_setup->instances, g_setup->out},
                             out, err) != 0)
            state.SkipWithError(err.data().constData());
    }
    if (!outputComplete())
        state.SkipWithError("the files are not all there");
    state.counters["files"] = kFiles;
}

void PlainGenerate(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        emptyOutput();
        state.ResumeTiming();
        QFile pattern(g_setup->pattern);
        if (!pattern.open(QIODevice::ReadOnly))
            state.SkipWithError("no template");
        const QByteArray text = pattern.readAll();
        QDir().mkpath(g_setup->out);
        for (const QList<QByteArray>& row : g_setup->rows) {
            QByteArray bytes = text;
            bytes.replace("{Controller}", row.at(1))
                .replace("{Machine}", row.at(2))
                .replace("{Line}", row.at(3));
            QSaveFile file(QDir(g_setup->out).filePath(QString::fromUtf8(row.at(0) + ".qts")));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
                state.SkipWithError("write failed");
        }
    }
    if (!outputComplete())
        state.SkipWithError("the files are not all there");
}

BENCHMARK(GenerateCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainGenerate)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Setup setup;
    g_setup = &setup;
    setup.pattern = setup.dir.filePath(QStringLiteral("template.qts"));
    setup.instances = setup.dir.filePath(QStringLiteral("instances.csv"));
    setup.out = setup.dir.filePath(QStringLiteral("out"));
    QByteArray csv = "File,Controller,Machine,Line\r\n";
    for (int i = 1; i <= kFiles; ++i) {
        const QByteArray n = QByteArray::number(i);
        setup.rows.append({"press" + n, "Press" + n, "cell-" + n, "L" + n});
        csv += setup.rows.last().join(',') + "\r\n";
    }
    if (!writeFile(setup.pattern, patternText()) || !writeFile(setup.instances, csv))
        return 1;
    return runBenchmarksWithFigures(
        argc, argv, {{"generate 200 files of 1,000 tags", "GenerateCommand", "PlainGenerate", 0, 3000}});
}
