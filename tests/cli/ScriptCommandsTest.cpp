#include "tests/cli/ScriptProcess.h"

#include <QRegularExpression>
#include <sys/stat.h>

namespace {

const QByteArray kHead = "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=QuorProv.Sim.Ethernet\r\n"
                         "Machine=\r\nOption=\r\n";

struct CheckCase
{
    const char* name;
    QByteArray body;
    int exitCode;
    QStringList lines;
};

class Check : public ScriptCommands, public ::testing::WithParamInterface<CheckCase>
{
};

} // namespace

TEST_P(Check, PrintsEachProblemWithTheRightExitCode)
{
    const CheckCase& c = GetParam();
    if (!c.body.isNull())
        write(QStringLiteral("a.qts"), c.body);
    const Outcome r = run({QStringLiteral("--check"), QStringLiteral("a.qts")});
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    // Problems are the output; a file that cannot be read is an error.
    const bool unreadable = c.exitCode == 2;
    EXPECT_EQ((unreadable ? r.out : r.err), QString());
    QStringList lines = (unreadable ? r.err : r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.section(QLatin1Char(' '), 0, 1); // the key and the first word
    EXPECT_EQ(lines, c.lines) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Problems, Check,
    ::testing::Values(
        CheckCase{
            "Clean", kHead + "Tag1=Motor,I1,,,,,,,,\r\nTag2=Pump,I2,,,,,,,,\r\nTagDataCnt=2\r\n", 0, {}},
        CheckCase{"DuplicateInOtherCase",
                  kHead + "Tag1=Motor,I1,,,,,,,,\r\nTag2=MOTOR,I2,,,,,,,,\r\nTagDataCnt=2\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag2: duplicate")}},
        CheckCase{"ForbiddenCharacter",
                  kHead + "Tag1=Fa#n,I1,,,,,,,,\r\nTagDataCnt=1\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag1: forbidden")}},
        CheckCase{"RowThatDoesNotReadBack",
                  kHead + "Tag1=Fan,I1,a,b,,,,,,,extra\r\nTagDataCnt=1\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag1: holds")}},
        CheckCase{"RowThatCannotBeSaved",
                  kHead + "Tag1=\"\"Fan,I1,,,,,,,,x\"\"\r\nTagDataCnt=1\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag1: The")}},
        CheckCase{
            "ShortRow", kHead + "Tag1=Fan,I1\r\nTagDataCnt=1\r\n", 1, {QStringLiteral("a.qts:Tag1: holds")}},
        CheckCase{"RowLongerThanARowMayBe",
                  kHead + "Tag1=Fan," + QByteArray(199999, 'v') + ",,,,,,,,\r\nTagDataCnt=1\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag1: longer")}},
        CheckCase{"MissingRow", kHead + "TagDataCnt=1\r\n", 1, {QStringLiteral("a.qts:Tag1: missing,")}},
        CheckCase{
            "MissingCount", kHead + "Tag1=Fan,I1,,,,,,,,\r\n", 1, {QStringLiteral("a.qts: TagDataCnt")}},
        CheckCase{"CountTooSmall",
                  kHead + "Tag1=Fan,I1,,,,,,,,\r\nTag2=Pump,I2,,,,,,,,\r\nTagDataCnt=1\r\n",
                  1,
                  {QStringLiteral("a.qts: TagDataCnt")}},
        CheckCase{"ProblemsInRowOrder",
                  kHead + "Tag1=Fa#n,I1,,,,,,,,\r\nTag2=Pump,I2\r\nTagDataCnt=3\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag1: forbidden"), QStringLiteral("a.qts:Tag2: holds")}},
        CheckCase{"CountAfterTheRows",
                  kHead + "Tag1=Fa#n,I1,,,,,,,,\r\nTag2=Pump,I2,,,,,,,,\r\nTagDataCnt=1\r\n",
                  1,
                  {QStringLiteral("a.qts:Tag1: forbidden"), QStringLiteral("a.qts: TagDataCnt")}},
        CheckCase{"NotATagSettingFile", "[Other]\r\nx=1\r\n", 2, {QStringLiteral("a.qts: cannot")}},
        CheckCase{"MissingFile", QByteArray(), 2, {QStringLiteral("a.qts: cannot")}}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(ScriptCommands, CheckNamesBothKeysOfADuplicateAndTheWorstFileSetsTheExitCode)
{
    write(QStringLiteral("dup.qts"),
          kHead + "Tag1=Motor,I1,,,,,,,,\r\nTag2=motor,I2,,,,,,,,\r\nTagDataCnt=2\r\n");
    write(QStringLiteral("ok.qts"), kHead + "TagDataCnt=0\r\n");
    const Outcome r = run({QStringLiteral("--check"), QStringLiteral("ok.qts"), QStringLiteral("dup.qts")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("dup.qts:Tag2: duplicate name \"motor\" (also Tag1)\n"));
    EXPECT_EQ(
        run({QStringLiteral("--check"), QStringLiteral("dup.qts"), QStringLiteral("gone.qts")}).exitCode, 2);
}

TEST_F(ScriptCommands, DiffListsConnectionAddedRemovedChangedAndMovedTags)
{
    write(QStringLiteral("old.qts"),
          kHead + "Tag1=Motor,I1,,,,,,,,\r\nTag2=Valve,I2,,,,,,,,\r\nTag3=Fan,I3,,,,,,,,\r\n"
                  "Tag4=Lamp,I4,,,,,,,,\r\nTagDataCnt=4\r\n");
    QByteArray changed = kHead;
    changed.replace("PLC1", "PLC2");
    write(QStringLiteral("new.qts"),
          changed + "Tag1=Lamp,I4,,,,,,,,\r\nTag2=motor,I9,,x,,,,,,\r\nTag3=Fan,I3,,,,,,,,\r\n"
                    "Tag4=Pump,I5,,,,,,,,\r\nTagDataCnt=4\r\n");
    const Outcome r = run({QStringLiteral("--diff"), QStringLiteral("old.qts"), QStringLiteral("new.qts")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("Controller: \"PLC1\" -> \"PLC2\""),
                           QStringLiteral("removed Tag2 \"Valve\": Valve,I2,,,,,,,,"),
                           QStringLiteral("added Tag4 \"Pump\": Pump,I5,,,,,,,,"),
                           QStringLiteral("changed Tag2 \"motor\": Tag Name \"Motor\" -> \"motor\"; Var Name "
                                          "\"I1\" -> \"I9\"; A \"\" -> \"x\""),
                           QStringLiteral("moved Tag1 \"Lamp\": was Tag4")}));
}

