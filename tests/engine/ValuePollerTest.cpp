#include "engine/ValuePoller.h"
#include "tests/support/FakeValues.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/WaitFor.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Status = VariableValue::Status;

class ValuePollerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        values->set(QStringLiteral("A"), qint64(1), QStringLiteral("int16"));
        values->set(QStringLiteral("B"), 2.5, QStringLiteral("float32"));
    }

    Status statusOf(const QString& name) const
    {
        const VariableValue* value = poller.latest(name);
        return value ? value->status : Status::NotConnected;
    }
    bool known(const QString& name) const { return poller.latest(name) != nullptr; }

    std::shared_ptr<FakeValues> values = FakeValues::create();
    ValuePoller poller;
};

// A slow device: refreshes that come while a read is in flight wait for its answer instead of
// asking again, and the answer brings the values of that moment.
TEST_F(ValuePollerTest, ReadsTheWantedNamesOnceEachWithOneReadInFlight)
{
    QSignalSpy changed(&poller, &ValuePoller::valuesChanged);
    poller.setSource(values);
    poller.setWanted({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A"), QString()});
    poller.setInterval(1);
    EXPECT_EQ(poller.interval(), ValuePoller::kMinIntervalMs);
    values->hold = true;
    poller.setActive(true);
    QTest::qWait(3 * ValuePoller::kMinIntervalMs);
    EXPECT_EQ(values->reads, (QList<QStringList>{{"A", "B"}}));
    EXPECT_TRUE(poller.isReading());

    (*values)[QStringLiteral("A")].value = qint64(5);
    values->release();
    // The refresh that waited reads again as soon as the answer is in.
    WAIT_EQ(values->reads.size(), 2);
    ASSERT_TRUE(known(QStringLiteral("A")));
    EXPECT_EQ(poller.latest(QStringLiteral("A"))->value, QVariant(qint64(5)));
    EXPECT_EQ(poller.latest(QStringLiteral("B"))->type, QStringLiteral("float32"));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.first().first().toStringList(), (QStringList{"A", "B"}));
}

TEST_F(ValuePollerTest, NamesNotReadYetAreReadAtOnceAndAlone)
{
    poller.setSource(values);
    poller.setInterval(ValuePoller::kMaxIntervalMs);
    poller.setWanted({QStringLiteral("A")});
    poller.setActive(true);
    WAIT_TRUE(known(QStringLiteral("A")) && !poller.isReading());
    poller.setWanted({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    WAIT_TRUE(known(QStringLiteral("C")));
    EXPECT_EQ(values->reads, (QList<QStringList>{{"A"}, {"B", "C"}}));
    EXPECT_EQ(statusOf(QStringLiteral("C")), Status::NotFound);
}

// Without a source every wanted name is "not connected"; a source that goes takes its read in
// flight with it, and the values come back with the next source.
TEST_F(ValuePollerTest, FollowsTheSourceGoingAndComingBack)
{
    poller.setInterval(ValuePoller::kMaxIntervalMs);
    poller.setActive(true);
    poller.setWanted({QStringLiteral("A")});
    EXPECT_EQ(statusOf(QStringLiteral("A")), Status::NotConnected);
    ASSERT_TRUE(known(QStringLiteral("A")));

    poller.setSource(values);
    WAIT_EQ(statusOf(QStringLiteral("A")), Status::Good);
    values->hold = true;
    poller.setWanted({QStringLiteral("A"), QStringLiteral("B")});
    WAIT_EQ(values->heldCount(), 1);
    poller.setSource(nullptr);
    EXPECT_EQ(statusOf(QStringLiteral("A")), Status::NotConnected);
    values->release();
    QTest::qWait(20);
    EXPECT_EQ(statusOf(QStringLiteral("B")), Status::NotConnected);

    poller.setSource(values);
    WAIT_EQ(statusOf(QStringLiteral("B")), Status::Good);
    EXPECT_EQ(statusOf(QStringLiteral("A")), Status::Good);
}

TEST_F(ValuePollerTest, PausedStartsNoReadAndAnAnswerAfterThePollerIsGoneIsDropped)
{
    (*values)[QStringLiteral("A")].status = Status::Timeout;
    auto owned = std::make_unique<ValuePoller>();
    owned->setSource(values);
    owned->setWanted({QStringLiteral("A")});
    owned->setPaused(true);
    owned->setActive(true);
    QTest::qWait(20);
    EXPECT_TRUE(values->reads.isEmpty());
    owned->setPaused(false);
    WAIT_TRUE(owned->latest(QStringLiteral("A")) != nullptr);
    EXPECT_EQ(statusText(*owned->latest(QStringLiteral("A"))), QStringLiteral("timeout"));

    values->hold = true;
    owned->setWanted({QStringLiteral("B")});
    WAIT_EQ(values->heldCount(), 1);
    owned.reset();
    values->release();
    QTest::qWait(20);
    EXPECT_EQ(values->reads.size(), 2);
}

} // namespace
