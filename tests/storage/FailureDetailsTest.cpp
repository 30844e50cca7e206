#include "tests/storage/StorageWindowFixture.h"

#include <QAction>
#include <QDir>
#include <csignal>
#include <sys/resource.h>

// The file messages keep their texts and carry the file's name and the reason in their details.
namespace {

struct ReadCase
{
    const char* name;
    const char* bytes; // nullptr: no file at all
    const char* reason;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnreadableTagFile : public StorageWindow, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(UnreadableTagFile, NamesTheFileAndWhatCouldNotBeRead)
{
    const QString path = appPath(QStringLiteral("t.qts"));
    if (GetParam().bytes)
        writeBytes(path, GetParam().bytes);
    loadWindow();
    dialogs.chooseFileNext(path);
    window->mnuFileItem[1]->trigger();
    ASSERT_EQ(dialogs.texts(), (QStringList{QStringLiteral("Failed to read the file."),
                                            QStringLiteral("Failed to open qts file")}));
    const QString details = QStringLiteral("File: %1\n%2").arg(path, QString::fromUtf8(GetParam().reason));
    EXPECT_EQ(dialogs.shown().at(0).details, details);
    EXPECT_EQ(dialogs.shown().at(1).details, details);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableTagFile,
    ::testing::Values(
        ReadCase{"NoFile", nullptr, "The file does not exist."},
        ReadCase{"NoSection", "[Other]\r\nType=1\r\n", "The file has no section [QuorTagSetting]."},
        ReadCase{
            "TypeNotANumber", "[QuorTagSetting]\r\nType=abc\r\n",
            "The key \"Type\" of the section [QuorTagSetting] holds \"abc\", which is not a whole number."},
        ReadCase{"TagKeyMissing", "[QuorTagSetting]\r\nType=1\r\nTagDataCnt=2\r\nTag1=a,b,,,,,,,,\r\n",
                 "The key \"Tag2\" is missing from the section [QuorTagSetting]."},
        ReadCase{
            "TooFewFields", "[QuorTagSetting]\r\nType=2\r\nTagDataCnt=1\r\nTag1=a,b\r\n",
            "The key \"Tag1\" of the section [QuorTagSetting] holds \"a,b\", which is not a tag row of 10 "
            "fields."},
        // A half-merged file would read as OURS's side alone.
        ReadCase{
            "MergeConflicts",
            "[QuorTagSetting]\r\nType=1\r\n<<<<<<< ours\r\nController=A\r\n=======\r\nController=B\r\n"
            ">>>>>>> theirs\r\nTag1=a,b,,,,,,,,\r\n<<<<<<< ours\r\n=======\r\nTag2=c,d,,,,,,,,\r\n>>>>>>> "
            "theirs\r\nTagDataCnt=1\r\n",
            "The file holds the conflict markers of an unfinished merge: lines 3 to 7, lines 9 to 12."}));

class UnwritableTagFile : public StorageWindow
{
protected:
    // Saves as `path` and returns the reason of the one failure message.
    QString reasonOfFailedSave(const QString& path)
    {
        dialogs.clear();
        dialogs.chooseFileNext(path);
        window->FileSave(true);
        EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to save the qts file.")});
        EXPECT_EQ(dialogs.shown().value(0).icon, MsgIcon::Critical);
        const QString details = dialogs.shown().value(0).details;
        EXPECT_TRUE(details.startsWith(QStringLiteral("File: %1\nThe file could not be written: ").arg(path)))
            << details.toStdString();
        return details;
    }
};

TEST_F(UnwritableTagFile, TheSystemsReasonFollowsTheFileName)
{
    loadWindow();
    connectQuor(QStringLiteral("PLC1"));
    addRow({QStringLiteral("Speed"), QStringLiteral("I1")});

    const QString blocked = appPath(QStringLiteral("blocked.qts"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_TRUE(reasonOfFailedSave(blocked).endsWith(QLatin1String("Filename refers to a directory")));
    EXPECT_TRUE(reasonOfFailedSave(appPath(QStringLiteral("missing/new.qts")))
                    .endsWith(QString::fromLocal8Bit(std::strerror(ENOENT))));

    // A disk that takes no more bytes: the file size limit makes the write fail as a full disk would.
    const QString full = appPath(QStringLiteral("full.qts"));
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit tiny = previous;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const QString reason = reasonOfFailedSave(full);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(reason.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG)))) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(full));
}

TEST_F(UnwritableTagFile, AValueTheStoreRefusesIsNamed)
{
    loadWindow();
    connectQuor(QStringLiteral("PLC1"));
    state.settings.colRecent.Item(1)->m_strOptionVal = QStringLiteral("a\r\nb");
    const QString path = appPath(QStringLiteral("new.qts"));
    dialogs.chooseFileNext(path);
    window->FileSave(true);
    // Refused before the file is touched, the message naming the field.
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(
        dialogs.shown().at(0).text,
        QStringLiteral("The connection cannot be saved: its \"Option\" text holds a line break, which a "
                       "tag setting file cannot store. Connect again with other settings."));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
