#include "storage/clsProfile.h"
#include "tests/storage/ProfileTestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using ProfileTestFiles::bytes;
using ProfileTestFiles::readFile;
using ProfileTestFiles::ScopedEnvironment;
using ProfileTestFiles::writeFile;

namespace {

QString escapes(std::initializer_list<uchar> undecoded)
{
    QString text;
    for (const uchar byte : undecoded)
        text.append(QChar(char16_t(0xDC00 + byte)));
    return text;
}

struct EncodingCase
{
    const char* name;
    const char* codePage; // QUOR_ANSI_CODEPAGE; the locale is C
    QByteArray file;      // section S with the keys k1, k2, ...
    QStringList values;   // what the keys read as
    QString unheld;       // a text the file's encoding cannot hold (null: none)
};

void PrintTo(const EncodingCase& param, std::ostream* out)
{
    *out << param.name;
}

const EncodingCase kCases[] = {
    {"CodePage932",
     "CP932",
     "[S]\r\nk1=\x83\x5E\x83\x4F\x31\r\nk2=\x87\x90\r\nk3=a\x81\r\nk4=\xFD\xA0z\r\nk5=\x1A\x1C\x7F\r\n",
     // A character that would be written back as other bytes, a lead byte without its second
     // byte and bytes that are no character all travel as the bytes they are; ASCII is ASCII.
     {QStringLiteral("タグ1"), escapes({0x87, 0x90}), QStringLiteral("a") + escapes({0x81}),
      escapes({0xFD, 0xA0}) + QStringLiteral("z"), QStringLiteral("\u001A\u001C\u007F")},
     QStringLiteral("Caf\u00E9")},
    {"CodePage1252",
     "CP1252",
     "[S]\r\nk1=Caf\xE9\r\nk2=Gr\xFC\xDF"
     "e\r\n",
     {QStringLiteral("Caf\u00E9"), QStringLiteral("Gr\u00FC\u00DF"
                                                  "e")},
     QStringLiteral("日本")},
    {"UnknownCodePageNameFallsBackToTheLocale",
     "no-such-page",
     "[S]\r\nk1=Caf\xE9\r\n",
     {QStringLiteral("Caf\u00E9")},
     QStringLiteral("日本")},
    {"CodePageOnlyIconvKnows",
     "KOI8-T",
     "[S]\r\nk1=\xF0\xD2\xC9\r\n",
     {QStringLiteral("При")},
     QStringLiteral("日本")},
    {"Utf8ByteOrderMarkWithAByteThatIsNoUtf8",
     nullptr,
     "\xEF\xBB\xBF[S]\r\nk1=\xC3\xA4\xFF\r\n",
     {QStringLiteral("\u00E4") + escapes({0xFF})},
     escapes({'A'})},
    {"Utf8ValueStartingWithAByteOrderMark",
     nullptr,
     "[S]\r\nk1=\xEF\xBB\xBFx\r\n",
     {QStringLiteral("\uFEFFx")},
     QString(QChar(0xDC41))},
    {"Utf16WithALoneSurrogateAndAnOddLastByte",
     nullptr,
     bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0"
           "1\0=\0\x00\xD8\r\0\n\0Z"),
     {QString(QChar(0xD800))},
     QString()},
};

class ProfileEncoding : public ::testing::TestWithParam<EncodingCase>
{
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("encoded.ini"));
};

TEST_P(ProfileEncoding, ReadsRightAndWritesBackEveryByte)
{
    const EncodingCase& c = GetParam();
    ScopedEnvironment environment{{"QUOR_ANSI_CODEPAGE", c.codePage}, {"LC_ALL", "C"}};
    writeFile(m_path, c.file);
    {
        clsProfile profile;
        profile.setFileName(m_path);
        const auto key = [](int i) { return QStringLiteral("k%1").arg(i + 1); };
        QStringList values;
        for (int i = 0; i < c.values.size(); ++i)
            values.append(profile.GetString(QStringLiteral("S"), key(i)));
        EXPECT_EQ(values, c.values);
        if (!c.unheld.isNull()) {
            EXPECT_FALSE(profile.EncodingHolds(c.unheld));
            EXPECT_FALSE(profile.WriteString(QStringLiteral("S"), QStringLiteral("new"), c.unheld));
        }
        // Everything written again from the texts read gives the same bytes.
        EXPECT_TRUE(profile.DeleteAllSections());
        for (int i = 0; i < values.size(); ++i)
            EXPECT_TRUE(profile.WriteString(QStringLiteral("S"), key(i), values.at(i)));
        EXPECT_TRUE(profile.Flush());
    }
    EXPECT_EQ(readFile(m_path), c.file);
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileEncoding, ::testing::ValuesIn(kCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

} // namespace
