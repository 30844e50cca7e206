#include "storage/TagMergeFile.h"
#include "tests/storage/ProfileTestFiles.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Result = TagMergeOutcome::Result;

// One file of a merge: its rows as "Name,Var" (the other cells empty), its controller and machine.
struct MergeSideFile
{
    MergeSideFile(QStringList rows_, QString controller_ = QStringLiteral("PLC1"),
                  QString machine_ = QString(), bool latin1_ = false)
        : rows(std::move(rows_)), controller(std::move(controller_)), machine(std::move(machine_)),
          latin1(latin1_)
    {
    }
    QStringList rows;
    QString controller;
    QString machine;
    bool latin1; // written in CP1252 by a Windows program rather than in UTF-8
};

// A key line with its row filled up to ten cells; other lines as they are.
QString tagLine(const QString& line)
{
    if (!line.startsWith(QLatin1String("Tag")) || line.startsWith(QLatin1String("TagDataCnt")))
        return line;
    return line + QString(9 - line.count(QLatin1Char(',')), QLatin1Char(','));
}

QStringList connectionLines(const QString& controller, const QString& machine)
{
    return {QStringLiteral("[QuorTagSetting]"),         QStringLiteral("Type=1"),
            QStringLiteral("Controller=") + controller, QStringLiteral("Provider=QuorProv.Sim.Ethernet"),
            QStringLiteral("Machine=") + machine,       QStringLiteral("Option=")};
}

QByteArray bytesOf(const QStringList& lines, bool latin1)
{
    QString text;
    for (const QString& line : lines)
        text += tagLine(line) + QStringLiteral("\r\n");
    return latin1 ? text.toLatin1() : text.toUtf8();
}

QByteArray fileOf(const MergeSideFile& side)
{
    QStringList lines = connectionLines(side.controller, side.machine);
    for (qsizetype i = 0; i < side.rows.size(); ++i)
        lines.append(QStringLiteral("Tag%1=%2").arg(i + 1).arg(side.rows.at(i)));
    lines.append(QStringLiteral("TagDataCnt=%1").arg(side.rows.size()));
    return bytesOf(lines, side.latin1);
}

struct MergeCase
{
    const char* name;
    MergeSideFile base, ours, theirs;
    Result result;
    QStringList merged; // the lines of the merged file, rows filled up to ten cells
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

QStringList head(const QString& controller = QStringLiteral("PLC1"), const QString& machine = QString())
{
    return connectionLines(controller, machine);
}

class TagMerge : public ::testing::TestWithParam<MergeCase>
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString write(const char* name, const MergeSideFile& side)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ProfileTestFiles::writeFile(path, fileOf(side));
        return path;
    }

    QTemporaryDir dir;
    ProfileTestFiles::ScopedEnvironment codePage{{"QUOR_ANSI_CODEPAGE", "CP1252"}};
};

const QStringList kThree = {QStringLiteral("Motor,I1"), QStringLiteral("Pump,I2"),
                            QStringLiteral("Valve,I3")};

} // namespace

