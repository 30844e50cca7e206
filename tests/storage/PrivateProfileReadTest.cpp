#include "storage/PrivateProfile.h"
#include "tests/storage/ProfileTestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

using namespace PrivateProfile;
using ProfileTestFiles::bytes;
using ProfileTestFiles::writeFile;

namespace {

constexpr quint32 kSize = 199999;

class PrivateProfileRead : public ::testing::Test
{
protected:
    // The text the call leaves in the buffer up to the first NUL; the count in m_count.
    QByteArray get(const Text& section, const Text& key, const Text& defaultText = QByteArray("def"),
                   quint32 size = kSize)
    {
        m_buffer.clear();
        m_count = GetPrivateProfileStringA(section, key, defaultText, m_buffer, size, m_path);
        return m_buffer.left(m_buffer.indexOf('\0'));
    }
    // The first m_count bytes of the buffer, as lists are read.
    QByteArray list() const { return m_buffer.left(m_count); }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("read.ini"));
    QByteArray m_buffer;
    quint32 m_count = 0;
};

// The same hand-written file with each kind of line end.
class HandWrittenFile : public PrivateProfileRead, public ::testing::WithParamInterface<const char*>
{
protected:
    void SetUp() override
    {
        const QByteArray lines[] = {"; leading comment",
                                    "[  Sec  ]",
                                    "  key1  =  value 1  ",
                                    "\tkey2\t=\tvalue2\t",
                                    "Key 3=v",
                                    "empty=",
                                    "blank=   ",
                                    "d=\"double\"",
                                    "s='single'",
                                    "sp=\" spaced \"",
                                    "un=\"unbalanced",
                                    "mid=a\"b\"c",
                                    ";k1=commented",
                                    "k3=v3 ; inline",
                                    "bare",
                                    "   ",
                                    "[Other]",
                                    "key1=other",
                                    "[sec]",
                                    "only=in-second",
                                    "[f]trailing text",
                                    "x=1"};
        QByteArray content;
        for (const QByteArray& line : lines)
            content += line + GetParam();
        content.chop(qstrlen(GetParam())); // no line end after the last line
        writeFile(m_path, content);
    }
};

TEST_P(HandWrittenFile, NamesAndValuesReadWithoutBlanksQuotesOrLetterCase)
{
    EXPECT_EQ(get("sec", "KEY1"), "value 1");
    EXPECT_EQ(m_count, 7u);
    EXPECT_EQ(get(" Sec\t", " key2 "), "value2");
    EXPECT_EQ(get("SEC", "key 3"), "v");
    EXPECT_EQ(get("Other", "key1"), "other");
    EXPECT_EQ(get("f", "x"), "1");
    EXPECT_EQ(get("Sec", "d"), "double");
    EXPECT_EQ(get("Sec", "s"), "single");
    EXPECT_EQ(get("Sec", "sp"), " spaced ");
    EXPECT_EQ(get("Sec", "un"), "\"unbalanced");
    EXPECT_EQ(get("Sec", "mid"), "a\"b\"c");
}

TEST_P(HandWrittenFile, PresentEmptyValueWinsOverTheDefault)
{
    EXPECT_EQ(get("Sec", "empty"), "");
    EXPECT_EQ(m_count, 0u);
    EXPECT_EQ(get("Sec", "blank"), "");
    EXPECT_EQ(m_count, 0u);
    EXPECT_EQ(GetPrivateProfileIntA("Sec", "empty", 5, m_path), 5);
}

TEST_P(HandWrittenFile, MissingSectionKeyOrEqualsSignGivesTheDefault)
{
    EXPECT_EQ(get("Sec", "missing"), "def");
    EXPECT_EQ(m_count, 3u);
    EXPECT_EQ(get("Nowhere", "key1"), "def");
    EXPECT_EQ(get("Sec", "bare"), "def");
    EXPECT_EQ(GetPrivateProfileIntA("Sec", "bare", 7, m_path), 7);
    EXPECT_EQ(get("Sec", "missing", std::nullopt), "");
    EXPECT_EQ(m_count, 0u);
    // Only the first of two sections of the same name is searched.
    EXPECT_EQ(get("Sec", "only"), "def");
}

TEST_P(HandWrittenFile, CommentLikeLinesAreKeysForLookUpButNotListed)
{
    EXPECT_EQ(get("Sec", ";k1"), "commented");
    EXPECT_EQ(get("Sec", "k1"), "def");
    EXPECT_EQ(get("Sec", "k3"), "v3 ; inline");
    get("Sec", std::nullopt);
    EXPECT_EQ(list(), bytes("key1\0key2\0Key 3\0empty\0blank\0d\0s\0sp\0un\0mid\0k3\0"));
}

