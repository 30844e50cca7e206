#include "storage/clsProfile.h"
#include "platform/AppInfo.h"
#include "storage/SettingsLocation.h"
#include "tests/storage/ProfileTestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using ProfileTestFiles::inodeOf;
using ProfileTestFiles::readFile;
using ProfileTestFiles::writeFile;

namespace {

class ClsProfile : public ::testing::Test
{
protected:
    std::unique_ptr<clsProfile> open(const QString& path)
    {
        auto profile = std::make_unique<clsProfile>();
        profile->setFileName(path);
        return profile;
    }
    std::unique_ptr<clsProfile> open() { return open(m_path); }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("profile.ini"));
};

TEST_F(ClsProfile, MissingFileGivesDefaultsAndIsNotCreated)
{
    {
        auto profile = open();
        EXPECT_EQ(profile->GetString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("x")),
                  QStringLiteral("x"));
        EXPECT_TRUE(profile->GetString(QStringLiteral("S"), QStringLiteral("k")).isEmpty());
        EXPECT_EQ(profile->GetInt(QStringLiteral("S"), QStringLiteral("k"), 5), 5);
        EXPECT_EQ(profile->GetInt(QStringLiteral("S"), QStringLiteral("k")), 0);
        EXPECT_TRUE(profile->GetSectNames().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(m_path));
}

TEST_F(ClsProfile, EmptyValueReadsEmptyWhateverTheDefault)
{
    auto profile = open();
    EXPECT_TRUE(profile->WriteString(QStringLiteral("S"), QStringLiteral("empty"), QString()));
    EXPECT_TRUE(profile->WriteString(QStringLiteral("S"), QStringLiteral("blank"), QStringLiteral("")));
    EXPECT_TRUE(profile->WriteString(QStringLiteral("S"), QStringLiteral("n"), QStringLiteral("12abc")));
    EXPECT_TRUE(
        profile->GetString(QStringLiteral("S"), QStringLiteral("empty"), QStringLiteral("x")).isEmpty());
    EXPECT_TRUE(
        profile->GetString(QStringLiteral("s"), QStringLiteral("BLANK"), QStringLiteral("x")).isEmpty());
    EXPECT_EQ(profile->GetInt(QStringLiteral("S"), QStringLiteral("empty"), 7), 7);
    EXPECT_EQ(profile->GetInt(QStringLiteral("S"), QStringLiteral("n"), 7), 12);
    EXPECT_TRUE(profile->Flush());
    EXPECT_EQ(readFile(m_path), "[S]\r\nempty=\r\nblank=\r\nn=12abc\r\n");
}

TEST_F(ClsProfile, StoredFileIsExactlySectionAndKeyLinesInCrLf)
{
    {
        auto profile = open();
        profile->WriteString(QStringLiteral("Setting"), QStringLiteral("LastFile"),
                             QStringLiteral("/tmp/a b.qts"));
        profile->WriteString(QStringLiteral("Form"), QStringLiteral("Left"), QStringLiteral("120"));
        profile->WriteString(QStringLiteral("Setting"), QStringLiteral("Mode"), QStringLiteral("1"));
        profile->WriteString(QStringLiteral("Form"), QStringLiteral("Left"), QStringLiteral("240"));
        profile->WriteString(QStringLiteral("Recent"), QStringLiteral("Ctrl1"),
                             QStringLiteral("1,C1,Prov,,"));
    }
    EXPECT_EQ(readFile(m_path), "[Setting]\r\nLastFile=/tmp/a b.qts\r\nMode=1\r\n[Form]\r\nLeft=240\r\n"
                                "[Recent]\r\nCtrl1=1,C1,Prov,,\r\n");
}

TEST_F(ClsProfile, SectionNamesInFileOrderWithoutEmptyTrailingName)
{
    {
        auto profile = open();
        for (const char* name : {"A", "B", "C"})
            profile->WriteString(QString::fromLatin1(name), QStringLiteral("k"), QStringLiteral("v"));
    }
    auto profile = open();
    EXPECT_EQ(profile->GetSectNames(),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));

    writeFile(m_path, "no=sections\r\n");
    EXPECT_TRUE(open()->GetSectNames().isEmpty());
}

