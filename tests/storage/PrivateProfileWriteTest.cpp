#include "storage/PrivateProfile.h"
#include "tests/storage/ProfileTestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PrivateProfile;
using ProfileTestFiles::bytes;
using ProfileTestFiles::inodeOf;
using ProfileTestFiles::readFile;
using ProfileTestFiles::writeFile;

namespace {

class PrivateProfileWrite : public ::testing::Test
{
protected:
    bool write(const Text& section, const Text& key, const Text& value)
    {
        return WritePrivateProfileStringA(section, key, value, m_path);
    }
    bool flush() { return WritePrivateProfileStringA(std::nullopt, std::nullopt, std::nullopt, m_path); }
    QByteArray get(const Text& section, const Text& key)
    {
        QByteArray buffer;
        GetPrivateProfileStringA(section, key, "def", buffer, 199999, m_path);
        return buffer.left(buffer.indexOf('\0'));
    }
    // The file as it is on disk after a flush.
    QByteArray flushed()
    {
        EXPECT_TRUE(flush());
        return readFile(m_path);
    }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("write.ini"));
};

TEST_F(PrivateProfileWrite, NewFileIsPlainSectionAndKeyLinesInCrLf)
{
    EXPECT_TRUE(write("S1", "k1", "v1"));
    EXPECT_TRUE(write("S1", "k2", "v2"));
    EXPECT_TRUE(write("S2", "a", "1"));
    EXPECT_TRUE(write("S1", "k3", "v3"));
    EXPECT_TRUE(write("S3", "empty", ""));
    EXPECT_TRUE(write("  S4  ", "  spaced key  ", "  spaced value  "));
    EXPECT_EQ(flushed(), "[S1]\r\nk1=v1\r\nk2=v2\r\nk3=v3\r\n[S2]\r\na=1\r\n[S3]\r\nempty=\r\n"
                         "[S4]\r\nspaced key=spaced value  \r\n");
    EXPECT_EQ(get("S4", "spaced key"), "spaced value");
}

TEST_F(PrivateProfileWrite, WritesIntoHandWrittenFileKeepOtherLinesInPlace)
{
    writeFile(m_path, "; top\n[Main]\n; comment\n  Alpha = 1\nBeta=2\nbare\n; end of Main\n\n\n"
                      "[Other]\r\nAlpha=9\r\n[Last]\r\nx=1");
    EXPECT_TRUE(write("MAIN", "alpha", "uno"));   // replaced in its line, spelling kept
    EXPECT_TRUE(write("Main", "Gamma", "3"));     // after the last non-blank line of Main
    EXPECT_TRUE(write("Main", "BARE", "filled")); // a name without '=' is filled in
    EXPECT_TRUE(write("Last", "y", "2"));         // file without a final line end
    EXPECT_TRUE(write("New", "n", "1"));          // new section at the end
    EXPECT_EQ(flushed(),
              "; top\r\n[Main]\r\n; comment\r\nAlpha=uno\r\nBeta=2\r\nbare=filled\r\n; end of Main\r\n"
              "Gamma=3\r\n\r\n\r\n[Other]\r\nAlpha=9\r\n[Last]\r\nx=1\r\ny=2\r\n[New]\r\nn=1\r\n");
    EXPECT_EQ(get("Other", "Alpha"), "9");
}

TEST_F(PrivateProfileWrite, UnchangedValueDoesNotRewriteTheFile)
{
    writeFile(m_path, "[S]\nk=v\n");
    const quint64 before = inodeOf(m_path);
    EXPECT_TRUE(write("s", "K", "v"));
    EXPECT_EQ(flushed(), "[S]\nk=v\n");
    EXPECT_EQ(inodeOf(m_path), before);
}

TEST_F(PrivateProfileWrite, KeyAndSectionRemoval)
{
    writeFile(m_path, "; top\r\n[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
                      "[App2]\r\n; about App2\r\nkey4=string4\r\n\r\n[App3]\r\nkey5=string5\r\n");
    EXPECT_TRUE(write("App1", "key2", std::nullopt));
    EXPECT_TRUE(write("app1", "KEY3", std::nullopt));
    EXPECT_TRUE(write("App1", "nokey", std::nullopt));
    EXPECT_TRUE(write("NoApp", "key1", std::nullopt));
    EXPECT_TRUE(write("App2", std::nullopt, "ignored"));
    EXPECT_TRUE(write("NoApp", std::nullopt, std::nullopt));
    EXPECT_EQ(flushed(), "; top\r\n[App1]\r\nkey1=string1\r\n[App3]\r\nkey5=string5\r\n");

    // The header of a section whose last key goes stays.
    EXPECT_TRUE(write("App1", "key1", std::nullopt));
    EXPECT_TRUE(write("App3", std::nullopt, std::nullopt));
    EXPECT_EQ(flushed(), "; top\r\n[App1]\r\n");
    EXPECT_EQ(get("App1", std::nullopt), "def");

    // Removing the lines before the first section.
    EXPECT_TRUE(write("", std::nullopt, std::nullopt));
    EXPECT_EQ(flushed(), "[App1]\r\n");
}

TEST_F(PrivateProfileWrite, DuplicateKeysAndSectionsUseTheFirst)
{
    writeFile(m_path, "[S]\r\nk=first\r\nK=second\r\n[T]\r\nt=1\r\n[s]\r\nk=third\r\nu=only-in-second\r\n");
    EXPECT_EQ(get("S", "k"), "first");
    EXPECT_TRUE(write("S", "k", "new"));
    EXPECT_TRUE(write("s", "n", "added"));
    EXPECT_EQ(flushed(),
              "[S]\r\nk=new\r\nK=second\r\nn=added\r\n[T]\r\nt=1\r\n[s]\r\nk=third\r\nu=only-in-second\r\n");
    EXPECT_TRUE(write("S", "k", std::nullopt));
    EXPECT_EQ(get("S", "k"), "second");
    // A key found only in the second section of the name is removed there.
    EXPECT_TRUE(write("S", "u", std::nullopt));
    EXPECT_TRUE(write("S", std::nullopt, std::nullopt));
    EXPECT_EQ(flushed(), "[T]\r\nt=1\r\n[s]\r\nk=third\r\n");
    EXPECT_EQ(get("S", "k"), "third");
}

