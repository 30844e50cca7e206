#include "app/RefreshIntervalDialog.h"
#include "app/TrendPanel.h"
#include "tests/tags/LiveValuesFixture.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>

namespace {

using Status = VariableValue::Status;

class LiveValues : public LiveValuesFixture
{
protected:
    QByteArray fileBytes(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The View menu comes after the designed menus; what it was set to is there after a restart, and
// the table's own columns look the same with the live columns as without them.
TEST_F(LiveValues, TheViewIsRememberedAcrossARestart)
{
    frmMain& w = connectedWith(3);
    const QList<QAction*> menus = w.menuBar()->actions();
    EXPECT_EQ(menus.value(menus.indexOf(w.mnuHelp->menuAction()) + 1), w.mnuView->menuAction());
    EXPECT_FALSE(w.mnuViewOnlyFailing->isEnabled());
    EXPECT_EQ(grid().model()->columnCount(), 11);
    QList<int> widths;
    QStringList captions;
    for (int col = 0; col < 11; ++col) {
        widths.append(grid().columnWidth(col));
        captions.append(grid().model()->headerData(col, Qt::Horizontal).toString());
    }
    liveOn();
    w.mnuViewRefreshInterval->trigger();
    auto* interval = w.findChild<RefreshIntervalDialog*>();
    ASSERT_NE(interval, nullptr);
    EXPECT_EQ(interval->spnSeconds->value(), 1.0);
    EXPECT_EQ(interval->spnSeconds->minimum(), 0.25);
    EXPECT_EQ(interval->spnSeconds->maximum(), 60.0);
    interval->spnSeconds->setValue(0.25);
    QTest::mouseClick(interval->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(w.livePoller().interval(), 250);
    ASSERT_TRUE(w.close());

    // A new run: the engine anew, nothing remembered but what the settings file holds.
    window.reset();
    state.settings = RememberedSettings();
    state.objEngine = engine->createEngine();
    state.objWorkspace = state.objEngine->Workspaces()->Item(0);
    frmMain& again = openWindow(false);
    EXPECT_TRUE(again.mnuViewLiveValues->isChecked());
    EXPECT_TRUE(again.mnuViewOnlyFailing->isEnabled());
    EXPECT_EQ(again.livePoller().interval(), 250);
    ASSERT_EQ(grid().model()->columnCount(), 14);
    for (int col = 0; col < 11; ++col) {
        EXPECT_EQ(grid().columnWidth(col), widths.at(col)) << col;
        EXPECT_EQ(grid().model()->headerData(col, Qt::Horizontal).toString(), captions.at(col));
    }
    EXPECT_EQ(grid().model()->headerData(11, Qt::Horizontal).toString(), QStringLiteral("Value"));
    EXPECT_EQ(grid().model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("Type"));
    EXPECT_EQ(grid().model()->headerData(13, Qt::Horizontal).toString(), QStringLiteral("Status"));
}

// The rows in view and the selected rows are read, nothing else; a row scrolled into view is
// read on its own; a row without a variable shows nothing.
TEST_F(LiveValues, OnlyTheRowsInViewAndTheSelectedRowsAreRead)
{
    frmMain& w = connectedWith(300);
    // Only the reads that follow the view: no refresh comes during the test.
    w.livePoller().setInterval(ValuePoller::kMaxIntervalMs);
    ASSERT_EQ(w.document().setCells(QStringLiteral("Edit"), 2, 2, {{QString()}}), std::nullopt);
    grid().selectionModel()->select(grid().model()->index(249, 1), QItemSelectionModel::Select);
    liveOn();
    WAIT_EQ(live(1, LiveColumnsModel::Status), QStringLiteral("good"));
    std::vector<int> inView = w.findChild<LiveTagRows*>()->rowsInView();
    ASSERT_GT(inView.size(), 3u);
    ASSERT_LT(inView.back(), 100);
    QSet<QString> expected{QStringLiteral("V250")};
    for (int row : inView) {
        if (row != 1)
            expected.insert(QStringLiteral("V%1").arg(row + 1));
    }
    // A row in view while the live columns were laid out may have been read too.
    const QSet<QString> read = namesRead();
    EXPECT_TRUE(read.contains(expected)) << read.size();
    EXPECT_LE(read.size(), expected.size() + 1);
    EXPECT_FALSE(read.contains(QStringLiteral("V2")));
    EXPECT_EQ(live(1, LiveColumnsModel::Value), QStringLiteral("1"));
    EXPECT_EQ(live(1, LiveColumnsModel::Type), QStringLiteral("int16"));
    EXPECT_EQ(live(2, LiveColumnsModel::Status), QString());
    EXPECT_EQ(live(250, LiveColumnsModel::Value), QStringLiteral("250"));

    const qsizetype readsBefore = values->reads.size();
    grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->value() + int(inView.size()));
    WAIT_TRUE(values->reads.size() > readsBefore);
    const QStringList scrolledIn = values->reads.at(readsBefore);
    EXPECT_FALSE(scrolledIn.isEmpty());
    for (const QString& name : scrolledIn)
        EXPECT_FALSE(read.contains(name)) << name.toStdString();
    EXPECT_LE(scrolledIn.size(), qsizetype(inView.size()) + 1);
}

TEST_F(LiveValues, OnlyFailingTagsHidesTheRowsThatReadGood)
{
    frmMain& w = connectedWith(5);
    FakeValues::Variable& rejected = (*values)[QStringLiteral("V3")];
    rejected.status = Status::DeviceException;
    rejected.exceptionCode = 2;
    rejected.exceptionName = QStringLiteral("Illegal data address");
    values->variables.remove(QStringLiteral("V4"));
    liveOn();
    WAIT_EQ(live(5, LiveColumnsModel::Status), QStringLiteral("good"));
    EXPECT_EQ(live(3, LiveColumnsModel::Status), QStringLiteral("exception 02 (Illegal data address)"));
    EXPECT_EQ(live(4, LiveColumnsModel::Status), QStringLiteral("not found"));

    w.mnuViewOnlyFailing->trigger();
    const auto hidden = [this] {
        QList<bool> rows;
        for (int row = 0; row < 5; ++row)
            rows.append(grid().isRowHidden(row));
        return rows;
    };
    EXPECT_EQ(hidden(), (QList<bool>{true, true, false, false, true}));
    w.mnuViewOnlyFailing->trigger();
    EXPECT_EQ(hidden(), (QList<bool>{false, false, false, false, false}));
}

// A device that does not answer holds no one up: menus open and timers run while its read is in
// flight, and its answer, a timeout, shows in Status.
TEST_F(LiveValues, ASlowDeviceKeepsTheWindowTurningAndShowsTimeout)
{
    frmMain& w = connectedWith(2);
    values->hold = true;
    liveOn();
    WAIT_EQ(values->reads.size(), 1);
    EXPECT_TRUE(w.livePoller().isReading());
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(1);
    w.mnuView->popup(w.mapToGlobal(QPoint(10, 10)));
    WAIT_TRUE(ticks >= 20);
    EXPECT_TRUE(w.mnuView->isVisible());
    w.mnuView->close();
    EXPECT_EQ(values->reads.size(), 1);
    EXPECT_EQ(live(1, LiveColumnsModel::Status), QString());

    (*values)[QStringLiteral("V1")].status = Status::Timeout;
    values->release();
    WAIT_EQ(live(1, LiveColumnsModel::Status), QStringLiteral("timeout"));
    EXPECT_EQ(live(1, LiveColumnsModel::Value), QString());
    EXPECT_EQ(live(2, LiveColumnsModel::Status), QStringLiteral("good"));
}

TEST_F(LiveValues, ADisconnectReadsNotConnectedAndAReconnectBringsTheValuesBack)
{
    frmMain& w = connectedWith(2);
    liveOn();
    WAIT_EQ(live(2, LiveColumnsModel::Value), QStringLiteral("2"));
    QTest::mouseClick(w.chkConnQUOR, Qt::LeftButton);
    ASSERT_FALSE(w.connectedController());
    EXPECT_EQ(live(1, LiveColumnsModel::Status), QStringLiteral("not connected"));
    EXPECT_EQ(live(2, LiveColumnsModel::Status), QStringLiteral("not connected"));
    EXPECT_EQ(live(2, LiveColumnsModel::Value), QString());

    (*values)[QStringLiteral("V2")].value = qint64(22);
    w.setChanged(false);
    connect();
    WAIT_EQ(live(2, LiveColumnsModel::Value), QStringLiteral("22"));
    EXPECT_EQ(live(1, LiveColumnsModel::Status), QStringLiteral("good"));
}

// Saving, exporting and copying give what they give without the live columns, and nothing is
// pasted into them.
TEST_F(LiveValues, TheLiveColumnsStayOutOfSavedExportedAndCopiedTables)
{
    frmMain& w = connectedWith(4);
    const QString savedOff = appPath(QStringLiteral("off.qts"));
    const QString exportedOff = appPath(QStringLiteral("off.csv"));
    ASSERT_TRUE(w.WriteTagFile(savedOff));
    dialogs.chooseFileNext(exportedOff);
    w.mnuFileExportCsv->trigger();
    grid().selectAll();
    w.mnuEditCopy->trigger();
    const QString copiedOff = QGuiApplication::clipboard()->text();

    liveOn();
    WAIT_EQ(live(4, LiveColumnsModel::Status), QStringLiteral("good"));
    const QString savedOn = appPath(QStringLiteral("on.qts"));
    const QString exportedOn = appPath(QStringLiteral("on.csv"));
    ASSERT_TRUE(w.WriteTagFile(savedOn));
    dialogs.chooseFileNext(exportedOn);
    w.mnuFileExportCsv->trigger();
    grid().selectAll();
    w.mnuEditCopy->trigger();
    EXPECT_EQ(fileBytes(savedOn), fileBytes(savedOff));
    EXPECT_EQ(fileBytes(exportedOn), fileBytes(exportedOff));
    EXPECT_FALSE(fileBytes(savedOn).isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), copiedOff);
    EXPECT_FALSE(copiedOff.contains(QStringLiteral("good")));

    const QModelIndex valueCell =
        grid().model()->index(0, grid().liveColumns().columnOf(LiveColumnsModel::Value));
    grid().selectionModel()->setCurrentIndex(valueCell, QItemSelectionModel::ClearAndSelect);
    const QList<QStringList> before = tableRows(grid().table());
    w.PasteText(QStringLiteral("X"));
    EXPECT_EQ(tableRows(grid().table()), before);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown().first().text.startsWith(QStringLiteral("Nothing was pasted.")));
    EXPECT_FALSE(w.changed());
}

} // namespace

