#include "storage/TrendCsv.h"
#include "storage/DelimitedText.h"
#include "tags/TrendRecorder.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const QDateTime kNow(QDate(2024, 5, 2), QTime(8, 15), QTimeZone::utc());
using Row = std::tuple<QDateTime, QString, double>;

VariableValue good(const QString& name, double value, qint64 msecsBeforeNow)
{
    return VariableValue{name, value, {}, VariableValue::Status::Good, 0, {}, kNow.addMSecs(-msecsBeforeNow)};
}

std::vector<Row> parse(const QByteArray& csv)
{
    const QList<DelimitedText::Record> records =
        DelimitedText::split(QString::fromUtf8(csv), QLatin1Char(','), DelimitedText::EmptyLines::Skipped)
            .records;
    EXPECT_EQ(records.value(0).fields, QStringList({"Time (UTC)", "Tag", "Value"}));
    std::vector<Row> rows;
    for (const DelimitedText::Record& record : records.mid(1)) {
        QDateTime time = QDateTime::fromString(record.fields.value(0), TrendCsv::kTimeFormat);
        time.setTimeZone(QTimeZone::utc());
        rows.push_back({time, record.fields.value(1), record.fields.value(2).toDouble()});
        EXPECT_EQ(record.fields.size(), 3);
    }
    return rows;
}

} // namespace

TEST(TrendCsv, HoldsEverySampleWithItsTimeAndIsWrittenWholeOrNotAtAll)
{
    TrendRecorder recorder([] { return kNow; });
    recorder.setTags(
        {{QStringLiteral("Ram, left"), QStringLiteral("R")}, {QStringLiteral("Oil"), QStringLiteral("O")}});
    recorder.add({good("O", 0.1 + 0.2, 3000), good("R", 123456789012.0, 3000), good("R", -1e-7, 1500),
                  good("O", 1e21, 250), good("R", 0, 2999)});
    // In time order, samples of the same instant in tag order, every digit kept.
    const std::vector<Row> expected{{kNow.addMSecs(-3000), "Ram, left", 123456789012.0},
                                    {kNow.addMSecs(-3000), "Oil", 0.1 + 0.2},
                                    {kNow.addMSecs(-2999), "Ram, left", 0},
                                    {kNow.addMSecs(-1500), "Ram, left", -1e-7},
                                    {kNow.addMSecs(-250), "Oil", 1e21}};
    const QByteArray csv = TrendCsv::fromRecorder(recorder);
    EXPECT_EQ(parse(csv), expected);
    EXPECT_TRUE(csv.contains("\r\n2024-05-02 08:14:58.500,\"Ram, left\",-0.0000001\r\n"))
        << csv.toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trend.csv"));
    EXPECT_EQ(TrendCsv::save(recorder, path), std::nullopt);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), csv);
    const QString unwritable = dir.filePath(QStringLiteral("missing/trend.csv"));
    EXPECT_TRUE(TrendCsv::save(recorder, unwritable).value_or(QString()).startsWith(unwritable + ": "));
}
