#include "tags/TrendRecorder.h"
#include "tests/support/QtPrinters.h"

#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QDateTime kStart(QDate(2024, 5, 2), QTime(8, 15), QTimeZone::utc());
constexpr qint64 kMinute = 60 * 1000;

VariableValue reading(const QString& name, const QVariant& value, qint64 msecsAfterStart,
                      VariableValue::Status status = VariableValue::Status::Good)
{
    return VariableValue{name, value, QString(), status, 0, QString(), kStart.addMSecs(msecsAfterStart)};
}

// A recorder of the tags Ram and Oil whose clock stands at kStart plus `elapsed` milliseconds.
class TrendRecorderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        recorder.setTags(
            {{QStringLiteral("Ram"), QStringLiteral("R")}, {QStringLiteral("Oil"), QStringLiteral("O")}});
    }
    std::vector<double> valuesOf(qsizetype tag) const
    {
        std::vector<double> values;
        for (const TrendSample& s : recorder.samples(tag))
            values.push_back(s.value);
        return values;
    }

    qint64 elapsed = 0;
    TrendRecorder recorder{[this] { return kStart.addMSecs(elapsed); }};
};

} // namespace

TEST_F(TrendRecorderTest, KeepsTheLastTenMinutesInTimeOrderAndBoundsEachTag)
{
    // Too old; in time; late but in time; the same instant again (a repeat).
    EXPECT_EQ(recorder.add({reading("R", 1.0, -11 * kMinute), reading("R", 2.0, -kMinute),
                            reading("R", 3.0, -9 * kMinute), reading("R", 4.0, -kMinute)}),
              QList<qsizetype>{0});
    EXPECT_EQ(valuesOf(0), (std::vector<double>{3.0, 2.0}));

    // Two minutes on, the sample of nine minutes ago is eleven minutes old.
    elapsed = 2 * kMinute;
    EXPECT_EQ(recorder.add({reading("O", 5.0, elapsed)}), (QList<qsizetype>{0, 1}));
    EXPECT_EQ(valuesOf(0), std::vector<double>{2.0});
    EXPECT_EQ(recorder.samples(1).front().msecs, kStart.addMSecs(elapsed).toMSecsSinceEpoch());

    recorder.clear();
    QList<VariableValue> flood;
    for (qint64 i = 0; i < TrendRecorder::kMaxSamplesPerTag + 5; ++i)
        flood.append(reading("O", static_cast<double>(i), i));
    recorder.add(flood);
    EXPECT_EQ(static_cast<qsizetype>(recorder.samples(1).size()), TrendRecorder::kMaxSamplesPerTag);
    EXPECT_EQ(recorder.samples(1).front().value, 5.0);
}

TEST_F(TrendRecorderTest, OnlyGoodNumbersAndBooleansMakeSamples)
{
    using S = VariableValue::Status;
    recorder.add({reading("R", 12.5, 1), reading("R", QVariant::fromValue<qint64>(-40000), 2),
                  reading("R", true, 3), reading("R", false, 4), reading("R", QStringLiteral("12"), 5),
                  reading("R", std::nan(""), 6), reading("R", QVariant(), 7),
                  reading("R", 1.0, 8, S::Timeout), reading("R", 1.0, 9, S::DeviceException),
                  reading("Other", 1.0, 10)});
    EXPECT_EQ(valuesOf(0), (std::vector<double>{12.5, -40000.0, 1.0, 0.0}));
    EXPECT_TRUE(valuesOf(1).empty());
}

TEST_F(TrendRecorderTest, TagsThatStayKeepTheirSamplesAndTagsShareAVariable)
{
    recorder.add({reading("R", 1.0, 0), reading("O", 2.0, 0)});
    // Without a variable, or a tag name given twice: left out.
    recorder.setTags({{QStringLiteral("Oil"), QStringLiteral("O")},
                      {QStringLiteral("Empty"), QString()},
                      {QStringLiteral("Oil2"), QStringLiteral("O")},
                      {QStringLiteral("Oil"), QStringLiteral("R")}});
    ASSERT_EQ(recorder.tags().size(), 2);
    EXPECT_EQ(recorder.tags().at(1).tag, QStringLiteral("Oil2"));
    recorder.add({reading("O", 5.0, 1)});
    EXPECT_EQ(valuesOf(0), (std::vector<double>{2.0, 5.0}));
    EXPECT_EQ(valuesOf(1), std::vector<double>{5.0});
    EXPECT_EQ(recorder.valueRange(), std::pair(2.0, 5.0));
}