TEST_F(ClsProfile, DeleteSectionLeavesTheOthersAsTheyWere)
{
    writeFile(m_path, "[A]\r\na1=1\r\na2=2\r\n[B]\r\nb=3\r\n; note\r\n[C]\r\nc=4\r\n");
    {
        auto profile = open();
        EXPECT_TRUE(profile->DeleteSection(QStringLiteral("b")));
        EXPECT_EQ(profile->GetSectNames(), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
        EXPECT_EQ(profile->GetString(QStringLiteral("A"), QStringLiteral("a2")), QStringLiteral("2"));
        EXPECT_EQ(profile->GetString(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("gone")),
                  QStringLiteral("gone"));
        EXPECT_TRUE(profile->DeleteKey(QStringLiteral("A"), QStringLiteral("A1")));
        EXPECT_EQ(profile->GetString(QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("gone")),
                  QStringLiteral("gone"));
    }
    EXPECT_EQ(readFile(m_path), "[A]\r\na2=2\r\n[C]\r\nc=4\r\n");
}

TEST_F(ClsProfile, LongValueComesBackCutTo199998Bytes)
{
    QString value(250000, QLatin1Char('a'));
    value[199997] = QLatin1Char('z');
    auto profile = open();
    EXPECT_TRUE(profile->WriteString(QStringLiteral("S"), QStringLiteral("k"), value));
    const QString read = profile->GetString(QStringLiteral("S"), QStringLiteral("k"));
    EXPECT_EQ(read.size(), 199998);
    EXPECT_EQ(read, value.left(199998));
}

TEST_F(ClsProfile, TextIsUtf8AndCutAtANul)
{
    const QString text = QStringLiteral("Gr\u00FC\u00DFe \u2713 \U0001F600");
    auto profile = open();
    EXPECT_TRUE(profile->WriteString(text, text, text));
    EXPECT_EQ(profile->GetString(text, text), text);
    EXPECT_EQ(profile->GetSectNames(), QStringList{text});
    // A lone surrogate has no UTF-8 form: refused rather than written as something else.
    const QString lone(QChar(0xD800));
    EXPECT_FALSE(profile->EncodingHolds(lone));
    EXPECT_FALSE(profile->WriteString(QStringLiteral("S"), QStringLiteral("lone"), lone));

    writeFile(m_dir.filePath(QStringLiteral("nul.ini")), ProfileTestFiles::bytes("[S]\r\nk=ab\0cd\r\n"));
    profile->setFileName(m_dir.filePath(QStringLiteral("nul.ini")));
    EXPECT_EQ(profile->GetString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("ab"));
}

TEST_F(ClsProfile, LineBreaksAndNulsAreRefused)
{
    writeFile(m_path, "[S]\r\nk=v\r\n");
    {
        auto profile = open();
        EXPECT_FALSE(profile->WriteString(QStringLiteral("S"), QStringLiteral("k"),
                                          QStringLiteral("a\r\n[X]\r\ny=1")));
        EXPECT_FALSE(profile->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("a\nb")));
        EXPECT_FALSE(profile->WriteString(QStringLiteral("S\n"), QStringLiteral("k"), QStringLiteral("v")));
        EXPECT_FALSE(profile->WriteString(QStringLiteral("S"), QString(QChar(0)), QStringLiteral("v")));
        EXPECT_FALSE(profile->DeleteSection(QStringLiteral("S\r")));
        EXPECT_EQ(profile->GetString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("v"));
        EXPECT_EQ(profile->GetSectNames(), QStringList{QStringLiteral("S")});
    }
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=v\r\n");
}

TEST_F(ClsProfile, ReleaseFlushesOnceAndOnlyWhenSomethingChanged)
{
    auto writer = open();
    writer->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(QFileInfo::exists(m_path));
    writer.reset();
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=v\r\n");

    // A flushed instance has nothing left to write on release: another program's later
    // change survives it.
    writer = open();
    writer->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("w"));
    EXPECT_TRUE(writer->Flush());
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=w\r\n");
    writeFile(m_path, "[S]\r\nk=theirs\r\n");
    const quint64 inode = inodeOf(m_path);
    writer.reset();
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=theirs\r\n");

    // Reading only: the file is left alone.
    auto reader = open();
    EXPECT_EQ(reader->GetString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("theirs"));
    reader.reset();
    EXPECT_EQ(inodeOf(m_path), inode);
}

