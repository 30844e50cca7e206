#include "app/TrendPanel.h"
#include "storage/TrendCsv.h"
#include "tests/support/ScriptedDialogs.h"

#include <QAction>
#include <QChart>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2024, 5, 2), QTime(8, 15), QTimeZone::utc());

VariableValue reading(const QString& name, const QVariant& value, qint64 secondsBeforeNow,
                      VariableValue::Status status = VariableValue::Status::Good)
{
    return VariableValue{name, value, QString(), status, 0, QString(), kNow.addSecs(-secondsBeforeNow)};
}

// A panel following two tags (and one without a variable), fed three polls in one of which the
// oil temperature timed out.
class TrendPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.setTags({{QStringLiteral("Ram"), QStringLiteral("Ram.Position")},
                       {QStringLiteral("Oil"), QStringLiteral("Oil.Temp")},
                       {QStringLiteral("Spare"), QString()}});
        panel.addValues({reading("Ram.Position", 10.0, 30), reading("Oil.Temp", 40.5, 30)});
        panel.addValues({reading("Ram.Position", 250.0, 20),
                         reading("Oil.Temp", QVariant(), 20, VariableValue::Status::Timeout)});
        panel.addValues({reading("Ram.Position", 130.0, 10), reading("Oil.Temp", 41.0, 10)});
    }

    TrendPanel panel{nullptr, [] { return kNow; }};
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
};

} // namespace

TEST_F(TrendPanelTest, DrawsOneLinePerTagNamedInTheLegendOverTheLastTenMinutes)
{
    QList<QLineSeries*> lines;
    for (QAbstractSeries* series : panel.chart()->series())
        lines.append(qobject_cast<QLineSeries*>(series));
    ASSERT_EQ(lines.size(), 2);
    ASSERT_TRUE(lines.at(0) && lines.at(1));
    EXPECT_EQ(lines.at(0)->count(), 3);
    EXPECT_EQ(lines.at(1)->count(), 2);
    EXPECT_EQ(lines.at(1)->at(1), QPointF(static_cast<qreal>(kNow.addSecs(-10).toMSecsSinceEpoch()), 41.0));
    QStringList legend;
    for (QLegendMarker* marker : panel.chart()->legend()->markers())
        legend.append(marker->label());
    EXPECT_EQ(legend, QStringList({"Ram", "Oil"}));

    const auto* time = qobject_cast<QDateTimeAxis*>(panel.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_TRUE(time);
    EXPECT_EQ(time->min(), kNow.addSecs(-600));
    EXPECT_EQ(time->max(), kNow);

    panel.clear();
    EXPECT_EQ(lines.at(0)->count() + lines.at(1)->count(), 0);
}

TEST_F(TrendPanelTest, ExportsThroughTheFileDialogAndReportsAFileItCannotWrite)
{
    const QString path = dir.filePath(QStringLiteral("trend.csv"));
    dialogs.chooseFileNext(path);
    panel.actExportTrendCsv->trigger();
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_TRUE(dialogs.fileRequests().at(0).save);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray csv = written.readAll();
    EXPECT_EQ(csv, TrendCsv::fromRecorder(panel.recorder()));
    EXPECT_EQ(csv.count('\n'), 1 + 5);
    EXPECT_TRUE(dialogs.shown().isEmpty());

    const QString unwritable = dir.filePath(QStringLiteral("missing/trend.csv"));
    dialogs.chooseFileNext(unwritable);
    panel.actExportTrendCsv->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, QStringLiteral("Failed to export the trend."));
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Critical);
    EXPECT_TRUE(dialogs.shown().at(0).details.startsWith(unwritable));
}
