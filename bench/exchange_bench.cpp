// Exports a tag setting file of 32,766 tags as CSV through the script command, in the process
// (ExportCsvCommand), and imports that CSV into the empty table of a shown main window and saves
// it (ImportAndSave), checking that the saved rows are the original ones.
// Run by hand: build/bench_exchange
#include "app/ScriptCommands.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "bench/WindowBenchSetup.h"
#include "platform/AppInfo.h"
#include "platform/Dialogs.h"
#include "tags/GridControl.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr qint32 kTags = 32766;

QByteArray tagRows()
{
    QByteArray rows;
    for (qint32 i = 1; i <= kTags; ++i) {
        const QByteArray n = QByteArray::number(i);
        rows += "Tag" + n + "=Tag" + n + ",Controller.Var" + n + ",Opt \"" + n + "\",a b,,Größe,,,,g\r\n";
    }
    return rows;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The "Tag" lines of a tag setting file.
QByteArray tagLinesOf(const QByteArray& bytes)
{
    QByteArray lines;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.startsWith("Tag") && !line.startsWith("TagDataCnt"))
            lines += line + '\n';
    }
    return lines;
}

struct Setup
{
    QTemporaryDir dir;
    QString qts;
    QString csv;
    QString saved;
    BenchDialogs dialogs;
    std::unique_ptr<frmMain> window;
};
Setup* g_setup = nullptr;

void ExportCsvCommand(benchmark::State& state)
{
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A new modification time makes the store read the file again, as in a new process.
        QFile file(g_setup->qts);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(++step % 1000),
                             QFileDevice::FileModificationTime);
        file.close();
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        state.ResumeTiming();
        if (runScriptCommand(
                {QStringLiteral("QuorTagEditor"), QStringLiteral("--export-csv"), g_setup->qts, g_setup->csv},
                out, err) != 0)
            state.SkipWithError(err.data().constData());
    }
    state.counters["tags"] = kTags;
}

void ImportAndSave(benchmark::State& state)
{
    frmMain& window = *g_setup->window;
    for (auto _ : state) {
        state.PauseTiming();
        window.grdItems->setRows(1);
        QCoreApplication::processEvents();
        g_setup->dialogs.path = g_setup->csv;
        state.ResumeTiming();
        window.mnuFileImportCsv->trigger();
        if (!window.WriteTagFile(g_setup->saved))
            state.SkipWithError("save failed");
        QCoreApplication::processEvents();
    }
    if (tagLinesOf(readAll(g_setup->saved)) != tagLinesOf(readAll(g_setup->qts)) ||
        g_setup->dialogs.shown != 0)
        state.SkipWithError("the saved rows are not the original rows");
    state.counters["tags"] = window.grdItems->Rows() - 1;
}

BENCHMARK(ExportCsvCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Setup setup;
    g_setup = &setup;
    AppInfo::setApplicationDirectoryOverride(setup.dir.path());
    setDialogs(&setup.dialogs);
    setup.qts = setup.dir.filePath(QStringLiteral("tags.qts"));
    setup.csv = setup.dir.filePath(QStringLiteral("tags.csv"));
    setup.saved = setup.dir.filePath(QStringLiteral("saved.qts"));
    QFile file(setup.qts);
    const QByteArray bytes =
        kBenchTagFileHead + tagRows() + "TagDataCnt=" + QByteArray::number(kTags) + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0)
        return 1;
    file.close();

    setup.window = shownWindowThatSaves();
    return runWindowBenchmarks(argc, argv, setup.window);
}
