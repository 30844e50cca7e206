// Opens a tag setting file of 32,766 tags into the grid of a shown main window (offscreen)
// and saves the table back over the same file, as Open and Save do. Each iteration includes
// the window's deferred layout and painting that the event loop runs after the command.
// Run by hand: build/bench_tagfile
#include "app/frmMain.h"
#include "app/modMain.h"
#include "bench/WindowBenchSetup.h"
#include "platform/AppInfo.h"
#include "platform/Dialogs.h"
#include "tags/GridControl.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr qint32 kTags = 32766;

struct Setup
{
    QTemporaryDir dir;
    QString file;
    BenchDialogs dialogs;
    std::unique_ptr<frmMain> window;
};
Setup* g_setup = nullptr;

QByteArray tagFileBytes()
{
    QByteArray bytes = kBenchTagFileHead;
    for (qint32 i = 1; i <= kTags; ++i) {
        const QByteArray n = QByteArray::number(i);
        bytes += "Tag" + n + "=Tag" + n + ",Controller.Var" + n + ",Opt" + n + ",,,,,,,\r\n";
    }
    return bytes + "TagDataCnt=" + QByteArray::number(kTags) + "\r\n";
}

// A new modification time makes the store read the file again, as a file opened for the
// first time is.
void touch(const QString& path, int step)
{
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(QDateTime::currentDateTime().addSecs(step % 1000),
                         QFileDevice::FileModificationTime);
}

// Argument 0: into an empty grid; 1: over the same table, which the reader removes first.
void OpenIntoGrid(benchmark::State& state)
{
    frmMain& window = *g_setup->window;
    const bool overFullTable = state.range(0) == 1;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!overFullTable)
            window.grdItems->setRows(1);
        QCoreApplication::processEvents();
        touch(g_setup->file, ++step);
        state.ResumeTiming();
        if (!window.ReadTagFile(g_setup->file))
            state.SkipWithError("read failed");
        QCoreApplication::processEvents();
    }
    if (window.grdItems->Rows() != kTags + 1 || g_setup->dialogs.shown != 0)
        state.SkipWithError("wrong table read");
    state.counters["tags"] = window.grdItems->Rows() - 1;
}

void SaveBack(benchmark::State& state)
{
    frmMain& window = *g_setup->window;
    if (window.grdItems->Rows() != kTags + 1 && !window.ReadTagFile(g_setup->file))
        state.SkipWithError("read failed");
    for (auto _ : state) {
        if (!window.WriteTagFile(g_setup->file))
            state.SkipWithError("write failed");
        QCoreApplication::processEvents();
    }
    QFile file(g_setup->file);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != tagFileBytes() || g_setup->dialogs.shown != 0)
        state.SkipWithError("file not written back as it was read");
    state.counters["tags"] = window.grdItems->Rows() - 1;
}

BENCHMARK(OpenIntoGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveBack)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    setup.file = setup.dir.filePath(QStringLiteral("tags.qts"));
    QFile file(setup.file);
    if (!file.open(QIODevice::WriteOnly) || file.write(tagFileBytes()) < 0)
        return 1;
    file.close();

    setup.window = shownWindowThatSaves();
    return runWindowBenchmarks(argc, argv, setup.window);
}
