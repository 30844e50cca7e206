// The tag table's handlers on a table of 30,000 tags (Delete also on 100,000), through a
// shown main window: Add, Delete with its renumbering, and a finished rename with the name
// rules. After each operation the pending layout and painting are done, as the event loop
// does after a command. Message boxes answer Yes without showing. Delete is set beside its
// floor: the same row removed from a plain vector of row strings and the rows after it
// renumbered.
#include "bench/BenchFigures.h"
#include "bench/BenchWindow.h"

#include <QApplication>
#include <QComboBox>
#include <memory>

namespace {

constexpr qint32 kTags = 30000;
constexpr qint32 kManyTags = 100000;

// The text the Add handler gives row `number`, whose variable no other row has.
QString addedRow(qint32 number)
{
    const QString n = QString::number(number);
    return n + QStringLiteral("\tTag") + n + QStringLiteral("\tController.Var") +
           QString::number(number - 1) + QStringLiteral("\t");
}

// A shown window whose table holds `tags` tags as its own Add handler adds them.
class Window : public BenchWindow
{
public:
    explicit Window(qint32 tags = kTags) : m_added(tags)
    {
        QStringList rows;
        for (qint32 i = 1; i <= tags; ++i)
            rows.append(addedRow(i));
        grid().table().AddItems(rows);
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

// Deletes a tag (the prompt answered Yes) and renumbers the rows below; one Add outside the
// timing keeps the size. Arguments: the number of tags; 0 for the middle row, 1 for the first.
void BM_DeleteHandlerWithRenumbering(benchmark::State& state)
{
    const auto tags = static_cast<qint32>(state.range(0));
    Window w(tags);
    const qint32 row = state.range(1) == 0 ? tags / 2 : 1;
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

// The floor of Delete: a plain vector of row strings loses one row, the rows after it get
// their new numbers; one row appended outside the timing keeps the size.
void BM_FloorDelete(benchmark::State& state)
{
    const auto tags = static_cast<qint32>(state.range(0));
    std::vector<QStringList> rows;
    for (qint32 i = 1; i <= tags; ++i)
        rows.push_back(addedRow(i).split(QLatin1Char('\t')));
    const qint32 row = state.range(1) == 0 ? tags / 2 : 1;
    for (auto _ : state) {
        rows.erase(rows.begin() + (row - 1));
        for (size_t i = static_cast<size_t>(row - 1); i < rows.size(); ++i)
            rows[i][0] = QString::number(i + 1);
        state.PauseTiming();
        rows.push_back(addedRow(tags).split(QLatin1Char('\t')));
        state.ResumeTiming();
    }
}

BENCHMARK(BM_AddHandler)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteHandlerWithRenumbering)
    ->Args({kTags, 0})
    ->Args({kTags, 1})
    ->Args({kManyTags, 0})
    ->Args({kManyTags, 1})
    ->Unit(benchmark::kMillisecond);
const bool kFiguresRegistered =
    registerBenchFigures({{"delete the middle row of 100,000 tags",
                           "BM_DeleteHandlerWithRenumbering/100000/0", "BM_FloorDelete/100000/0", 0, 2},
                          {"delete the first row of 100,000 tags", "BM_DeleteHandlerWithRenumbering/100000/1",
                           "BM_FloorDelete/100000/1", 0, 2}});

BENCHMARK(BM_FloorDelete)->Args({kManyTags, 0})->Args({kManyTags, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameThatStands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameRefusedAsDuplicate)->Unit(benchmark::kMillisecond);

} // namespace
