#pragma once

#include "app/frmMain.h"
#include "app/modMain.h"
#include "bench/BenchFigures.h"
#include "platform/Dialogs.h"
#include "tags/TagDocument.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

// What the benchmarks of the tag setting file share: a shown main window (offscreen) whose
// saves store one remembered connection, and the run of the benchmarks around it.

// Any message box means the run went wrong: it is counted and printed instead of shown. File
// dialogs answer with `path` ("" = cancelled).
class BenchDialogs final : public IDialogs
{
public:
    MsgAnswer messageBox(QWidget*, const QString&, const QString& text, MsgIcon, MsgButtons, const QString&,
                         const QString&) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++shown;
        return MsgAnswer::Ok;
    }
    QString fileDialog(QWidget*, const FileDialogRequest&) override { return path; }
    QString path;
    int shown = 0;
};

// The section of a tag setting file up to its first tag row, of the connection the window stores.
inline const QByteArray kBenchTagFileHead = "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider="
                                            "QuorProv.Sim.Ethernet\r\nMachine=\r\nOption=\r\n";

// The run's state of the benchmarks' window.
inline AppState& benchState()
{
    static AppState state;
    return state;
}

inline std::unique_ptr<frmMain> shownWindowThatSaves()
{
    AppState& state = benchState();
    auto recent = std::make_shared<clsCtrlParameter>();
    recent->m_lConnectType = 1;
    recent->m_strControllerName = QStringLiteral("PLC1");
    recent->m_strProviderName = QStringLiteral("QuorProv.Sim.Ethernet");
    state.settings.colRecent.Add(recent);

    auto window = std::make_unique<frmMain>(state);
    window->InitItemGrid();
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// Runs the benchmarks and prints their figures, then lets go of the window and of the
// benchmarks' dialogs.
inline int runWindowBenchmarks(int& argc, char** argv, std::unique_ptr<frmMain>& window,
                               const std::vector<BenchFigure>& figures = {})
{
    const int result = runBenchmarksWithFigures(argc, argv, figures);
    window.reset();
    setDialogs(nullptr);
    return result;
}
