#include "tags/LiveColumnsModel.h"
#include "tags/TagGridModel.h"
#include "tests/support/QtPrinters.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QStringList complaints;

void collectComplaint(QtMsgType, const QMessageLogContext&, const QString& text)
{
    complaints.append(text);
}

// The live columns come and go after the table's columns without touching them; they are
// read-only, and their cells show the lookup's value of the row's variable.
TEST(LiveColumnsModel, AddsReadOnlyLiveColumnsAfterTheTablesOwn)
{
    VariableValue position;
    position.name = QStringLiteral("Ram.Position");
    position.value = 12.5;
    position.type = QStringLiteral("float32");
    position.status = VariableValue::Status::Good;
    TagGridModel table(11);
    table.setTextMatrix(0, 2, QStringLiteral("Var Name"));
    table.AddItems({QStringLiteral("1\tTag1\tRam.Position"), QStringLiteral("2\tTag2\t"),
                    QStringLiteral("3\tTag3\tOil.Temp")});
    LiveColumnsModel live(table);
    complaints.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectComplaint);
    auto tester = std::make_unique<QAbstractItemModelTester>(
        &live, QAbstractItemModelTester::FailureReportingMode::Warning);
    live.setLookup([&](const QString& variable) { return variable == position.name ? &position : nullptr; });
    EXPECT_EQ(live.columnCount(), 11);
    EXPECT_EQ(live.columnOf(LiveColumnsModel::Value), -1);

    live.setShown(true);
    ASSERT_EQ(live.columnCount(), 14);
    EXPECT_EQ(live.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Var Name"));
    EXPECT_EQ(live.headerData(11, Qt::Horizontal).toString(), QStringLiteral("Value"));
    EXPECT_EQ(live.headerData(13, Qt::Horizontal).toString(), QStringLiteral("Status"));
    EXPECT_EQ(live.index(0, 11).data().toString(), QStringLiteral("12.5"));
    EXPECT_EQ(live.index(0, 12).data().toString(), QStringLiteral("float32"));
    EXPECT_EQ(live.index(0, 13).data().toString(), QStringLiteral("good"));
    EXPECT_FALSE(live.index(1, 11).data().isValid());
    EXPECT_FALSE(live.index(2, 13).data().isValid());
    EXPECT_FALSE(live.flags(live.index(0, 11)) & Qt::ItemIsEditable);
    EXPECT_FALSE(live.setData(live.index(0, 11), QStringLiteral("1")));
    EXPECT_FALSE(live.mapToSource(live.index(0, 12)).isValid());
    EXPECT_TRUE(live.setData(live.index(0, 1), QStringLiteral("Renamed")));
    EXPECT_EQ(table.TextMatrix(1, 1), QStringLiteral("Renamed"));
    EXPECT_EQ(table.Cols(), 11);

    QSignalSpy changed(&live, &QAbstractItemModel::dataChanged);
    live.valuesChangedAt({2, 0, 1});
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.first().at(0).toModelIndex(), live.index(0, 11));
    EXPECT_EQ(changed.first().at(1).toModelIndex(), live.index(2, 13));

    table.AddItem(QStringLiteral("4\tTag4\tRam.Position"));
    EXPECT_EQ(live.index(3, 11).data().toString(), QStringLiteral("12.5"));
    live.setShown(false);
    EXPECT_EQ(live.columnCount(), 11);
    EXPECT_FALSE(live.index(0, 11).isValid());
    tester.reset();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(complaints.isEmpty()) << complaints.join(u'\n').toStdString();
}

} // namespace