// View > Trend shows the panel under the table, following the selected tags with the live
// values; turned off, the table has its place back.
TEST_F(LiveValues, TheTrendFollowsTheSelectedTagsUnderTheTable)
{
    frmMain& w = connectedWith(5);
    const QRect tableAlone = grid().geometry();
    for (const int row : {1, 3})
        grid().selectionModel()->select(grid().model()->index(row, 1), QItemSelectionModel::Select);
    EXPECT_FALSE(w.mnuViewExportTrend->isEnabled());
    w.mnuViewTrend->trigger();
    const TrendPanel& trend = w.trendPanel();
    EXPECT_TRUE(w.mnuViewLiveValues->isChecked());
    ASSERT_TRUE(trend.isVisible());
    EXPECT_LT(grid().geometry().height(), tableAlone.height());
    EXPECT_EQ(trend.geometry().top(), grid().geometry().bottom() + 1);
    EXPECT_EQ(trend.geometry().bottom(), tableAlone.bottom());
    EXPECT_TRUE(w.mnuViewExportTrend->isEnabled());
    const QList<TrendTag> followed{{QStringLiteral("Tag2"), QStringLiteral("V2")},
                                   {QStringLiteral("Tag4"), QStringLiteral("V4")}};
    EXPECT_EQ(trend.recorder().tags(), followed);
    WAIT_TRUE(!trend.recorder().samples(0).empty() && !trend.recorder().samples(1).empty());
    EXPECT_EQ(trend.recorder().samples(1).back().value, 4.0);

    w.mnuViewTrend->trigger();
    EXPECT_FALSE(trend.isVisible());
    EXPECT_FALSE(w.mnuViewExportTrend->isEnabled());
    EXPECT_EQ(grid().geometry(), tableAlone);
}
