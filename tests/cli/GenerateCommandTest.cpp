#include "tests/cli/ScriptProcess.h"

namespace {

const QByteArray kTemplate = "[QuorTagSetting]\r\nType=1\r\nController={Controller}\r\n"
                             "Provider=QuorProv.Sim.Ethernet\r\nMachine={machine}\r\nOption=Timeout=500\r\n"
                             "Tag1={Line}_Speed,{Controller}.Speed,{{raw}},,,,,,,\r\n"
                             "Tag2=Pump,I2,,,,,,,,\r\nTagDataCnt=2\r\n";
const QByteArray kInstances = "File,Controller,Machine,Line\r\n"
                              "p1,Press01,,L1\r\n"
                              "p2.qts,Press02,cell-north,L2\r\n"
                              "p3,Press03,,L3\r\n";

class Generate : public ScriptCommands
{
protected:
    Outcome generate(const QByteArray& instances, const QByteArray& pattern = kTemplate,
                     const QStringList& more = {})
    {
        write(QStringLiteral("t.qts"), pattern);
        write(QStringLiteral("i.csv"), instances);
        return run(QStringList{QStringLiteral("--generate"), QStringLiteral("t.qts"), QStringLiteral("i.csv"),
                               QStringLiteral("out")} +
                   more);
    }

    QStringList written() const
    {
        return QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files, QDir::Name);
    }
};

struct RefusalCase
{
    const char* name;
    QByteArray instances;
    QByteArray pattern;
    // The beginning of each line printed.
    QStringList lines;
};

class GenerateRefusal : public Generate, public ::testing::WithParamInterface<RefusalCase>
{
};

} // namespace

TEST_F(Generate, WritesOneFilePerRowThatTheCheckPasses)
{
    const Outcome r = generate(kInstances);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out + r.err, QString());
    ASSERT_EQ(written(),
              (QStringList{QStringLiteral("p1.qts"), QStringLiteral("p2.qts"), QStringLiteral("p3.qts")}));
    EXPECT_EQ(read(QStringLiteral("out/p2.qts")),
              "[QuorTagSetting]\r\nType=1\r\nController=Press02\r\nProvider=QuorProv.Sim.Ethernet\r\n"
              "Machine=cell-north\r\nOption=Timeout=500\r\nTag1=L2_Speed,Press02.Speed,{raw},,,,,,,\r\n"
              "Tag2=Pump,I2,,,,,,,,\r\nTagDataCnt=2\r\n");
    const Outcome check = run({QStringLiteral("--check"), QStringLiteral("out/p1.qts"),
                               QStringLiteral("out/p2.qts"), QStringLiteral("out/p3.qts")});
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out + check.err, QString());
}

TEST_F(Generate, WritesOverExistingFilesOnlyWithForce)
{
    ASSERT_EQ(generate(kInstances).exitCode, 0);
    QByteArray changed = kInstances;
    changed.replace("Press02", "Press22");
    const Outcome refused = generate(changed);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith(QStringLiteral("i.csv:2: out/p1.qts exists; give --force")))
        << refused.err.toStdString();
    EXPECT_EQ(refused.err.count(QLatin1Char('\n')), 3);
    EXPECT_TRUE(read(QStringLiteral("out/p2.qts")).contains("Press02"));

    const Outcome forced = generate(changed, kTemplate, {QStringLiteral("--force")});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_TRUE(read(QStringLiteral("out/p2.qts")).contains("Controller=Press22\r\n"));
}

