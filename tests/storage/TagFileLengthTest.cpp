#include "tests/storage/StorageWindowFixture.h"

namespace {

const QString kTooLong = QStringLiteral(
    "The tag [Long] in row 1 cannot be saved: its column \"Var Name\" makes the row 200,003 bytes "
    "long, and a tag setting file holds at most 199,998 bytes in a row. Shorten the text and save "
    "again.");

class TagFileLength : public StorageWindow
{
protected:
    void SetUp() override
    {
        StorageWindow::SetUp();
        loadWindow();
        connectQuor(QStringLiteral("PLC1"));
        writeBytes(path, old);
    }

    // A file of one row: "Long", then a variable of `variableLength` characters.
    QByteArray fileWithRowOf(qsizetype variableLength) const
    {
        return "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=P\r\nMachine=\r\nOption=\r\n"
               "Tag1=Long," +
               QByteArray(variableLength, 'v') + ",,,,,,,,\r\nTagDataCnt=1\r\n";
    }

    const QString path = appPath(QStringLiteral("long.qts"));
    const QByteArray old = "[QuorTagSetting]\r\nType=1\r\nTagDataCnt=0\r\n";
};

} // namespace

// A row the reader would refuse is refused by the save, and by the writer alone, before the file
// is touched.
TEST_F(TagFileLength, ARowLongerThanTheReaderTakesIsNeverWritten)
{
    addRow({QStringLiteral("Long"), QString(199990, QLatin1Char('v'))});
    window->document().setFilePath(path);
    EXPECT_FALSE(window->FileSave(false));
    EXPECT_EQ(dialogs.texts(), QStringList{kTooLong});
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_EQ(window->document().filePath(), path);

    const TagFileWriteResult result = TagFileWriter::write(window->document(), path);
    EXPECT_EQ(result.outcome, TagFileWriteResult::Outcome::Refused);
    EXPECT_EQ(result.message, kTooLong);
    EXPECT_EQ(bytesOf(path), old);
}

// 199,998 bytes is the longest row read; one more is refused with that reason, by the window and
// by the reader alone.
TEST_F(TagFileLength, TheReaderTakesRowsUpToTheLimitAndNamesTheLengthOfALongerOne)
{
    constexpr qsizetype kFits = 199998 - 4 - 9;
    writeBytes(path, fileWithRowOf(kFits));
    TagDocument document;
    QString error;
    EXPECT_TRUE(readTagDocument(path, document, error)) << error.toStdString();
    EXPECT_EQ(document.table().TextMatrix(1, 2).size(), kFits);
    EXPECT_TRUE(window->ReadTagFile(path));
    EXPECT_EQ(dialogs.texts(), QStringList());

    writeBytes(path, fileWithRowOf(kFits + 1));
    const QString reason = QStringLiteral("The key \"Tag1\" of the section [QuorTagSetting] holds a value of "
                                          "199,999 bytes, longer than the 199,998 bytes a tag row may hold.");
    EXPECT_FALSE(readTagDocument(path, document, error));
    EXPECT_EQ(error, reason);
    EXPECT_FALSE(window->ReadTagFile(path));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, QStringLiteral("Failed to read the file."));
    EXPECT_TRUE(dialogs.shown().at(0).details.endsWith(reason))
        << dialogs.shown().at(0).details.toStdString();
}