TEST_F(PrivateProfileWrite, ManyKeysRemovedAndAddedAgainKeepTheirOrder)
{
    for (int i = 0; i < 200; ++i)
        write("S", "k" + QByteArray::number(i), QByteArray::number(i));
    for (int i = 0; i < 200; ++i) {
        if (i % 4 != 3) {
            EXPECT_TRUE(write("S", "K" + QByteArray::number(i), std::nullopt));
        }
    }
    write("S", "k0", "again");
    write("S", "k3", "three");
    const QByteArray file = flushed();
    EXPECT_TRUE(file.startsWith("[S]\r\nk3=three\r\nk7=7\r\n"));
    EXPECT_TRUE(file.endsWith("k199=199\r\nk0=again\r\n"));
    EXPECT_EQ(file.count('\n'), 1 + 50 + 1);
    EXPECT_EQ(get("S", "k2"), "def");
    EXPECT_EQ(get("S", "k195"), "195");
}

TEST_F(PrivateProfileWrite, ByteOrderMarkAndUtf16AreKept)
{
    writeFile(m_path, "\xEF\xBB\xBF[S]\r\nk=v\r\n");
    EXPECT_TRUE(write("S", "n", "\xC3\xA4"));
    EXPECT_EQ(flushed(), "\xEF\xBB\xBF[S]\r\nk=v\r\nn=\xC3\xA4\r\n");

    const QString utf16 = m_dir.filePath(QStringLiteral("utf16.ini"));
    writeFile(utf16, bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "n", "1", utf16));
    EXPECT_TRUE(WritePrivateProfileStringA(std::nullopt, std::nullopt, std::nullopt, utf16));
    EXPECT_EQ(readFile(utf16), bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0n\0=\0"
                                     "1\0\r\0\n\0"));
}

TEST_F(PrivateProfileWrite, WritesThatWouldChangeTheFileStructureAreRefused)
{
    const QByteArray original = "[S]\r\nk=v\r\n";
    writeFile(m_path, original);
    const QByteArray nul = bytes("a\0b");
    EXPECT_FALSE(write("S", "ml", "line1\r\n[Injected]\r\nz=1"));
    EXPECT_FALSE(write("S", "k", "a\nb"));
    EXPECT_FALSE(write("S", "k", "a\rb"));
    EXPECT_FALSE(write("S", "k", nul));
    EXPECT_FALSE(write("S", "k", "0123456789abcdef\n"));
    EXPECT_FALSE(write("S", "k", "0123456789\rabcdef"));
    EXPECT_FALSE(write("S", "k", bytes("0123456789abcdef\0")));
    EXPECT_FALSE(write("S", "k\n", "v"));
    EXPECT_FALSE(write("S", nul, "v"));
    EXPECT_FALSE(write("S\r\nT", "k", "v"));
    EXPECT_FALSE(write(nul, std::nullopt, std::nullopt));
    EXPECT_FALSE(write("S", "k=x", "v"));      // would read back as key k
    EXPECT_FALSE(write("S", " [T] ", "v"));    // would read back as a section header
    EXPECT_FALSE(write("S", "[T", "v]"));      // so would the line "[T=v]"
    EXPECT_FALSE(write("S", "k", "\x80\xFF")); // not UTF-8: the file would no longer read as UTF-8
    EXPECT_FALSE(write(std::nullopt, "k", "v"));
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", QString()));
    EXPECT_EQ(flushed(), original);
    EXPECT_EQ(get("S", "k"), "v");

    // Values may hold any other character.
    EXPECT_TRUE(write("S", "k", "a=b [x] ;c \t\"d\""));
    EXPECT_TRUE(write("S", "t", "\x01\x02\x0B\x0C\x0E\x7F\xC3\xA4 and more than eight bytes"));
    EXPECT_TRUE(write("S", "[u", "v")); // a key line "[u=v" holds no ']'

    EXPECT_TRUE(write("Sec]x", "k", "v"));
    EXPECT_EQ(
        flushed(),
        "[S]\r\nk=a=b [x] ;c \t\"d\"\r\nt=\x01\x02\x0B\x0C\x0E\x7F\xC3\xA4 and more than eight bytes\r\n"
        "[u=v\r\n[Sec]x]\r\nk=v\r\n");
    EXPECT_EQ(get("S", "k"), "a=b [x] ;c \t\"d\"");
    EXPECT_EQ(get("Sec]x", "k"), "v");
}

TEST_F(PrivateProfileWrite, RemovalFromMissingFileLeavesAnEmptyFile)
{
    EXPECT_TRUE(write("App", "k", std::nullopt));
    EXPECT_TRUE(write("App", std::nullopt, std::nullopt));
    EXPECT_EQ(flushed(), "");
    EXPECT_TRUE(QFile::exists(m_path));
}

TEST_F(PrivateProfileWrite, LongValuesAreStoredWhole)
{
    const QByteArray value(250000, 'a');
    EXPECT_TRUE(write("S", "k", value));
    EXPECT_EQ(flushed(), "[S]\r\nk=" + value + "\r\n");
    EXPECT_EQ(get("S", "k").size(), 199998);
}

} // namespace