TEST_P(GenerateRefusal, NamesTheRowAndWritesNothing)
{
    const RefusalCase& c = GetParam();
    const Outcome r = generate(c.instances, c.pattern.isNull() ? kTemplate : c.pattern);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), c.lines.size()) << r.err.toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines.at(i).startsWith(c.lines.at(i))) << lines.at(i).toStdString();
    EXPECT_EQ(written(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Problems, GenerateRefusal,
    ::testing::Values(
        RefusalCase{"PlaceholderNamingNoColumn",
                    "File,Controller,Machine\r\np1,Press01,\r\n",
                    {},
                    {QStringLiteral("t.qts:Tag1: Tag Name: the placeholder {Line} names no column")}},
        RefusalCase{"UnclosedBrace",
                    kInstances,
                    QByteArray(kTemplate).replace("Machine={machine}", "Machine={machine"),
                    {QStringLiteral("t.qts: Machine: a \"{\" is not closed")}},
        RefusalCase{"NoFileColumn",
                    "Name,Controller,Machine,Line\r\np1,P,,L\r\n",
                    {},
                    {QStringLiteral("i.csv:1: the header row has no column \"File\"")}},
        RefusalCase{
            "NoRow", "File,Controller,Machine,Line\r\n", {}, {QStringLiteral("i.csv:1: no instance row")}},
        RefusalCase{
            "BadFileValues",
            "File,Controller,Machine,Line\r\n,P0,,L0\r\n../p1,P1,,L1\r\nsub\\p2,P2,,L2\r\n..,P3,,L3\r\n"
            "ok,P4,,L4\r\nOK.QTS,P5,,L5\r\n",
            {},
            {QStringLiteral("i.csv:2: File is empty"), QStringLiteral("i.csv:3: File \"../p1\" holds a path"),
             QStringLiteral("i.csv:4: File \"sub\\p2\" holds a path"),
             QStringLiteral("i.csv:5: File \"..\" is no file name"),
             QStringLiteral("i.csv:7: File \"OK.QTS\" names the file of line 6 again")}},
        RefusalCase{"FieldCounts",
                    "File,Controller,Machine,Line\r\np1,P1,,L1,x\r\np2,P2,\r\n",
                    {},
                    {QStringLiteral("i.csv:2: it holds 5 fields, the header row 4"),
                     QStringLiteral("i.csv:3: it holds 3 fields, the header row 4")}},
        RefusalCase{
            "ValueMakesAForbiddenName",
            "File,Controller,Machine,Line\r\np1,P1,,L#1\r\n",
            {},
            {QStringLiteral("i.csv:2: p1.qts:Tag1: forbidden character \"#\" in name \"L#1_Speed\"")}},
        RefusalCase{"ValueMakesANameClash",
                    "File,Controller,Machine,Line\r\np1,P1,,pump\r\n",
                    QByteArray(kTemplate).replace("Tag2=Pump,", "Tag2=PUMP_Speed,"),
                    {QStringLiteral("i.csv:2: p1.qts:Tag2: duplicate name \"PUMP_Speed\" (also Tag1)")}},
        RefusalCase{"ValueWithALineBreak",
                    "File,Controller,Machine,Line\r\np1,\"P\r\n1\",,L1\r\n",
                    {},
                    {QStringLiteral("i.csv:2: p1.qts: Controller: holds a line break"),
                     QStringLiteral("i.csv:2: p1.qts:Tag1: The tag [L1_Speed] in row 1 cannot be saved: its "
                                    "column \"Var Name\" holds a line break")}},
        RefusalCase{"ValueWithAComma",
                    "File,Controller,Machine,Line\r\np1,\"P,1\",,L1\r\n",
                    {},
                    {QStringLiteral("i.csv:2: p1.qts:Tag1: The tag [L1_Speed] in row 1 cannot be saved: its "
                                    "column \"Var Name\" holds a comma")}},
        RefusalCase{"TemplateThatDoesNotCheck",
                    kInstances,
                    QByteArray(kTemplate).replace("TagDataCnt=2", "TagDataCnt=1"),
                    {QStringLiteral("t.qts: TagDataCnt is 1 but Tag2 follows")}}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(Generate, RefusesToWriteOverItsInputsOrThroughAFile)
{
    write(QStringLiteral("i.csv"), "File,Controller,Machine,Line\r\nt,P1,,L1\r\n");
    write(QStringLiteral("t.qts"), kTemplate);
    const Outcome over = run({QStringLiteral("--generate"), QStringLiteral("t.qts"), QStringLiteral("i.csv"),
                              QStringLiteral("."), QStringLiteral("--force")});
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_TRUE(over.err.startsWith(QStringLiteral("i.csv:2: ./t.qts is an input of this command")))
        << over.err.toStdString();
    EXPECT_EQ(read(QStringLiteral("t.qts")), kTemplate);

    write(QStringLiteral("out"), "a file, not a folder");
    const Outcome notFolder = generate(kInstances);
    EXPECT_EQ(notFolder.exitCode, 2);
    EXPECT_EQ(notFolder.err, QStringLiteral("out: cannot be written: it is not a folder\n"));
    const Outcome noTemplate = run({QStringLiteral("--generate"), QStringLiteral("gone.qts"),
                                    QStringLiteral("i.csv"), QStringLiteral("o")});
    EXPECT_EQ(noTemplate.exitCode, 2);
    EXPECT_EQ(noTemplate.err, QStringLiteral("gone.qts: cannot be read: the file does not exist\n"));
}

// A template written by a Windows program in its code page gives files in that code page.
TEST_F(Generate, WritesInTheTemplatesCodePageAndRefusesValuesItCannotStore)
{
    qputenv("QUOR_ANSI_CODEPAGE", "CP932");
    // "プレス" (press) in CP932 before the line's name.
    const QByteArray pattern =
        QByteArray(kTemplate).replace("Tag2=Pump,", "Tag2=\x83\x76\x83\x8c\x83\x58_{Line},");
    const Outcome refused =
        generate(QStringLiteral("File,Controller,Machine,Line\r\np1,P1,,€1\r\n").toUtf8(), pattern);
    const Outcome written =
        generate(QStringLiteral("File,Controller,Machine,Line\r\np1,P1,,ライン1\r\n").toUtf8(), pattern);
    qunsetenv("QUOR_ANSI_CODEPAGE");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err,
              QStringLiteral("i.csv:2: column \"Line\": the value \"€1\" holds a character that the "
                             "template's character encoding (CP932) cannot store\n"));
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(
        read(QStringLiteral("out/p1.qts"))
            .contains("\r\nTag2=\x83\x76\x83\x8c\x83\x58_\x83\x89\x83\x43\x83\x93\x31,I2,,,,,,,,\r\n"));
}
