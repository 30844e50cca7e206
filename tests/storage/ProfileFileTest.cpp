#include "storage/PrivateProfile.h"
#include "tests/storage/ProfileTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace PrivateProfile;
using ProfileTestFiles::readFile;
using ProfileTestFiles::writeFile;

namespace {

QByteArray get(const QString& path, const QByteArray& section, const QByteArray& key)
{
    QByteArray buffer;
    GetPrivateProfileStringA(section, key, "def", buffer, 199999, path);
    return buffer.left(buffer.indexOf('\0'));
}

bool flush(const QString& path)
{
    return WritePrivateProfileStringA(std::nullopt, std::nullopt, std::nullopt, path);
}

class ProfileFile : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("file.ini"));
};

TEST_F(ProfileFile, FileChangedByAnotherProgramIsReadAnew)
{
    writeFile(m_path, "[S]\r\nk=1\r\n");
    EXPECT_EQ(get(m_path, "S", "k"), "1");
    writeFile(m_path, "[S]\r\nk=22\r\n");
    EXPECT_EQ(get(m_path, "S", "k"), "22");
    writeFile(m_path, "[S]\r\nk=33\r\n"); // same size, later time
    EXPECT_EQ(get(m_path, "S", "k"), "33");
    // Replaced by renaming another file over it.
    const QString other = m_dir.filePath(QStringLiteral("other.ini"));
    writeFile(other, "[S]\r\nk=44\r\n");
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(m_path).constData()), 0);
    EXPECT_EQ(get(m_path, "S", "k"), "44");
    QFile::remove(m_path);
    EXPECT_EQ(get(m_path, "S", "k"), "def");
}

TEST_F(ProfileFile, WritesWaitForTheFlushAndAreNotLostToAnotherProgram)
{
    writeFile(m_path, "[S]\r\nk=1\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("S", "mine", "2", m_path));
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=1\r\n");
    writeFile(m_path, "[S]\r\nk=theirs\r\n");
    EXPECT_EQ(get(m_path, "S", "mine"), "2");
    EXPECT_TRUE(flush(m_path));
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=1\r\nmine=2\r\n");
    // Once written, the next change on disk is read again.
    writeFile(m_path, "[S]\r\nk=later\r\n");
    EXPECT_EQ(get(m_path, "S", "k"), "later");
}

TEST_F(ProfileFile, FlushWithoutChangesWritesNothing)
{
    EXPECT_TRUE(flush(m_path));
    EXPECT_FALSE(QFile::exists(m_path));
    EXPECT_EQ(get(m_path, "S", "k"), "def");
    EXPECT_TRUE(flush(m_path));
    EXPECT_FALSE(QFile::exists(m_path));
    EXPECT_FALSE(flush(QString()));
}

TEST_F(ProfileFile, FlushIntoPathBelowARegularFileFails)
{
    const QString notAFolder = m_dir.filePath(QStringLiteral("plain.txt"));
    writeFile(notAFolder, "plain");
    const QString path = notAFolder + QStringLiteral("/settings.ini");
    EXPECT_EQ(get(path, "S", "k"), "def");
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", path));
    EXPECT_FALSE(flush(path));
    EXPECT_EQ(readFile(notAFolder), "plain");
    // The change stays for another try and still reads back.
    EXPECT_EQ(get(path, "S", "k"), "v");
    EXPECT_FALSE(flush(path));
}

TEST_F(ProfileFile, FlushOverAFolderFailsAndKeepsTheChangeForAnotherTry)
{
    ASSERT_TRUE(QDir().mkdir(m_path));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", m_path));
    EXPECT_FALSE(flush(m_path));
    EXPECT_TRUE(QFileInfo(m_path).isDir());
    ASSERT_TRUE(QDir().rmdir(m_path));
    EXPECT_TRUE(flush(m_path));
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=v\r\n");
}

// A flush that fails for every user, root included.
TEST_F(ProfileFile, FlushThatCannotCreateItsTemporaryFileFailsAndLeavesTheFile)
{
    // The longest name a folder takes leaves no room for the temporary file's longer one.
    const QString path = m_dir.filePath(QString(251, QLatin1Char('n')) + QStringLiteral(".ini"));
    writeFile(path, "[S]\r\nk=1\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "2", path));
    EXPECT_FALSE(flush(path));
    EXPECT_EQ(readFile(path), "[S]\r\nk=1\r\n");
    EXPECT_EQ(get(path, "S", "k"), "2"); // kept for another try
}

TEST_F(ProfileFile, PipeInPlaceOfTheFileIsNeverReplaced)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);
    EXPECT_EQ(get(m_path, "S", "k"), "def");
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", m_path));
    EXPECT_TRUE(flush(m_path));
    EXPECT_EQ(QFileInfo(m_path).isFile(), false);
    EXPECT_TRUE(QFileInfo::exists(m_path));
}

TEST_F(ProfileFile, RelativeNamesAreRelativeToTheCurrentFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", QStringLiteral("relative.ini")));
    EXPECT_TRUE(flush(QStringLiteral("./relative.ini")));
    QDir::setCurrent(previous);
    EXPECT_EQ(readFile(m_dir.filePath(QStringLiteral("relative.ini"))), "[S]\r\nk=v\r\n");
}

} // namespace
