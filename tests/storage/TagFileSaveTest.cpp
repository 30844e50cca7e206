#include "storage/clsProfile.h"
#include "tests/storage/StorageWindowFixture.h"

#include <QAction>
#include <QDir>

namespace {

const QString kFailedToSave = QStringLiteral("Failed to save the qts file.");
const QString kNothingToSave = QStringLiteral("There is no content to be saved.");

class TagFileSave : public StorageWindow
{
protected:
    void SetUp() override
    {
        StorageWindow::SetUp();
        loadWindow();
    }

    // Save As through the menu, the dialog answering `path`.
    void saveAs(const QString& path)
    {
        dialogs.chooseFileNext(path);
        window->mnuFileItem[4]->trigger();
    }
};

} // namespace

TEST_F(TagFileSave, SmallFileHasItsKeysInOrderWithCrLfLines)
{
    connectQuor(QStringLiteral("PLC1"), kSimProvider, QStringLiteral("host1"), QStringLiteral("Retry=2"));
    addRow({QStringLiteral("Speed"), QStringLiteral("I1")});
    addRow({QStringLiteral("Temp"), QStringLiteral("I2"), QStringLiteral("x"), QStringLiteral("a"),
            QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e"),
            QStringLiteral("f"), QStringLiteral("g")});
    const QString path = appPath(QStringLiteral("small.qts"));
    saveAs(path);

    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(bytesOf(path), QByteArray("[QuorTagSetting]\r\n"
                                        "Type=1\r\n"
                                        "Controller=PLC1\r\n"
                                        "Provider=QuorProv.Sim.Ethernet\r\n"
                                        "Machine=host1\r\n"
                                        "Option=Retry=2\r\n"
                                        "Tag1=Speed,I1,,,,,,,,\r\n"
                                        "Tag2=Temp,I2,x,a,b,c,d,e,f,g\r\n"
                                        "TagDataCnt=2\r\n"));
    EXPECT_FALSE(window->changed());
    EXPECT_EQ(window->document().filePath(), path);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -") + path);
    expectWriterWritesWhatTheWindowSaved(path, std::nullopt);
}

struct OldFile
{
    const char* name;
    QByteArray bytes;
};

void PrintTo(const OldFile& file, std::ostream* out)
{
    *out << file.name;
}

class TagFileSaveOver : public TagFileSave, public ::testing::WithParamInterface<OldFile>
{
};