TEST_F(ScriptCommands, DiffOfAFileAgainstItselfPrintsNothing)
{
    write(QStringLiteral("a.qts"),
          kHead + "Tag1=Motor,I1,,,,,,,,\r\nTag2=Motor,I2,,,,,,,,\r\nTagDataCnt=2\r\n");
    const Outcome same = run({QStringLiteral("--diff"), QStringLiteral("a.qts"), QStringLiteral("a.qts")});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_EQ(same.out, QString());
    EXPECT_EQ(run({QStringLiteral("--diff"), QStringLiteral("a.qts"), QStringLiteral("gone.qts")}).exitCode,
              2);
}

TEST_F(ScriptCommands, ExportCsvGoesToStandardOutputOrAFile)
{
    write(QStringLiteral("a.qts"),
          kHead + "Tag1=Motor,I1,\"x\" y,,,,,,,\r\nTag2=Größe,I2,,,,,,,, \r\nTagDataCnt=2\r\n");
    const QString csv = QStringLiteral("Tag Name,Var Name,Var Opt,A,B,C,D,E,F,G\r\n"
                                       "Motor,I1,\"\"\"x\"\" y\",,,,,,,\r\n"
                                       "Größe,I2,,,,,,,,\r\n");
    const Outcome toOut = run({QStringLiteral("--export-csv"), QStringLiteral("a.qts")});
    EXPECT_EQ(toOut.exitCode, 0) << toOut.err.toStdString();
    EXPECT_EQ(toOut.out, csv);

    EXPECT_EQ(
        run({QStringLiteral("--export-csv"), QStringLiteral("a.qts"), QStringLiteral("a.csv")}).exitCode, 0);
    QFile file(dir.filePath(QStringLiteral("a.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), csv);

    // A file the window cannot read exports nothing.
    write(QStringLiteral("bad.qts"), kHead + "TagDataCnt=2\r\nTag1=Motor,I1,,,,,,,,\r\n");
    const Outcome bad = run({QStringLiteral("--export-csv"), QStringLiteral("bad.qts")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, QString());
    EXPECT_TRUE(bad.err.startsWith(QStringLiteral("bad.qts: cannot be read: Tag2 is missing")));
}

TEST_F(ScriptCommands, HelpAndVersionPrintAndWrongUseExitsWithTwo)
{
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: QuorTagEditor"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--export-csv")));
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("QuorTagEditor Version : 1.0.0.0\n"));

    for (const QStringList& wrong : {QStringList{QStringLiteral("--check")},
                                     QStringList{QStringLiteral("--diff"), QStringLiteral("a.qts")},
                                     QStringList{QStringLiteral("--check"), QStringLiteral("--diff")},
                                     QStringList{QStringLiteral("--check"), QStringLiteral("--nonsense")}}) {
        const Outcome r = run(wrong);
        EXPECT_EQ(r.exitCode, 2) << wrong.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST_F(ScriptCommands, ShortOptionsAreTheLongOnes)
{
    EXPECT_EQ(run({QStringLiteral("-h")}).out, run({QStringLiteral("--help")}).out);
    const Outcome version = run({QStringLiteral("-V")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("QuorTagEditor Version : 1.0.0.0\n"));
}

// Without a display a window cannot start: the run ends in a usage error and exit 2 instead.
TEST_F(ScriptCommands, AnUnknownFirstOptionIsAUsageErrorNotAWindow)
{
    for (const QString& option : {QStringLiteral("-x"), QStringLiteral("--nonsense"), QStringLiteral("-"),
                                  QStringLiteral("--force")}) {
        const Outcome r = run({option, QStringLiteral("a.qts")});
        EXPECT_EQ(r.exitCode, 2) << option.toStdString();
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.contains(QStringLiteral("\nUsage: QuorTagEditor"))) << r.err.toStdString();
    }
}

TEST_F(ScriptCommands, APipeIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.qts"))).constData(), 0600), 0);
    write(QStringLiteral("a.qts"), kHead + "TagDataCnt=0\r\n");
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--check"), QStringLiteral("pipe.qts")},
          QStringList{QStringLiteral("--diff"), QStringLiteral("a.qts"), QStringLiteral("pipe.qts")},
          QStringList{QStringLiteral("--export-csv"), QStringLiteral("pipe.qts")},
          QStringList{QStringLiteral("--export-csv"), QStringLiteral("a.qts"), QStringLiteral("pipe.qts")}}) {
        const Outcome r = run(arguments, 10000);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err, QStringLiteral("pipe.qts: cannot be %1: it is not a regular file\n")
                             .arg(arguments.size() == 3 && arguments.first() == QStringLiteral("--export-csv")
                                      ? QStringLiteral("written")
                                      : QStringLiteral("read")));
    }
}

// The manual page is written from the help: every option the help lists is in it.
TEST_F(ScriptCommands, TheManualPageNamesEveryOptionOfTheHelp)
{
    QFile page(QStringLiteral(QUOR_MAN_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    // The page writes a minus sign as \-.
    const QString text =
        QString::fromUtf8(page.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QString help = run({QStringLiteral("--help")}).out;
    const QString options =
        help.section(QStringLiteral("\nOptions:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    const QRegularExpression option(QStringLiteral("(?:^|[ ,])(--?[A-Za-z][A-Za-z-]*)"));
    int found = 0;
    for (auto match = option.globalMatch(options); match.hasNext(); ++found) {
        const QString name = match.next().captured(1);
        EXPECT_TRUE(text.contains(QStringLiteral("\\fB") + name + QStringLiteral("\\fR")))
            << name.toStdString();
    }
    EXPECT_GE(found, 8) << options.toStdString();
}