TEST_F(ClsProfile, AnInstanceReadsItsFileOnceAndTheNextSeesAnotherProgramsChange)
{
    writeFile(m_path, "[S]\r\nk=1\r\n");
    auto reader = open();
    EXPECT_EQ(reader->GetString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("1"));
    writeFile(m_path, "[S]\r\nk=2\r\n");
    EXPECT_EQ(reader->GetString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("1"));
    reader.reset();
    auto writer = open();
    EXPECT_EQ(writer->GetString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("2"));

    // Its own pending writes survive another program's change and reach the file.
    EXPECT_TRUE(writer->WriteString(QStringLiteral("S"), QStringLiteral("mine"), QStringLiteral("4")));
    writeFile(m_path, "[S]\r\nk=3\r\n");
    EXPECT_EQ(writer->GetString(QStringLiteral("S"), QStringLiteral("mine")), QStringLiteral("4"));
    writer.reset();
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=2\r\nmine=4\r\n");
    EXPECT_EQ(open()->GetString(QStringLiteral("S"), QStringLiteral("mine")), QStringLiteral("4"));
}

TEST_F(ClsProfile, FailingFlushIsReported)
{
    const QString plain = m_dir.filePath(QStringLiteral("plain.txt"));
    writeFile(plain, "plain");
    auto profile = open(plain + QStringLiteral("/profile.ini"));
    EXPECT_TRUE(profile->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_FALSE(profile->Flush());

    ASSERT_TRUE(QDir().mkdir(m_path));
    profile->setFileName(m_path);
    EXPECT_TRUE(profile->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_FALSE(profile->Flush());
    EXPECT_TRUE(QFileInfo(m_path).isDir());
    EXPECT_EQ(readFile(plain), "plain");
}

TEST_F(ClsProfile, ChangesToAnEarlierFileAreStillFlushed)
{
    const QString first = m_dir.filePath(QStringLiteral("first.ini"));
    {
        auto profile = open(first);
        profile->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("1"));
        profile->setFileName(m_path);
        EXPECT_EQ(profile->FileName(), m_path);
        profile->WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("2"));
    }
    EXPECT_EQ(readFile(first), "[S]\r\nk=1\r\n");
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=2\r\n");
}

class SettingsLocation : public ::testing::Test
{
protected:
    void TearDown() override
    {
        AppInfo::setApplicationDirectoryOverride(QString());
        if (m_hadConfigHome)
            qputenv("XDG_CONFIG_HOME", m_configHome);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QTemporaryDir m_dir;
    const bool m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray m_configHome = qgetenv("XDG_CONFIG_HOME");
};

TEST_F(SettingsLocation, BesideTheExecutableWhenItsFolderIsWritable)
{
    AppInfo::setApplicationDirectoryOverride(m_dir.path());
    const QString expected =
        m_dir.path() + QLatin1Char('/') + AppInfo::exeBaseName() + QStringLiteral(".ini");
    EXPECT_EQ(defaultSettingsFilePath(), expected);
    EXPECT_EQ(clsProfile().FileName(), expected);
}

TEST_F(SettingsLocation, InTheUserConfigurationFolderOtherwise)
{
    AppInfo::setApplicationDirectoryOverride(m_dir.filePath(QStringLiteral("no-such-folder")));
    const QString config = m_dir.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    EXPECT_EQ(defaultSettingsFilePath(),
              config + QLatin1Char('/') + AppInfo::exeBaseName() + QStringLiteral(".ini"));
    EXPECT_TRUE(QFileInfo(config).isDir());

    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(defaultSettingsFilePath(), QDir::homePath() + QStringLiteral("/.config/") +
                                             AppInfo::exeBaseName() + QStringLiteral(".ini"));
}

} // namespace
