#include "tests/storage/StorageWindowFixture.h"

#include <QAction>

namespace {

// A file named on the command line opens at load as File > Open opens it.
class StartFile : public StorageWindow
{
protected:
    void SetUp() override
    {
        StorageWindow::SetUp();
        remembered = appPath(QStringLiteral("remembered.qts"));
        named = appPath(QStringLiteral("named.qts"));
        writeBytes(remembered,
                   "[QuorTagSetting]\r\nType=1\r\nController=OLD\r\nTag1=Old,V,,,,,,,,\r\nTagDataCnt=1\r\n");
        writeBytes(settingsPath(), "[Setting]\r\nPath=" + remembered.toUtf8() + "\r\n");
    }

    QString remembered;
    QString named;
};

} // namespace

TEST_F(StartFile, OpensInsteadOfTheRememberedFileWithItsPathInTheTitle)
{
    writeBytes(named,
               "[QuorTagSetting]\r\nType=1\r\nController=PLC9\r\nTag1=New,V9,,,,,,,,\r\nTagDataCnt=1\r\n");
    state.strStartFile = named;
    loadWindow();
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -") + named);
    EXPECT_EQ(window->grdItems->TextMatrix(1, 1), QStringLiteral("New"));
    EXPECT_EQ(window->cmbCtrl->currentText(), QStringLiteral("PLC9"));
    // As after Open, the opened content counts as unsaved.
    EXPECT_TRUE(window->changed());
}

TEST_F(StartFile, AFileThatCannotBeReadGivesTheOpenMessagesAndKeepsItsName)
{
    writeBytes(named, "[QuorTagSetting]\r\nType=1\r\nTagDataCnt=2\r\nTag1=A,V,,,,,,,,\r\n");
    state.strStartFile = named;
    loadWindow();
    EXPECT_EQ(dialogs.texts(), (QStringList{QStringLiteral("Failed to read the file."),
                                            QStringLiteral("Failed to open qts file")}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -") + named);
    EXPECT_FALSE(window->changed());
}

TEST_F(StartFile, InTheBrakkaRunModeAFileOfAnotherProviderIsRefusedAsOpenRefusesIt)
{
    writeBytes(named, "[QuorTagSetting]\r\nType=1\r\nProvider=QuorProv.Sim.Ethernet\r\nTagDataCnt=0\r\n");
    state.bBRAKKAMode = true;
    state.strStartFile = named;
    loadWindow();
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Failed to read the file.In order to open a file, please "
                                         "start in normal mode.")});
    EXPECT_EQ(window->grdItems->Rows(), 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -") + named);
}