// Whatever the old file holds, the saved one holds exactly the section written.
TEST_P(TagFileSaveOver, AnEmptyTableKeepsOnlyTheTagSection)
{
    const QString path = appPath(QStringLiteral("other.qts"));
    writeBytes(path, GetParam().bytes);
    connectQuor(QStringLiteral("PLC1"));
    // The keys come from the remembered connection, not from what the fields show now.
    disconnect();
    setComboText(window->cmbCtrl, QStringLiteral("Typed"));
    window->document().setFilePath(path);

    EXPECT_TRUE(window->FileSave(false));
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
    EXPECT_EQ(bytesOf(path), QByteArray("[QuorTagSetting]\r\n"
                                        "Type=1\r\n"
                                        "Controller=PLC1\r\n"
                                        "Provider=QuorProv.Sim.Ethernet\r\n"
                                        "Machine=\r\n"
                                        "Option=\r\n"
                                        "TagDataCnt=0\r\n"));
    expectWriterWritesWhatTheWindowSaved(path, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TagFileSaveOver,
    ::testing::Values(
        OldFile{"OtherSections",
                "[First]\r\nA=1\r\n[QuorTagSetting]\r\nTag7=x,,,,,,,,,\r\nTagDataCnt=7\r\n[Last]\r\nB=2\r\n"},
        OldFile{"LinesBeforeTheFirstSectionAndANulInAName",
                QByteArray("before=1\r\n; note\r\n[a\0b]\r\nk=v\r\n[QuorTagSetting]\r\nType=2\r\n", 56)},
        OldFile{"NamesThatAreNoTextEmptyOrBlank",
                "[\xFF\xFE]\r\nk=v\r\n[]\r\nz=1\r\n[  ]\r\n[open\r\ny=2\r\n"}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(TagFileSave, ConnectionTextsAReadWouldChangeAreQuotedAndComeBackExactly)
{
    connectQuor(QStringLiteral("PLC1"));
    clsCtrlParameter& recent = *state.settings.colRecent.Item(1);
    recent.m_strControllerName = QStringLiteral("'Q'");
    recent.m_strProviderName = QStringLiteral(" QuorProv.Sim.Ethernet");
    recent.m_strMachineName = QStringLiteral("\"m\"");
    recent.m_strOptionVal = QStringLiteral("Retry=2\t");
    const QString path = appPath(QStringLiteral("quoted.qts"));
    saveAs(path);
    EXPECT_EQ(bytesOf(path), QByteArray("[QuorTagSetting]\r\nType=1\r\nController=\"'Q'\"\r\n"
                                        "Provider=\" QuorProv.Sim.Ethernet\"\r\nMachine=\"\"m\"\"\r\n"
                                        "Option=\"Retry=2\t\"\r\nTagDataCnt=0\r\n"));
    expectWriterWritesWhatTheWindowSaved(path, std::nullopt);

    disconnect();
    ASSERT_TRUE(window->ReadTagFile(path));
    EXPECT_EQ(window->cmbCtrl->currentText(), recent.m_strControllerName);
    EXPECT_EQ(window->txtMachine->text(), recent.m_strMachineName);
    EXPECT_EQ(window->txtOption->text(), recent.m_strOptionVal);
    clsProfile reader;
    reader.setFileName(path);
    EXPECT_EQ(reader.GetString(QStringLiteral("QuorTagSetting"), QStringLiteral("Provider")),
              recent.m_strProviderName);
}

TEST_F(TagFileSave, FileDialogRequestsGoThroughTheSeam)
{
    connectQuor(QStringLiteral("PLC1"));
    window->mnuFileItem[4]->trigger();
    dialogs.answerNext(MsgAnswer::No);
    window->mnuFileItem[1]->trigger();

    ASSERT_EQ(dialogs.fileRequests().size(), 2);
    const FileDialogRequest save = dialogs.fileRequests().at(0);
    const FileDialogRequest open = dialogs.fileRequests().at(1);
    EXPECT_TRUE(save.save);
    EXPECT_FALSE(open.save);
    for (const FileDialogRequest& request : {save, open}) {
        EXPECT_EQ(QDir(request.initialDirectory), QDir(appDir.path()));
        EXPECT_EQ(request.fileName, QString());
        EXPECT_EQ(request.filter, QStringLiteral("QTS ファイル (*.qts)|*.qts"));
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("qts"));
    }
    EXPECT_EQ(save.flags, 2654214u);
    EXPECT_EQ(save.flags, OfnFlags::OverwritePrompt | OfnFlags::HideReadOnly | OfnFlags::NoReadOnlyReturn |
                              OfnFlags::Explorer | OfnFlags::LongNames);
    EXPECT_EQ(open.flags, 2621444u);
    EXPECT_EQ(open.flags & OfnFlags::FileMustExist, 0u);
}

TEST_F(TagFileSave, CancelledDialogsChangeNothing)
{
    connectQuor(QStringLiteral("PLC1"));
    addRow({QStringLiteral("Speed"), QStringLiteral("I1")});
    const QList<QStringList> rows = tableRows();

    window->mnuFileItem[4]->trigger();
    window->mnuFileItem[3]->trigger();
    dialogs.answerNext(MsgAnswer::No);
    window->mnuFileItem[1]->trigger();

    EXPECT_EQ(dialogs.fileRequests().size(), 3);
    // Only the unsaved-change question before Open.
    EXPECT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(window->changed());
    EXPECT_EQ(window->document().filePath(), QString());
    EXPECT_EQ(tableRows(), rows);
    EXPECT_EQ(QDir(appDir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(TagFileSave, ControllerMustBeGivenBeforeTheDialog)
{
    connectQuor(QStringLiteral("PLC1"));
    disconnect();
    setComboText(window->cmbCtrl, QString());
    EXPECT_FALSE(window->FileSave(true));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, QStringLiteral("[Controller] is no input."));
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());

    // Not asked for the TULO way, nor for a plain Save to the current file.
    window->optProvider[1]->setChecked(true);
    window->FileSave(true);
    EXPECT_EQ(dialogs.fileRequests().size(), 1);
    window->optProvider[0]->setChecked(true);
    window->document().setFilePath(appPath(QStringLiteral("current.qts")));
    EXPECT_TRUE(window->FileSave(false));
    EXPECT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_TRUE(QFile::exists(window->document().filePath()));
}

TEST_F(TagFileSave, NothingToSaveIsNotASave)
{
    const QString path = appPath(QStringLiteral("kept.qts"));
    const QByteArray old = "[QuorTagSetting]\r\nType=2\r\nOption=x\r\nTagDataCnt=0\r\n";
    writeBytes(path, old);
    window->document().setFilePath(path);
    window->setChanged(true);

    EXPECT_FALSE(window->FileSave(false));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, kNothingToSave);
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_TRUE(window->changed());

    // So closing still asks; answering Yes saves nothing and keeps the window open.
    window->show();
    dialogs.clear();
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.chooseFileNext(path);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(
        dialogs.texts(),
        (QStringList{
            QStringLiteral("Settings have been changed. Are you sure you want to save the current settings?"),
            kNothingToSave}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(bytesOf(path), old);

    // Nor does a name chosen for it become the table's file.
    dialogs.clear();
    saveAs(appPath(QStringLiteral("new.qts")));
    EXPECT_EQ(dialogs.texts(), QStringList{kNothingToSave});
    EXPECT_EQ(window->document().filePath(), path);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -") + path);
    EXPECT_FALSE(QFile::exists(appPath(QStringLiteral("new.qts"))));
}

TEST_F(TagFileSave, AFileThatCannotBeWrittenIsReportedAndKeepsTheChangeFlag)
{
    connectQuor(QStringLiteral("PLC1"));
    addRow({QStringLiteral("Speed"), QStringLiteral("I1")});
    // A folder stands where the file would go, so the file cannot be put in its place.
    const QString blocked = appPath(QStringLiteral("blocked.qts"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    saveAs(blocked);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, kFailedToSave);
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Critical);
    EXPECT_TRUE(window->changed());
    EXPECT_EQ(window->document().filePath(), blocked);
    EXPECT_TRUE(QFileInfo(blocked).isDir());

    const QString missingFolder = appPath(QStringLiteral("missing/new.qts"));
    dialogs.clear();
    saveAs(missingFolder);
    EXPECT_EQ(dialogs.texts(), QStringList{kFailedToSave});
    EXPECT_TRUE(window->changed());
    EXPECT_FALSE(QFile::exists(missingFolder));
}

TEST_F(TagFileSave, TextThatCannotBeWrittenIsRefusedWithItsReasonAndLeavesTheOldFile)
{
    const QString path = appPath(QStringLiteral("old.qts"));
    const QByteArray old = "; mine\r\n[Notes]\r\nA=1\r\n[QuorTagSetting]\r\nType=1\r\nTagDataCnt=0\r\n";
    writeBytes(path, old);
    connectQuor(QStringLiteral("PLC1"));
    for (int i = 1; i <= 5; ++i)
        addRow({QStringLiteral("T%1").arg(i), QStringLiteral("V%1").arg(i)});
    window->document().setFilePath(path);
    const auto refusedWith = [&](const QString& message) {
        dialogs.clear();
        EXPECT_FALSE(window->FileSave(false));
        EXPECT_EQ(dialogs.texts(), QStringList{message});
        EXPECT_EQ(bytesOf(path), old);
        EXPECT_TRUE(window->changed());
    };

    // Neither a line break nor a NUL can be stored in a line.
    window->grdItems->setTextMatrix(4, 6, QStringLiteral("two\nlines"));
    refusedWith(QStringLiteral("The tag [T4] in row 4 cannot be saved: its column \"C\" holds a line break, "
                               "which a tag setting file cannot store. Remove it and save again."));
    window->grdItems->setTextMatrix(4, 6, QString());
    state.settings.colRecent.Item(1)->m_strMachineName = QStringLiteral("m") + QChar(u'\0');
    refusedWith(QStringLiteral("The connection cannot be saved: its \"Machine\" text holds a NUL character, "
                               "which a tag setting file cannot store. Connect again with other settings."));
}

TEST_F(TagFileSave, CellsTheFileCannotGiveBackStopTheSaveBeforeAnything)
{
    const QString path = appPath(QStringLiteral("kept.qts"));
    const QByteArray old = "[QuorTagSetting]\r\nType=3\r\nTagDataCnt=0\r\n";
    writeBytes(path, old);
    connectQuor(QStringLiteral("PLC1"));
    addRow({QStringLiteral("Speed"), QStringLiteral("I1")});
    addRow({QStringLiteral("Temp"), QStringLiteral("I2"), QStringLiteral("Scale=1,5")});
    window->document().setFilePath(path);

    for (const bool saveAs : {false, true}) {
        dialogs.clear();
        EXPECT_FALSE(window->FileSave(saveAs));
        ASSERT_EQ(dialogs.shown().size(), 1);
        EXPECT_EQ(dialogs.shown().at(0).text,
                  QStringLiteral(
                      "The tag [Temp] in row 2 cannot be saved: its column \"Var Opt\" holds a comma "
                      "(\",\"), which a tag setting file cannot store. Remove the comma and save again."));
        EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
        EXPECT_TRUE(dialogs.fileRequests().isEmpty());
        EXPECT_EQ(bytesOf(path), old);
        EXPECT_TRUE(window->changed());
    }

    // A tag name with a blank in front would come back without it.
    window->grdItems->setTextMatrix(2, 3, QString());
    window->grdItems->setTextMatrix(1, 1, QStringLiteral(" Speed"));
    dialogs.clear();
    EXPECT_FALSE(window->FileSave(false));
    EXPECT_EQ(dialogs.texts(),
              QStringList{
                  QStringLiteral("The tag [ Speed] in row 1 cannot be saved: its column \"Tag Name\" begins "
                                 "with a blank, which a tag setting file does not keep. Remove the blank "
                                 "and save again.")});
    EXPECT_EQ(bytesOf(path), old);
}

TEST_F(TagFileSave, MoreThan32767TagsSaveAndOpen)
{
    connectQuor(QStringLiteral("PLC1"));
    constexpr qint32 kTags = 32800;
    GridControl& grid = *window->grdItems;
    for (qint32 row = 1; row <= kTags; ++row)
        grid.AddItem(QStringLiteral("%1\tTag%1\tV%1\t").arg(row));
    const QString path = appPath(QStringLiteral("big.qts"));
    saveAs(path);
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_FALSE(window->changed());
    expectWriterWritesWhatTheWindowSaved(path, std::nullopt);

    window->ClearTagSetting();
    ASSERT_EQ(grid.Rows(), 1);
    dialogs.chooseFileNext(path);
    window->mnuFileItem[1]->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList());
    ASSERT_EQ(grid.Rows(), kTags + 1);
    EXPECT_EQ(grid.TextMatrix(kTags, 0), QString::number(kTags));
    EXPECT_EQ(grid.TextMatrix(kTags, 1), QStringLiteral("Tag32800"));
    EXPECT_EQ(grid.TextMatrix(32768, 2), QStringLiteral("V32768"));
}
