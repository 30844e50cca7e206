#include "tests/storage/StorageWindowFixture.h"

#include <QAction>
#include <QMenu>

namespace {

const QByteArray kHeader = "Tag Name,Var Name,Var Opt,A,B,C,D,E,F,G\r\n";

class CsvExchange : public StorageWindow
{
protected:
    void SetUp() override
    {
        StorageWindow::SetUp();
        loadWindow();
        addRow({QStringLiteral("Motor"), QStringLiteral("I1")});
        addRow({QStringLiteral("Pump"), QStringLiteral("I2")});
        window->setChanged(false);
        csv = appPath(QStringLiteral("t.csv"));
    }

    void import(const QByteArray& bytes)
    {
        writeBytes(csv, bytes);
        dialogs.chooseFileNext(csv);
        window->mnuFileImportCsv->trigger();
    }

    QString csv;
};

struct Refusal
{
    const char* name;
    QByteArray rows;
    QString message;
};

class CsvImportRefused : public CsvExchange, public ::testing::WithParamInterface<Refusal>
{
};

} // namespace

TEST_F(CsvExchange, ItemsFollowSaveAsAndTheFileItemsKeepTheirIndexes)
{
    const QList<QAction*> items = window->mnuFile->actions();
    const qsizetype saveAs = items.indexOf(window->mnuFileItem[4]);
    EXPECT_TRUE(items.at(saveAs + 1)->isSeparator());
    EXPECT_EQ(items.at(saveAs + 2), window->mnuFileImportCsv);
    EXPECT_EQ(items.at(saveAs + 3), window->mnuFileExportCsv);
    EXPECT_EQ(items.at(saveAs + 4), window->mnuFileItem[5]);
    EXPECT_EQ(items.last(), window->mnuFileItem[6]);
    EXPECT_EQ(window->mnuFileItem[6]->objectName(), QStringLiteral("mnuFileItem_6"));
}

TEST_F(CsvExchange, ExportThenImportAppendsTheSameRowsAfterTheNewCommand)
{
    addRow({QStringLiteral("Fan"), QStringLiteral("I3"), QStringLiteral("a,b"), QStringLiteral("\"q\""),
            QString(), QString(), QString(), QString(), QString(), QStringLiteral("Größe")});
    const QList<QStringList> before = tableRows();
    dialogs.chooseFileNext(csv);
    window->mnuFileExportCsv->trigger();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.fileRequests().last().defaultSuffix, QStringLiteral("csv"));

    window->mnuFileItem[0]->trigger();
    ASSERT_EQ(window->grdItems->Rows(), 1);
    // The comma is refused at import as it would be at the save; without it the rows come back.
    QByteArray bytes = bytesOf(csv);
    bytes.replace("\"a,b\"", "ab");
    import(bytes);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    QList<QStringList> expected = before;
    expected[2][3] = QStringLiteral("ab");
    EXPECT_EQ(tableRows(), expected);
    EXPECT_TRUE(window->changed());
}

TEST_P(CsvImportRefused, ChangesNothingAndNamesTheLineAndTheRule)
{
    import(kHeader + "Fan,I3\r\n" + GetParam().rows);
    EXPECT_EQ(dialogs.texts(), QStringList{GetParam().message});
    EXPECT_EQ(dialogs.shown().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(window->grdItems->Rows(), 3);
    EXPECT_FALSE(window->changed());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CsvImportRefused,
    ::testing::Values(
        Refusal{"DuplicateOfATableRow", "MOTOR,I9\r\n",
                QStringLiteral("Nothing was imported. Line 3 of the CSV file: [MOTOR] is a duplicate.")},
        Refusal{"DuplicateWithinTheFile", "Valve,I4\r\nvalve,I5\r\n",
                QStringLiteral("Nothing was imported. Line 4 of the CSV file: [valve] is a duplicate.")},
        Refusal{
            "ForbiddenCharacter", "Valve:1,I4\r\n",
            QStringLiteral("Nothing was imported. Line 3 of the CSV file: This character \": \" cannot be "
                           "used as a TagName.")},
        Refusal{"LineBreakInAVariableName", "Valve,\"I\n4\"\r\n",
                QStringLiteral("Nothing was imported. Line 3 of the CSV file: The variable name cannot be "
                               "added: it holds a line break, which a tag cannot keep.")},
        Refusal{"TabInAVariableOption", "Valve,I4,\"a\tb\"\r\n",
                QStringLiteral("Nothing was imported. Line 3 of the CSV file: The variable option cannot be "
                               "added: it holds a tab character, which a tag cannot keep.")},
        Refusal{
            "CellTheFileCannotStore", "Valve,I4,\"a,b\"\r\n",
            QStringLiteral("Nothing was imported. Line 3 of the CSV file: The tag [Valve] in row 4 cannot "
                           "be saved: its column \"Var Opt\" holds a comma (\",\"), which a tag setting file "
                           "cannot store. Remove the comma and save again.")},
        Refusal{
            "RowLongerThanAFileHolds", "Valve,I4,," + QByteArray(200000, 'x') + "\r\n",
            QStringLiteral("Nothing was imported. Line 3 of the CSV file: The tag [Valve] in row 4 cannot "
                           "be saved: its column \"A\" makes the row 200,016 bytes long, and a tag "
                           "setting file holds at most 199,998 bytes in a row. Shorten the text and save "
                           "again.")},
        Refusal{"NulInAVariableName", QByteArray("Valve,I") + '\0' + "4\r\n",
                QStringLiteral("Nothing was imported. Line 3 of the CSV file: The variable name cannot be "
                               "added: it holds a NUL character, which a tag cannot keep.")},
        Refusal{
            "NulInAnotherColumn", QByteArray("Valve,I4,,a") + '\0' + "\r\n",
            QStringLiteral("Nothing was imported. Line 3 of the CSV file: The tag [Valve] in row 4 cannot "
                           "be saved: its column \"A\" holds a NUL character, which a tag setting "
                           "file cannot store. Remove it and save again.")},
        Refusal{
            "UnclosedQuote", "Valve,\"I4\r\n",
            QStringLiteral("Nothing was imported. Line 3 of the CSV file: a quoted field is not closed.")}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });
