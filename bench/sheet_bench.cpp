// Spreadsheet editing of a tag table of 30,000 tags, through a shown main window: pasting
// 10,000 whole rows of tab-separated text (the name rules and the save check included) and
// undoing that paste. After each the pending layout and painting are done, as the event loop
// does after a command. Message boxes are counted: a refused paste would show one. Each is
// set beside its floor: the same text cut into rows of a plain vector, and those rows dropped.
#include "bench/BenchFigures.h"
#include "bench/BenchWindow.h"

#include <QUndoStack>
#include <benchmark/benchmark.h>

namespace {

constexpr qint32 kTags = 30000;
constexpr qint32 kPasted = 10000;

// Whole rows of ten cells, named `prefix` and a number; variables and options as a
// spreadsheet of another controller's tags might hold them.
QString rowsText(const QString& prefix, qint32 count)
{
    QString text;
    for (qint32 i = 1; i <= count; ++i)
        text += QStringLiteral("%1%2\tLine.Station%3.Value%2\tTimeout=500\t\t\t\t\tunit\t\tlimit %2\n")
                    .arg(prefix)
                    .arg(i)
                    .arg(i % 40);
    return text;
}

class Window : public BenchWindow
{
public:
    Window()
    {
        window().PasteText(rowsText(QStringLiteral("Tag"), kTags));
        window().history().clear();
        settle();
    }
};

void BM_Paste10000Rows(benchmark::State& state)
{
    Window w;
    const QString text = rowsText(QStringLiteral("Pasted"), kPasted);
    qint32 pasted = 0;
    for (auto _ : state) {
        w.window().PasteText(text);
        Window::settle();
        state.PauseTiming();
        pasted = w.grid().Rows() - 1;
        w.window().mnuEditUndo_Click();
        Window::settle();
        state.ResumeTiming();
    }
    state.counters["tags_after_paste"] = pasted;
    state.counters["boxes"] = static_cast<double>(w.boxesShown());
}

void BM_UndoOf10000RowPaste(benchmark::State& state)
{
    Window w;
    const QString text = rowsText(QStringLiteral("Pasted"), kPasted);
    for (auto _ : state) {
        state.PauseTiming();
        w.window().PasteText(text);
        Window::settle();
        state.ResumeTiming();
        w.window().mnuEditUndo_Click();
        Window::settle();
    }
    state.counters["tags_after"] = w.grid().Rows() - 1;
    state.counters["boxes"] = static_cast<double>(w.boxesShown());
}

// The floor of both: the rows cut from the text onto a plain vector of 30,000 rows, then
// dropped again; the counter `undo` picks the half that is timed.
void BM_FloorPasteAndUndo(benchmark::State& state)
{
    const bool undo = state.range(0) == 1;
    std::vector<QStringList> rows;
    for (const QString& line :
         rowsText(QStringLiteral("Tag"), kTags).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        rows.push_back(line.split(QLatin1Char('\t')));
    const QString text = rowsText(QStringLiteral("Pasted"), kPasted);
    for (auto _ : state) {
        if (undo)
            state.PauseTiming();
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            rows.push_back(line.split(QLatin1Char('\t')));
        if (undo)
            state.ResumeTiming();
        else
            state.PauseTiming();
        rows.resize(kTags);
        if (!undo)
            state.ResumeTiming();
    }
}

BENCHMARK(BM_Paste10000Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoOf10000RowPaste)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorPasteAndUndo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
const bool kFiguresRegistered = registerBenchFigures(
    {{"paste 10,000 rows into 30,000 tags", "BM_Paste10000Rows", "BM_FloorPasteAndUndo/0", 0, 200},
     {"undo that paste", "BM_UndoOf10000RowPaste", "BM_FloorPasteAndUndo/1", 0, 200}});

} // namespace
