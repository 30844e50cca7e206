#include "engine/EngineCallRunner.h"
#include "engine/AsyncConnection.h"
#include "tests/support/FakeEngine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

// The engine thread of connecting and browsing, without a window.
namespace {

bool turnEventsUntil(const std::function<bool()>& done)
{
    QTimer tick;
    tick.start(20);
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

TEST(EngineCallRunner, RunsTheCallsInOrderElsewhereAndAnswersEachBeforeTheNextStarts)
{
    EngineCallRunner runner;
    QSignalSpy busy(&runner, &EngineCallRunner::busyChanged);
    QThread* const caller = QThread::currentThread();
    std::atomic<int> started{0};
    std::atomic<bool> ranOnCaller{false};
    QList<int> answers;
    for (int i = 0; i < 3; ++i) {
        runner.run<int>(
            [&, i] {
                ++started;
                ranOnCaller = ranOnCaller || QThread::currentThread() == caller;
                return i * 10;
            },
            [&, i](int result) {
                EXPECT_EQ(QThread::currentThread(), caller);
                // The next call waits until this answer was handled.
                EXPECT_EQ(started.load(), i + 1);
                answers.append(result);
            });
    }
    EXPECT_TRUE(answers.isEmpty()) << "answers come through the event loop, never inside run()";
    EXPECT_TRUE(runner.busy());
    ASSERT_TRUE(turnEventsUntil([&] { return !runner.busy(); }));
    EXPECT_EQ(answers, (QList<int>{0, 10, 20}));
    EXPECT_FALSE(ranOnCaller);
    ASSERT_EQ(busy.size(), 2);
    EXPECT_TRUE(busy.at(0).at(0).toBool());
    EXPECT_FALSE(busy.at(1).at(0).toBool());
}

TEST(EngineCallRunner, AbandonedCallsReleaseTheirLateResultOrNeverRun)
{
    EngineCallRunner runner;
    std::mutex mutex;
    std::condition_variable letGo;
    bool answers = false;
    std::atomic<bool> firstStarted{false};
    std::atomic<bool> secondRan{false};
    bool answered = false;
    int released = 0;
    const auto first = runner.run<int>(
        [&] {
            firstStarted = true;
            std::unique_lock lock(mutex);
            letGo.wait(lock, [&] { return answers; });
            return 7;
        },
        [&](int) { answered = true; }, [&](int late) { released = late; });
    const auto second = runner.run<int>(
        [&] {
            secondRan = true;
            return 8;
        },
        [&](int) { answered = true; }, [&](int late) { released = late; });
    ASSERT_TRUE(turnEventsUntil([&] { return firstStarted.load(); }));
    runner.abandon(first);
    runner.abandon(second);
    // The first call still runs: the engine stays in use until it ends.
    EXPECT_TRUE(runner.busy());
    {
        const std::lock_guard lock(mutex);
        answers = true;
    }
    letGo.notify_all();
    ASSERT_TRUE(turnEventsUntil([&] { return !runner.busy(); }));
    EXPECT_EQ(released, 7);
    EXPECT_FALSE(answered);
    EXPECT_FALSE(secondRan);
}

} // namespace

// A browse passes on what the controller tells of its progress, on the caller's thread and before
// the answer.
TEST(AsyncConnectionProgress, TheControllersReportsComeOnTheCallersThreadBeforeTheAnswer)
{
    const auto script = FakeEngineScript::create();
    script->variableNames = Variant::textArray({"A", "B", "C"});
    const std::shared_ptr<IEngine> engine = script->createEngine();
    Connection connection(engine->Workspaces()->Item(0));
    ASSERT_EQ(connection.connect(ConnectionRequest::quor("Line1", "QuorProv.Sim.Ethernet", "", "")),
              std::nullopt);
    AsyncConnection steps(connection);
    QList<std::pair<qint64, qint64>> reports;
    std::optional<QStringList> listed;
    steps.browse(
        BrowseRequest::variableNames(),
        [&](const NameListing& names) {
            EXPECT_EQ(reports.size(), 3);
            listed = names.value;
        },
        [&](qint64 done, qint64 total) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            reports.append({done, total});
        });
    ASSERT_TRUE(turnEventsUntil([&] { return listed.has_value(); }));
    EXPECT_EQ(*listed, QStringList({"A", "B", "C"}));
    EXPECT_EQ(reports, (QList<std::pair<qint64, qint64>>{{1, 3}, {2, 3}, {3, 3}}));
}
