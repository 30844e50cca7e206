#include "tests/storage/ProfileTestFiles.h"
#include "tests/storage/StorageWindowFixture.h"

#include <optional>

using ProfileTestFiles::ScopedEnvironment;

namespace {

// A tag setting file written by a Windows program in its code page, by hand, byte for byte.
struct LegacyFile
{
    const char* name;
    const char* codePageVariable; // QUOR_ANSI_CODEPAGE (nullptr: unset)
    const char* language;         // LANG, with LC_ALL and LC_CTYPE unset
    QByteArray rows;              // the Tag1 and Tag2 lines
    QStringList shown;            // Tag Name and Var Name of row 1, then of row 2
    QString unheld;               // a character the code page cannot hold
};

void PrintTo(const LegacyFile& param, std::ostream* out)
{
    *out << param.name;
}

const LegacyFile kFiles[] = {
    // The locale chooses code page 932; the second row's option holds a character that would be
    // written back as other bytes and bytes that are no character at all.
    {"JapaneseLocaleCodePage932",
     nullptr,
     "ja_JP.UTF-8",
     "Tag1=\x83\x5E\x83\x4F\x31,\x95\xCF\x90\x94\x31,,,,,,,,\r\n"
     "Tag2=\x89\xB7\x93\x78,\x82\x6F\x82\x6B\x82\x62\x82\x50\x81\x44\x89\xB7\x93\x78,\x87\x90\xFD,,,,,,,\r\n",
     {QStringLiteral("タグ1"), QStringLiteral("変数1"), QStringLiteral("温度"),
      QStringLiteral("ＰＬＣ１．温度")},
     QStringLiteral("\u00E9")},
    {"ConfiguredCodePage1252",
     "CP1252",
     "en_US.UTF-8",
     "Tag1=Caf\xE9,Temp\xE9rature,,,,,,,,\r\n"
     "Tag2=Gr\xFC\xDF"
     "e,Z\xE4hler.Wert,,,,,,,,\r\n",
     {QStringLiteral("Caf\u00E9"), QStringLiteral("Temp\u00E9rature"),
      QStringLiteral("Gr\u00FC\u00DF"
                     "e"),
      QStringLiteral("Z\u00E4hler.Wert")},
     QStringLiteral("温")},
};

class TagFileInCodePage : public StorageWindow, public ::testing::WithParamInterface<LegacyFile>
{
protected:
    void SetUp() override
    {
        StorageWindow::SetUp();
        m_environment.emplace(std::initializer_list<std::pair<const char*, const char*>>{
            {"QUOR_ANSI_CODEPAGE", GetParam().codePageVariable},
            {"LANG", GetParam().language},
            {"LC_ALL", nullptr},
            {"LC_CTYPE", nullptr}});
        writeBytes(m_path, m_bytes);
        loadWindow();
        // The connection the file was made with, so that a save writes the same keys.
        connectQuor(QStringLiteral("PLC1"));
        dialogs.chooseFileNext(m_path);
        window->FileOpen();
        dialogs.clear();
    }

    std::optional<ScopedEnvironment> m_environment;
    const QString m_path = appPath(QStringLiteral("legacy.qts"));
    const QByteArray m_bytes =
        "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=QuorProv.Sim.Ethernet\r\n"
        "Machine=\r\nOption=\r\n" +
        GetParam().rows + "TagDataCnt=2\r\n";
};

TEST_P(TagFileInCodePage, OpensWithItsNamesShownAndAPlainSaveKeepsEveryByte)
{
    const QList<QStringList> rows = tableRows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ((QStringList{rows[0][1], rows[0][2], rows[1][1], rows[1][2]}), GetParam().shown);

    EXPECT_TRUE(window->FileSave(false));
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(bytesOf(m_path), m_bytes);
    expectWriterWritesWhatTheWindowSaved(m_path, m_bytes);
}

TEST_P(TagFileInCodePage, ANameTheCodePageCannotHoldRefusesTheSaveAndKeepsTheFile)
{
    const QString name = QStringLiteral("T") + GetParam().unheld;
    window->grdItems->setTextMatrix(2, 1, name);
    EXPECT_FALSE(window->FileSave(false));
    ASSERT_EQ(dialogs.shown().size(), 1);
    const QString warning = dialogs.shown().at(0).text;
    EXPECT_TRUE(
        warning.startsWith(QStringLiteral("The tag [%1] in row 2 cannot be saved: its column \"Tag Name\" "
                                          "holds \"%2\", which this file's character encoding (")
                               .arg(name, GetParam().unheld)))
        << warning.toStdString();
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(bytesOf(m_path), m_bytes);
    EXPECT_TRUE(window->changed());
    EXPECT_EQ(window->document().filePath(), m_path);
}

TEST_P(TagFileInCodePage, AVariableAddedThatTheCodePageCannotHoldRefusesTheSaveAndKeepsTheFile)
{
    const QString variable = QStringLiteral("V") + GetParam().unheld;
    setComboText(window->cmbVars, variable);
    window->cmdAddItem->click();
    ASSERT_EQ(window->grdItems->Rows(), 4);
    const QString tag = window->grdItems->TextMatrix(3, 1);
    EXPECT_FALSE(window->FileSave(false));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().at(0).startsWith(
        QStringLiteral("The tag [%1] in row 3 cannot be saved: its column \"Var Name\" holds \"%2\"")
            .arg(tag, GetParam().unheld)))
        << dialogs.texts().at(0).toStdString();
    EXPECT_EQ(bytesOf(m_path), m_bytes);
}

// The refusal advises what works: Save As under the name of no file yet writes UTF-8, while
// Save As over another file of the code page fails as the plain Save did.
TEST_P(TagFileInCodePage, TheRefusalAdvisesASaveAsToANewFileWhichWritesUtf8)
{
    const QString name = QStringLiteral("T") + GetParam().unheld;
    window->grdItems->setTextMatrix(2, 1, name);
    EXPECT_FALSE(window->FileSave(false));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().at(0).endsWith(
        QStringLiteral("cannot store. Change the text, or use Save As and give the name of a file that "
                       "does not exist yet: a new file is written in UTF-8.")))
        << dialogs.texts().at(0).toStdString();

    const QString other = appPath(QStringLiteral("other-legacy.qts"));
    writeBytes(other, m_bytes);
    dialogs.clear();
    dialogs.chooseFileNext(other);
    EXPECT_FALSE(window->FileSave(true));
    EXPECT_EQ(dialogs.texts().size(), 1);
    EXPECT_EQ(bytesOf(other), m_bytes);

    // No file holds bytes that are no character: the 932 file's option goes first.
    window->grdItems->setTextMatrix(2, 3, QString());
    const QString fresh = appPath(QStringLiteral("fresh.qts"));
    dialogs.clear();
    dialogs.chooseFileNext(fresh);
    EXPECT_TRUE(window->FileSave(true));
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_TRUE(bytesOf(fresh).contains(("Tag2=" + name + QLatin1Char(',')).toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(Files, TagFileInCodePage, ::testing::ValuesIn(kFiles),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

} // namespace
