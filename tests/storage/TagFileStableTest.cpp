#include "storage/TagFileWriter.h"
#include "tags/TagDocument.h"
#include "tests/storage/ProfileTestFiles.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// The writer writes the table as it is, not the way it came about: its keys are written afresh
// in a fixed order, so equal tables give equal files and a diff of two saves shows real changes.
TEST(TagFileStable, EqualTablesGiveEqualBytesWhateverTheEditsAndTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    clsCtrlParameter connection;
    connection.m_lConnectType = 1;
    connection.m_strControllerName = QStringLiteral("PLC1");
    connection.m_strProviderName = QStringLiteral("QuorProv.Sim.Ethernet");

    TagDocument straight;
    straight.setConnection(connection);
    ASSERT_FALSE(
        straight.appendRows(QStringLiteral("Add"), {{QStringLiteral("Motor"), QStringLiteral("I1")},
                                                    {QStringLiteral("Pump"), QStringLiteral("I2")},
                                                    {QStringLiteral("Valve"), QStringLiteral("I3")}}));

    // The same table through other edits in another order, with a step undone and redone.
    TagDocument roundabout;
    roundabout.setConnection(connection);
    ASSERT_FALSE(
        roundabout.appendRows(QStringLiteral("Add"), {{QStringLiteral("Fan"), QStringLiteral("I9")},
                                                      {QStringLiteral("Lamp")},
                                                      {QStringLiteral("Horn")},
                                                      {QStringLiteral("Valve"), QStringLiteral("I3")}}));
    ASSERT_FALSE(
        roundabout.setCells(QStringLiteral("Paste"), 3, 1, {{QStringLiteral("Pump"), QStringLiteral("I2")}}));
    roundabout.removeRows(QStringLiteral("Delete"), {2});
    ASSERT_TRUE(roundabout.undo());
    ASSERT_TRUE(roundabout.redo());
    ASSERT_FALSE(roundabout.setCells(QStringLiteral("Paste"), 1, 1,
                                     {{QStringLiteral("Motor"), QStringLiteral("I1")}}));

    const QString fresh = dir.filePath(QStringLiteral("fresh.qts"));
    const QString old = dir.filePath(QStringLiteral("old.qts"));
    ProfileTestFiles::writeFile(old,
                                "; notes\r\n[Other]\r\nx=1\r\n[QuorTagSetting]\r\nTag9=Old,I9,,,,,,,,\r\n"
                                "Controller=PLC9\r\nTagDataCnt=9\r\n");
    ASSERT_EQ(TagFileWriter::write(straight, fresh).outcome, TagFileWriteResult::Outcome::Written);
    ASSERT_EQ(TagFileWriter::write(roundabout, old).outcome, TagFileWriteResult::Outcome::Written);

    const QByteArray expected =
        "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=QuorProv.Sim.Ethernet\r\n"
        "Machine=\r\nOption=\r\nTag1=Motor,I1,,,,,,,,\r\nTag2=Pump,I2,,,,,,,,\r\n"
        "Tag3=Valve,I3,,,,,,,,\r\nTagDataCnt=3\r\n";
    EXPECT_EQ(ProfileTestFiles::readFile(fresh), expected);
    EXPECT_EQ(ProfileTestFiles::readFile(old), expected);
}
