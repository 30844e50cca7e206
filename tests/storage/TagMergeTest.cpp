#include "storage/TagMergeFile.h"
#include "tests/storage/ProfileTestFiles.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Result = TagMergeOutcome::Result;

// Lines written "a|b|c"; a "Tag" line is filled up to ten cells.
QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String("Tag")) && !line.startsWith(QLatin1String("TagDataCnt")))
            line += QString(9 - line.count(QLatin1Char(',')), QLatin1Char(','));
    }
    return lines;
}

// The connection lines with that controller and machine, then `rest`.
QStringList fileLines(const char* rest, const char* controller = "PLC1", const char* machine = "")
{
    return QStringList{QStringLiteral("[QuorTagSetting]"),
                       QStringLiteral("Type=1"),
                       QStringLiteral("Controller=") + QString::fromUtf8(controller),
                       QStringLiteral("Provider=QuorProv.Sim.Ethernet"),
                       QStringLiteral("Machine=") + QString::fromUtf8(machine),
                       QStringLiteral("Option=")} +
           linesOf(QString::fromUtf8(rest));
}

QByteArray bytesOf(const QStringList& lines, bool latin1)
{
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return latin1 ? text.toLatin1() : text.toUtf8();
}

// One file of a merge: its rows "Name,Var|Name,Var" numbered from Tag1, its controller and machine.
struct MergeSideFile
{
    const char* rows;
    const char* controller = "PLC1";
    const char* machine = "";
    bool latin1 = false; // written in CP1252 by a Windows program rather than in UTF-8

    QByteArray bytes() const
    {
        QStringList rowLines = QString::fromUtf8(rows).split(QLatin1Char('|'));
        for (qsizetype i = 0; i < rowLines.size(); ++i)
            rowLines[i] = QStringLiteral("Tag%1=%2").arg(i + 1).arg(rowLines.at(i));
        rowLines.append(QStringLiteral("TagDataCnt=%1").arg(rowLines.size()));
        return bytesOf(fileLines("", controller, machine) + linesOf(rowLines.join(QLatin1Char('|'))), latin1);
    }
};

struct MergeCase
{
    const char* name;
    MergeSideFile base, ours, theirs;
    Result result;
    QStringList merged; // the lines of the merged file
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class TagMerge : public ::testing::TestWithParam<MergeCase>
{
protected:
    QString write(const char* name, const MergeSideFile& side)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ProfileTestFiles::writeFile(path, side.bytes());
        return path;
    }

    QTemporaryDir dir;
    ProfileTestFiles::ScopedEnvironment codePage{{"QUOR_ANSI_CODEPAGE", "CP1252"}};
};

const char* const kThree = "Motor,I1|Pump,I2|Valve,I3";

} // namespace

TEST_P(TagMerge, WritesTheMergedTableIntoOursAsTheWriterWould)
{
    const MergeCase& c = GetParam();
    ASSERT_TRUE(dir.isValid());
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
                  {"Motor,I1|Pump,I7|Valve,I3", "PLC2"},
                  {"Motor,I1|Pump,I2|Valve,I3,x", "PLC1", "host"},
                  Result::Clean,
                  fileLines("Tag1=Motor,I1|Tag2=Pump,I7|Tag3=Valve,I3,x|TagDataCnt=3", "PLC2", "host")},
        MergeCase{"TheSameChangeOnBothSidesIsTakenOnce",
                  {kThree},
                  {"Motor,I1|pump,I7|Valve,I3"},
                  {"Motor,I1|pump,I7|Valve,I3"},
                  Result::Clean,
                  fileLines("Tag1=Motor,I1|Tag2=pump,I7|Tag3=Valve,I3|TagDataCnt=3")},
        MergeCase{"DifferentChangesOfOneTagConflict",
                  {kThree},
                  {"Motor,I1|Pump,I7|Valve,I3"},
                  {"Motor,I1|Pump,I8|Valve,I3"},
                  Result::Conflicts,
                  fileLines("Tag1=Motor,I1|<<<<<<< ours|Tag2=Pump,I7|=======|Tag2=Pump,I8|>>>>>>> theirs|"
                            "Tag3=Valve,I3|TagDataCnt=3")},
        MergeCase{"DifferentChangesOfOneConnectionFieldConflict",
                  {kThree},
                  {kThree, "PLC2"},
                  {kThree, "PLC3"},
                  Result::Conflicts,
                  linesOf(QStringLiteral(
                      "[QuorTagSetting]|Type=1|<<<<<<< ours|Controller=PLC2|=======|Controller=PLC3|"
                      ">>>>>>> theirs|Provider=QuorProv.Sim.Ethernet|Machine=|Option=|Tag1=Motor,I1|"
                      "Tag2=Pump,I2|Tag3=Valve,I3|TagDataCnt=3"))},
        MergeCase{"DeletionAgainstChangeConflicts",
                  {kThree},
                  {"Motor,I1|Valve,I3"},
                  {"Motor,I1|Pump,I8|Valve,I3"},
                  Result::Conflicts,
                  fileLines("Tag1=Motor,I1|<<<<<<< ours|=======|Tag2=Pump,I8|>>>>>>> theirs|Tag2=Valve,I3|"
                            "TagDataCnt=2")},
        MergeCase{"AdditionsAtTheSamePlaceKeepOursFirst",
                  {kThree},
                  {"Motor,I1|Fan,I4|Pump,I2|Valve,I3"},
                  {"Motor,I1|Lamp,I5|Horn,I6|Pump,I2|Valve,I3"},
                  Result::Clean,
                  fileLines("Tag1=Motor,I1|Tag2=Fan,I4|Tag3=Lamp,I5|Tag4=Horn,I6|Tag5=Pump,I2|Tag6=Valve,I3|"
                            "TagDataCnt=6")},
        MergeCase{"RowsAreNumberedAnewAfterDeletionsAndAdditions",
                  {kThree},
                  {"Pump,I2|Valve,I3"},
                  {"Horn,I6|Motor,I1|Pump,I2|Valve,I3|Lamp,I5"},
                  Result::Clean,
                  fileLines("Tag1=Horn,I6|Tag2=Pump,I2|Tag3=Valve,I3|Tag4=Lamp,I5|TagDataCnt=4")},
        MergeCase{"OursCodePageIsKept",
                  {kThree, "PLC1", "", true},
                  {"Motor,I1|Größe,I2|Valve,I3", "PLC1", "", true},
                  {"Motor,I1|Pump,I2|Valve,I3|Maß,I9"},
                  Result::Clean,
                  fileLines("Tag1=Motor,I1|Tag2=Größe,I2|Tag3=Valve,I3|Tag4=Maß,I9|TagDataCnt=4")}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });
