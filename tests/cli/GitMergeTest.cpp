#include "storage/TagFileReader.h"
#include "tags/TagGridModel.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct GitRunOutcome
{
    int exitCode = -1;
    QString out;
};

// A repository in a temporary folder, set up by the program, holding tags.qts on branch main.
// Git and the program run without the user's or the system's git settings, without a display.
class GitRepository : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(git({"init", "-q", "-b", "main"}), 0);
        ASSERT_EQ(git({"config", "user.name", "Tester"}), 0);
        ASSERT_EQ(git({"config", "user.email", "tester@example.com"}), 0);
        const GitRunOutcome setup = program({QStringLiteral("--git-setup")});
        ASSERT_EQ(setup.exitCode, 0);
        EXPECT_TRUE(setup.out.contains(QStringLiteral("Added \"*.qts diff=qts merge=qts\"")))
            << qPrintable(setup.out);
        writeTags({"Motor,I1", "Pump,I2", "Valve,I3"});
        commitAll("base");
    }

    GitRunOutcome run(const QString& executable, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QUOR_ENGINE", "GIT_DIR",
                                 "GIT_WORK_TREE", "GIT_INDEX_FILE"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), dir.path());
        environment.insert(QStringLiteral("GIT_CONFIG_NOSYSTEM"), QStringLiteral("1"));
        environment.insert(QStringLiteral("GIT_CONFIG_GLOBAL"), QStringLiteral("/dev/null"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(executable, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
    }
    GitRunOutcome program(const QStringList& arguments)
    {
        return run(QStringLiteral(QUOR_EXECUTABLE), arguments);
    }
    int git(const QList<const char*>& arguments, QString* out = nullptr)
    {
        QStringList texts;
        for (const char* argument : arguments)
            texts.append(QString::fromUtf8(argument));
        const GitRunOutcome outcome = run(QStringLiteral("git"), texts);
        if (out)
            *out = outcome.out;
        return outcome.exitCode;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // Writes tags.qts with rows "Name,Var" as the program saves them.
    void writeTags(const QList<const char*>& rows)
    {
        QByteArray bytes =
            "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=QuorProv.Sim.Ethernet\r\n"
            "Machine=\r\nOption=\r\n";
        for (qsizetype i = 0; i < rows.size(); ++i)
            bytes += "Tag" + QByteArray::number(i + 1) + "=" + rows.at(i) + ",,,,,,,,\r\n";
        bytes += "TagDataCnt=" + QByteArray::number(rows.size()) + "\r\n";
        QFile file(path(QStringLiteral("tags.qts")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void commitAll(const char* message)
    {
        ASSERT_EQ(git({"add", "-A"}), 0);
        ASSERT_EQ(git({"commit", "-q", "-m", message}), 0);
    }
    // Commits the rows on a new branch from main, then the other rows on main.
    void branchAndMain(const QList<const char*>& branchRows, const QList<const char*>& mainRows)
    {
        ASSERT_EQ(git({"checkout", "-q", "-b", "feature"}), 0);
        writeTags(branchRows);
        commitAll("feature");
        ASSERT_EQ(git({"checkout", "-q", "main"}), 0);
        writeTags(mainRows);
        commitAll("main");
    }

    QTemporaryDir dir;
};

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(GitRepository, SetupTellsWhatItDidOnceAndChangesNothingTheSecondTime)
{
    QString config;
    ASSERT_EQ(git({"config", "--local", "--list"}, &config), 0);
    const QString executable = QFileInfo(QStringLiteral(QUOR_EXECUTABLE)).canonicalFilePath();
    EXPECT_TRUE(config.contains(
        QStringLiteral("diff.qts.textconv=sh -c '\"$0\" --export-csv \"$1\" 2>/dev/null || cat \"$1\"' ") +
        executable + QLatin1Char('\n')))
        << qPrintable(config);
    EXPECT_TRUE(config.contains(QStringLiteral("merge.qts.driver=") + executable +
                                QStringLiteral(" --merge %O %A %B\n")))
        << qPrintable(config);
    const QByteArray attributes = readBytes(path(QStringLiteral(".gitattributes")));
    const QByteArray configBytes = readBytes(path(QStringLiteral(".git/config")));

    const GitRunOutcome again = program({QStringLiteral("--git-setup"), dir.path()});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.contains(QStringLiteral("already set up"))) << qPrintable(again.out);
    EXPECT_EQ(readBytes(path(QStringLiteral(".gitattributes"))), attributes);
    EXPECT_EQ(readBytes(path(QStringLiteral(".git/config"))), configBytes);
    EXPECT_EQ(attributes, "*.qts diff=qts merge=qts\n");

    EXPECT_EQ(program({QStringLiteral("--git-setup"), QDir::rootPath()}).exitCode, 2);
    EXPECT_EQ(program({QStringLiteral("--merge"), QStringLiteral("gone.qts"), QStringLiteral("tags.qts"),
                       QStringLiteral("tags.qts")})
                  .exitCode,
              2);
}

TEST_F(GitRepository, BranchesThatEachAddTagsMergeCleanlyAndDiffsShowCsvRows)
{
    branchAndMain({"Motor,I1", "Fan,I4", "Pump,I2", "Valve,I3"},
                  {"Motor,I1", "Pump,I2", "Valve,I9", "Lamp,I5"});
    ASSERT_EQ(git({"merge", "-q", "--no-edit", "feature"}), 0);

    QString error;
    const std::optional<TagFileContent> merged = readTagFileContent(path(QStringLiteral("tags.qts")), error);
    ASSERT_TRUE(merged) << qPrintable(error);
    QStringList rows;
    const TagGridModel& table = merged->document->table();
    for (qint32 row = 1; row < table.Rows(); ++row)
        rows.append(table.TextMatrix(row, 1) + QLatin1Char(',') + table.TextMatrix(row, 2));
    EXPECT_EQ(rows,
              (QStringList{QStringLiteral("Motor,I1"), QStringLiteral("Fan,I4"), QStringLiteral("Pump,I2"),
                           QStringLiteral("Valve,I9"), QStringLiteral("Lamp,I5")}));

    QString diff;
    ASSERT_EQ(git({"diff", "main~1", "main", "--", "tags.qts"}, &diff), 0);
    EXPECT_TRUE(diff.contains(QStringLiteral("\n+Fan,I4,,,,,,,,"))) << qPrintable(diff);
    EXPECT_FALSE(diff.contains(QStringLiteral("Tag2="))) << qPrintable(diff);
}

TEST_F(GitRepository, DifferentChangesOfOneTagEndInAConflictThatCheckReportsByLine)
{
    branchAndMain({"Motor,I1", "Pump,I7", "Valve,I3"}, {"Motor,I1", "Pump,I8", "Valve,I3"});
    EXPECT_NE(git({"merge", "-q", "--no-edit", "feature"}), 0);

    const GitRunOutcome check = program({QStringLiteral("--check"), QStringLiteral("tags.qts")});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out,
              QStringLiteral("tags.qts: conflict markers of an unfinished merge at lines 8 to 12; the "
                             "file does not open\n"));
    // While the conflict is resolved, the diff shows the half-merged file as it is.
    QString diff;
    EXPECT_EQ(git({"diff"}, &diff), 0);
    EXPECT_TRUE(diff.contains(QStringLiteral("<<<<<<< ours"))) << qPrintable(diff);
    EXPECT_TRUE(readBytes(path(QStringLiteral("tags.qts")))
                    .contains("Tag1=Motor,I1,,,,,,,,\r\n<<<<<<< ours\r\nTag2=Pump,I8,,,,,,,,\r\n=======\r\n"
                              "Tag2=Pump,I7,,,,,,,,\r\n>>>>>>> theirs\r\n"));
}
