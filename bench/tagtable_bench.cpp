// The tag table's handlers on a table of 30,000 tags, through a shown main window: Add,
// Delete with its renumbering, and a finished rename with the name rules. After each
// operation the pending layout and painting are done, as the event loop does after a
// command. Message boxes answer Yes without showing.
#include "bench/BenchWindow.h"

#include <QApplication>
#include <QComboBox>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr qint32 kTags = 30000;

// A shown window whose table holds kTags tags added by its own Add handler.
class Window : public BenchWindow
{
public:
    Window()
    {
        for (qint32 i = 0; i < kTags; ++i)
            addTag();
        settle();
    }

    // Adds a tag for a variable that has none yet, as the picker's Add does.
    void addTag()
    {
        window().cmbVars->setEditText(QStringLiteral("Controller.Var%1").arg(m_added++));
        window().cmdAddItem_Click();
    }

    // Stores `text` in cell (row, col) as the in-place editor does; AfterEdit follows.
    void typeInto(qint32 row, qint32 col, const QString& text)
    {
        grid().model()->setData(grid().model()->index(row - 1, col), text);
    }

private:
    qint64 m_added = 0;
};

void BM_AddHandler(benchmark::State& state)
{
    Window w;
    for (auto _ : state) {
        w.addTag();
        Window::settle();
    }
    state.counters["tags_after"] = w.grid().Rows() - 1;
    state.counters["boxes"] = static_cast<double>(w.boxesShown());
}

// Deletes a tag in the middle (the prompt answered Yes) and renumbers the rows below;
// one Add outside the timing keeps the size.
void BM_DeleteHandlerWithRenumbering(benchmark::State& state)
{
    Window w;
    const qint32 row = state.range(0) == 0 ? kTags / 2 : 1;
    for (auto _ : state) {
        w.window().grdItems_EnterCell(row, 1);
        w.window().cmdDelete_Click();
        Window::settle();
        state.PauseTiming();
        w.addTag();
        Window::settle();
        state.ResumeTiming();
    }
    state.counters["boxes"] = static_cast<double>(w.boxesShown());
}

// A rename of a tag in the middle that stands: the duplicate test reads every row.
void BM_RenameThatStands(benchmark::State& state)
{
    Window w;
    const qint32 row = kTags / 2;
    w.window().grdItems_EnterCell(row, 1);
    qint64 n = 0;
    for (auto _ : state) {
        w.typeInto(row, 1, QStringLiteral("Pump.%1=A").arg(n++));
        Window::settle();
    }
    state.counters["boxes"] = static_cast<double>(w.boxesShown());
}

// A rename to the name of the last tag: refused after reading every row, old name back.
void BM_RenameRefusedAsDuplicate(benchmark::State& state)
{
    Window w;
    const qint32 row = 1;
    const QString last = w.grid().TextMatrix(kTags, 1).toUpper();
    w.window().grdItems_EnterCell(row, 1);
    for (auto _ : state) {
        w.typeInto(row, 1, last);
        Window::settle();
    }
    state.counters["boxes"] = static_cast<double>(w.boxesShown());
}

BENCHMARK(BM_AddHandler)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteHandlerWithRenumbering)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameThatStands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameRefusedAsDuplicate)->Unit(benchmark::kMillisecond);

} // namespace
