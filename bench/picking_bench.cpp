// Picking variables on the largest simulated controller (40,000 names): a search typed into
// cmbVars, the Add Variables dialog opened and filtered, and 10,000 chosen variables added.
// Each runs through a shown main window; after each step the pending layout and painting
// are done, as the event loop does after a key or a command.
#include "bench/BenchWindow.h"
#include "platform/ComboBoxes.h"
#include "tags/AddVariablesDialog.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

constexpr int kVariables = 40000;
constexpr int kAdded = 10000;

QStringList controllerNames()
{
    QStringList names;
    names.reserve(kVariables);
    for (int i = 0; i < kVariables; ++i)
        names.append(QStringLiteral("D%1").arg(i, 5, 10, QLatin1Char('0')));
    return names;
}

// A shown window with cmbVars filled as after connecting to the controller.
class Window : public BenchWindow
{
public:
    Window()
    {
        window().activateWindow();
        appendItems(window().cmbVars, controllerNames());
        window().cmbVars->setFocus();
        settle();
    }
};

const QStringList kQueries = {QStringLiteral("d"), QStringLiteral("0"), QStringLiteral("d1234"),
                              QStringLiteral("TEMP")};

// Types a query into cmbVars key by key, from an empty text; each key filters the pop-up.
void BM_SearchInPicker(benchmark::State& state)
{
    Window w;
    QLineEdit* line = w.window().cmbVars->lineEdit();
    const QString query = kQueries.at(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        line->clear();
        w.window().cmbVarsSearch->hide();
        Window::settle();
        state.ResumeTiming();
        for (const QChar key : query) {
            QTest::keyClick(line, key.toLatin1());
            Window::settle();
        }
    }
    state.SetLabel(query.toStdString());
    state.counters["keys"] = static_cast<double>(query.size());
    state.counters["listed"] = static_cast<double>(w.window().cmbVarsSearch->model()->rowCount());
    state.counters["popup_shown"] = w.window().cmbVarsSearch->isVisible() ? 1 : 0;
}

// Opens the dialog on every variable and shows it, as Edit > Add Variables... does.
void BM_OpenAddVariablesDialog(benchmark::State& state)
{
    Window w;
    for (auto _ : state) {
        w.window().mnuEditAddVariables->trigger();
        Window::settle();
        auto* dialog = w.window().findChild<AddVariablesDialog*>();
        state.PauseTiming();
        dialog->reject();
        Window::settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// Types a filter into the dialog's filter box at once (as a paste would) on 40,000 names.
void BM_FilterInDialog(benchmark::State& state)
{
    Window w;
    w.window().mnuEditAddVariables->trigger();
    Window::settle();
    auto* dialog = w.window().findChild<AddVariablesDialog*>();
    const QString query = kQueries.at(state.range(0));
    for (auto _ : state) {
        dialog->txtFilter->setText(query);
        Window::settle();
        state.PauseTiming();
        dialog->txtFilter->clear();
        Window::settle();
        state.ResumeTiming();
    }
    state.SetLabel(query.toStdString());
    dialog->txtFilter->setText(query);
    state.counters["listed"] = static_cast<double>(dialog->lstVariables->model()->rowCount());
}

// Chooses 10,000 variables in the dialog (a filter, then Ctrl+A) and presses OK: the rows
// are appended to an empty table and the new last row is shown.
void BM_AddTenThousandChosen(benchmark::State& state)
{
    Window w;
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.window().InitItemGrid();
        Window::settle();
        w.window().mnuEditAddVariables->trigger();
        Window::settle();
        auto* dialog = w.window().findChild<AddVariablesDialog*>();
        dialog->txtFilter->setText(QStringLiteral("d0"));
        dialog->lstVariables->selectAll();
        Window::settle();
        state.ResumeTiming();
        dialog->accept();
        Window::settle();
        rows = w.window().grdItems->Rows() - 1;
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["rows_added"] = static_cast<double>(rows);
}

BENCHMARK(BM_SearchInPicker)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAddVariablesDialog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterInDialog)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddTenThousandChosen)->Unit(benchmark::kMillisecond);

} // namespace
