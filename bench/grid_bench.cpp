// Grid operations on a 30,000-row tag table. Argument 0: the table alone; 1: with a shown
// GridControl over it, the pending layout and painting done after each operation (as the
// event loop does after each command); 2: with the view, its deferred work left out, which
// isolates the cost of the table's signals reaching the view.
#include "tags/GridControl.h"
#include "tags/TagNameRules.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr qint32 kRows = 30000;
constexpr qint32 kColumns = 11;

QString rowText(qint32 number)
{
    const QString n = QString::number(number);
    return n + QStringLiteral("\tTag") + n + QStringLiteral("\tController.Var") + n + QStringLiteral("\t");
}

// The table under test, either bare or shown in a grid control.
class Table
{
public:
    explicit Table(int mode) : m_settle(mode == 1)
    {
        if (mode != 0) {
            m_view = std::make_unique<GridControl>(kColumns, nullptr);
            m_view->resize(640, 480);
            m_view->show();
            m_model = &m_view->table();
        } else {
            m_bare = std::make_unique<TagGridModel>(kColumns);
            m_model = m_bare.get();
        }
        for (qint32 row = 1; row <= kRows; ++row)
            m_model->AddItem(rowText(row));
        if (m_view)
            QCoreApplication::processEvents();
    }
    TagGridModel& model() { return *m_model; }
    // Lets the view do its deferred layout and painting.
    void settle() const
    {
        if (m_settle)
            QCoreApplication::processEvents();
    }

private:
    bool m_settle;
    std::unique_ptr<GridControl> m_view;
    std::unique_ptr<TagGridModel> m_bare;
    TagGridModel* m_model = nullptr;
};

void BM_AddItem(benchmark::State& state)
{
    Table table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        table.model().AddItem(rowText(table.model().Rows()));
        table.settle();
    }
    state.counters["rows_after"] = table.model().Rows() - 1;
}

void BM_DeleteMiddleAndRenumber(benchmark::State& state)
{
    Table table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        table.model().RemoveItem(kRows / 2);
        table.model().renumberFrom(kRows / 2);
        table.model().AddItem(rowText(table.model().Rows())); // keep the size
        table.settle();
    }
}

void BM_RenameWithDuplicateCheck(benchmark::State& state)
{
    Table table(static_cast<int>(state.range(0)));
    TagGridModel& model = table.model();
    const QModelIndex cell = model.index(kRows / 2, 1);
    qint64 n = 0;
    for (auto _ : state) {
        model.setData(cell, QStringLiteral("Renamed") + QString::number(n++));
        benchmark::DoNotOptimize(isDuplicateTagName(model, kRows / 2 + 1, 1));
        table.settle();
    }
}

void BM_ReadAllCells(benchmark::State& state)
{
    Table table(0);
    for (auto _ : state) {
        qsizetype length = 0;
        for (qint32 row = 1; row < table.model().Rows(); ++row)
            for (qint32 col = 1; col < kColumns; ++col)
                length += table.model().TextMatrix(row, col).size();
        benchmark::DoNotOptimize(length);
    }
}

void BM_FillAndClear(benchmark::State& state)
{
    Table table(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        table.model().setRows(1);
        for (qint32 row = 1; row <= kRows; ++row)
            table.model().AddItem(rowText(row));
        table.settle();
    }
}

BENCHMARK(BM_AddItem)->Arg(0)->Arg(1)->Arg(2)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteMiddleAndRenumber)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameWithDuplicateCheck)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAllCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAndClear)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