TEST_P(HandWrittenFile, SectionsListedInFileOrderWithDuplicates)
{
    get(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(m_count, 16u);
    EXPECT_EQ(m_buffer, bytes("Sec\0Other\0sec\0f\0\0"));
}

INSTANTIATE_TEST_SUITE_P(LineEnds, HandWrittenFile, ::testing::Values("\r\n", "\n", "\r"));

TEST_F(PrivateProfileRead, SectionListLayout)
{
    writeFile(m_path,
              "k0=v0\r\n[b]\r\n[A]\r\nx=1\r\n[ c ]\r\n[a]\r\n[]\r\nz=3\r\n[  d  e  ]\r\n[h\r\n;[hidden]\r\n");
    get(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(m_count, 13u);
    EXPECT_EQ(m_buffer, bytes("b\0A\0c\0a\0d  e\0\0"));
    // A list cut short keeps size - 2 characters and ends in two NULs.
    get(std::nullopt, std::nullopt, std::nullopt, 8);
    EXPECT_EQ(m_count, 6u);
    EXPECT_EQ(m_buffer, bytes("b\0A\0c\0\0\0"));
    // Lines before the first section belong to the section without a name.
    EXPECT_EQ(get("", "k0"), "v0");
    // The key name is ignored when the section is absent.
    EXPECT_EQ(get(std::nullopt, "x"), "b");
    EXPECT_EQ(m_count, 13u);
}

TEST_F(PrivateProfileRead, FileWithoutSectionsListsNothing)
{
    get(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(m_count, 0u);
    EXPECT_EQ(m_buffer, bytes("\0"));
    writeFile(m_path, "only=keys\r\n; and a comment\r\n");
    get(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(m_count, 0u);
    EXPECT_EQ(get("S", "k"), "def");
}

TEST_F(PrivateProfileRead, KeyListAndItsDefault)
{
    writeFile(m_path, "[App]\r\nk=v\r\nname2=\r\n[Empty]\r\n");
    get("app", std::nullopt, std::nullopt);
    EXPECT_EQ(m_count, 8u);
    EXPECT_EQ(m_buffer, bytes("k\0name2\0\0"));
    EXPECT_EQ(get("Empty", std::nullopt), "def");
    EXPECT_EQ(get("Missing", std::nullopt), "def");
    // An integer read of a list reads its first name.
    EXPECT_EQ(GetPrivateProfileIntA("App", std::nullopt, 9, m_path), 0);
}

TEST_F(PrivateProfileRead, ValuesAreCutToTheBuffer)
{
    writeFile(m_path, "[S]\r\nk=val1\r\n");
    EXPECT_EQ(get("S", "k", {}, 4), "val");
    EXPECT_EQ(m_count, 3u);
    EXPECT_EQ(get("S", "k", {}, 5), "val1");
    EXPECT_EQ(get("S", "k", {}, 1), "");
    EXPECT_EQ(m_count, 0u);
}

TEST_F(PrivateProfileRead, LongValueComesBackCutTo199998Bytes)
{
    for (const int length : {199997, 199998, 199999, 250000}) {
        const QString path = m_dir.filePath(QStringLiteral("long%1.ini").arg(length));
        QByteArray value(length, 'a');
        if (length > 199997)
            value[199997] = 'z'; // the last byte that fits
        writeFile(path, "[S]\r\nk=" + value + "\r\nnext=1\r\n");
        QByteArray buffer;
        const quint32 count = GetPrivateProfileStringA("S", "k", "def", buffer, kSize, path);
        EXPECT_EQ(count, quint32(qMin(length, 199998))) << length;
        EXPECT_EQ(buffer.left(buffer.indexOf('\0')), value.left(199998)) << length;
        EXPECT_EQ(GetPrivateProfileIntA("S", "next", 0, path), 1);
    }
}

TEST_F(PrivateProfileRead, DefaultLosesTrailingBlanksAndEnclosingQuotes)
{
    EXPECT_EQ(get("S", "k", "default  "), "default");
    EXPECT_EQ(m_count, 7u);
    EXPECT_EQ(get("S", "k", "  default"), "  default");
    EXPECT_EQ(get("S", "k", "\"quoted\""), "quoted");
}

TEST_F(PrivateProfileRead, EmptyFileNameReadsAsMissingFile)
{
    QByteArray buffer;
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "def", buffer, kSize, QString()), 3u);
    EXPECT_EQ(GetPrivateProfileIntA("S", "k", 4, QString()), 4);
}

TEST_F(PrivateProfileRead, ByteOrderMarks)
{
    writeFile(m_path, "\xEF\xBB\xBF[S]\r\nk=v\r\nu=\xC3\xA4\r\n");
    get(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(m_buffer, bytes("S\0\0"));
    EXPECT_EQ(get("S", "u"), "\xC3\xA4");

    const QString utf16 = m_dir.filePath(QStringLiteral("utf16.ini"));
    writeFile(utf16, bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0"));
    QByteArray buffer;
    GetPrivateProfileStringA("s", "K", "def", buffer, kSize, utf16);
    EXPECT_EQ(buffer, bytes("\xC3\xA4\0"));
}

struct IntCase
{
    const char* value;
    qint32 expected;
};

TEST_F(PrivateProfileRead, IntegerReading)
{
    const IntCase cases[] = {
        {"12abc", 12},
        {" 42", 42},
        {"-7", -7},
        {"+1", 1},
        {"\t9", 9},
        {"abc", 0},
        {"1.5", 1},
        {"- 5", 0},
        {"\"15\"", 15},
        {"010", 10},
        {"0x10", 16},
        {"0X1f", 0},
        {"0x1F", 31},
        {"0xffffffff", -1},
        {"0x1g", 1},
        {"0x", 0},
        {"-0x10", -16},
        {"0b101", 5},
        {"0o17", 15},
        {"4294967297", 1},
        {"2147483648", std::numeric_limits<qint32>::min()},
        {"-2147483649", 2147483647},
        {"4294967296", 0},
        {"42A94967297", 42},
    };
    QByteArray content = "[I]\r\n";
    for (int i = 0; i < int(std::size(cases)); ++i)
        content += "k" + QByteArray::number(i) + "=" + cases[i].value + "\r\n";
    writeFile(m_path, content);
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(GetPrivateProfileIntA("I", "k" + QByteArray::number(i), 99, m_path), cases[i].expected)
            << cases[i].value;
    EXPECT_EQ(GetPrivateProfileIntA("I", "missing", -1, m_path), -1);
    EXPECT_EQ(GetPrivateProfileIntA("None", "k0", 99, m_path), 99);
}

} // namespace