TEST_P(TagMerge, WritesTheMergedTableIntoOursAsTheWriterWould)
{
    const MergeCase& c = GetParam();
    const QString ours = write("ours.qts", c.ours);
    const TagMergeOutcome outcome =
        mergeTagFiles(write("base.qts", c.base), ours, write("theirs.qts", c.theirs), ours);
    EXPECT_EQ(outcome.result, c.result) << outcome.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(outcome.messages.size(), c.result == Result::Conflicts ? 1 : 0);
    EXPECT_EQ(ProfileTestFiles::readFile(ours), bytesOf(c.merged, c.ours.latin1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagMerge,
    ::testing::Values(
        MergeCase{"ChangesOfOneSideEachAreTaken",
                  {kThree},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Pump,I7"), QStringLiteral("Valve,I3")},
                   QStringLiteral("PLC2")},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Pump,I2"), QStringLiteral("Valve,I3,x")},
                   QStringLiteral("PLC1"),
                   QStringLiteral("host")},
                  Result::Clean,
                  head(QStringLiteral("PLC2"), QStringLiteral("host")) +
                      QStringList{QStringLiteral("Tag1=Motor,I1"), QStringLiteral("Tag2=Pump,I7"),
                                  QStringLiteral("Tag3=Valve,I3,x"), QStringLiteral("TagDataCnt=3")}},
        MergeCase{"TheSameChangeOnBothSidesIsTakenOnce",
                  {kThree},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("pump,I7"), QStringLiteral("Valve,I3")}},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("pump,I7"), QStringLiteral("Valve,I3")}},
                  Result::Clean,
                  head() + QStringList{QStringLiteral("Tag1=Motor,I1"), QStringLiteral("Tag2=pump,I7"),
                                       QStringLiteral("Tag3=Valve,I3"), QStringLiteral("TagDataCnt=3")}},
        MergeCase{"DifferentChangesOfOneTagConflict",
                  {kThree},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Pump,I7"), QStringLiteral("Valve,I3")}},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Pump,I8"), QStringLiteral("Valve,I3")}},
                  Result::Conflicts,
                  head() + QStringList{QStringLiteral("Tag1=Motor,I1"), QStringLiteral("<<<<<<< ours"),
                                       QStringLiteral("Tag2=Pump,I7"), QStringLiteral("======="),
                                       QStringLiteral("Tag2=Pump,I8"), QStringLiteral(">>>>>>> theirs"),
                                       QStringLiteral("Tag3=Valve,I3"), QStringLiteral("TagDataCnt=3")}},
        MergeCase{"DifferentChangesOfOneConnectionFieldConflict",
                  {kThree},
                  {kThree, QStringLiteral("PLC2")},
                  {kThree, QStringLiteral("PLC3")},
                  Result::Conflicts,
                  {QStringLiteral("[QuorTagSetting]"), QStringLiteral("Type=1"),
                   QStringLiteral("<<<<<<< ours"), QStringLiteral("Controller=PLC2"),
                   QStringLiteral("======="), QStringLiteral("Controller=PLC3"),
                   QStringLiteral(">>>>>>> theirs"), QStringLiteral("Provider=QuorProv.Sim.Ethernet"),
                   QStringLiteral("Machine="), QStringLiteral("Option="), QStringLiteral("Tag1=Motor,I1"),
                   QStringLiteral("Tag2=Pump,I2"), QStringLiteral("Tag3=Valve,I3"),
                   QStringLiteral("TagDataCnt=3")}},
        MergeCase{"DeletionAgainstChangeConflicts",
                  {kThree},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Valve,I3")}},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Pump,I8"), QStringLiteral("Valve,I3")}},
                  Result::Conflicts,
                  head() + QStringList{QStringLiteral("Tag1=Motor,I1"), QStringLiteral("<<<<<<< ours"),
                                       QStringLiteral("======="), QStringLiteral("Tag2=Pump,I8"),
                                       QStringLiteral(">>>>>>> theirs"), QStringLiteral("Tag2=Valve,I3"),
                                       QStringLiteral("TagDataCnt=2")}},
        MergeCase{"AdditionsAtTheSamePlaceKeepOursFirst",
                  {kThree},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Fan,I4"), QStringLiteral("Pump,I2"),
                    QStringLiteral("Valve,I3")}},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Lamp,I5"), QStringLiteral("Horn,I6"),
                    QStringLiteral("Pump,I2"), QStringLiteral("Valve,I3")}},
                  Result::Clean,
                  head() + QStringList{QStringLiteral("Tag1=Motor,I1"), QStringLiteral("Tag2=Fan,I4"),
                                       QStringLiteral("Tag3=Lamp,I5"), QStringLiteral("Tag4=Horn,I6"),
                                       QStringLiteral("Tag5=Pump,I2"), QStringLiteral("Tag6=Valve,I3"),
                                       QStringLiteral("TagDataCnt=6")}},
        MergeCase{"RowsAreNumberedAnewAfterDeletionsAndAdditions",
                  {kThree},
                  {{QStringLiteral("Pump,I2"), QStringLiteral("Valve,I3")}},
                  {{QStringLiteral("Horn,I6"), QStringLiteral("Motor,I1"), QStringLiteral("Pump,I2"),
                    QStringLiteral("Valve,I3"), QStringLiteral("Lamp,I5")}},
                  Result::Clean,
                  head() + QStringList{QStringLiteral("Tag1=Horn,I6"), QStringLiteral("Tag2=Pump,I2"),
                                       QStringLiteral("Tag3=Valve,I3"), QStringLiteral("Tag4=Lamp,I5"),
                                       QStringLiteral("TagDataCnt=4")}},
        MergeCase{"OursCodePageIsKept",
                  {kThree, QStringLiteral("PLC1"), QString(), true},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Größe,I2"), QStringLiteral("Valve,I3")},
                   QStringLiteral("PLC1"),
                   QString(),
                   true},
                  {{QStringLiteral("Motor,I1"), QStringLiteral("Pump,I2"), QStringLiteral("Valve,I3"),
                    QStringLiteral("Maß,I9")}},
                  Result::Clean,
                  head() + QStringList{QStringLiteral("Tag1=Motor,I1"), QStringLiteral("Tag2=Größe,I2"),
                                       QStringLiteral("Tag3=Valve,I3"), QStringLiteral("Tag4=Maß,I9"),
                                       QStringLiteral("TagDataCnt=4")}}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });
