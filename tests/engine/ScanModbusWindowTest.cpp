#include "app/ScanModbusDialog.h"
#include "tests/engine/ConnectFixture.h"
#include "tests/engine/ModbusTestSupport.h"
#include "tests/support/WaitFor.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>

// The Tools menu: scanning a device into a register map, choosing a map for the option field,
// and the status bar's word on what a Modbus provider's fields take.
namespace {

int rowNamed(const QTableWidget& results, const QString& name)
{
    for (int row = 0; row < results.rowCount(); ++row) {
        if (results.item(row, ScanModbusDialog::ColName)->text() == name)
            return row;
    }
    ADD_FAILURE() << "no row " << name.toStdString();
    return 0;
}

class ToolsMenu : public ConnectFixture
{
protected:
    void SetUp() override
    {
        ConnectFixture::SetUp();
        state.ReleaseEngine();
        QString reason;
        state.objEngine = CreateEngine(&reason);
        ASSERT_NE(state.objEngine, nullptr) << reason.toStdString();
        state.objWorkspace = state.objEngine->Workspaces()->Item(0);
    }

    // The plug-ins for the window's engine and for the scanner.
    const ScopedEnv m_plugins{"QUOR_ENGINE", modbusPluginPath()};
};

TEST_F(ToolsMenu, ScansADeviceAndSavesTheChosenAddressesAsAMapTheProviderReads)
{
    LocalDevice local(
        "Name,Table,Address,Type\nA,holding,10,uint16\nB,holding,11,uint16\nC,holding,13,uint16\n",
        QString());
    frmMain& w = openWindow();
    QStringList menus;
    for (const QAction* menu : w.menuBar()->actions())
        menus.append(menu->text());
    EXPECT_EQ(menus.last(), QStringLiteral("&Tools"));
    w.mnuToolsScanModbus->trigger();
    auto* scan = w.findChild<ScanModbusDialog*>();
    ASSERT_NE(scan, nullptr);
    EXPECT_FALSE(scan->isModal());
    scan->txtTarget->setText(local.machine());
    for (QCheckBox* table : scan->chkTables)
        table->setChecked(table == scan->chkTables.last());
    scan->spnLast->setValue(20);
    scan->spnRate->setValue(0);
    scan->cmdStart->click();
    WAIT_TRUE(scan->cmdStart->isEnabled());
    QStringList served;
    QStringList missing;
    for (int row = 0; row < scan->grdResults->rowCount(); ++row) {
        if (scan->grdResults->item(row, ScanModbusDialog::ColStatus)->text() == QLatin1String("served"))
            served.append(scan->grdResults->item(row, ScanModbusDialog::ColName)->text());
        else
            missing.append(scan->grdResults->item(row, ScanModbusDialog::ColAddress)->text() +
                           QLatin1Char(' ') +
                           scan->grdResults->item(row, ScanModbusDialog::ColStatus)->text());
    }
    // Neighbouring addresses that answered alike share a row.
    missing.sort();
    EXPECT_EQ(missing, (QStringList{QStringLiteral("0-9 exception 02 (Illegal data address)"),
                                    QStringLiteral("12 exception 02 (Illegal data address)"),
                                    QStringLiteral("14-20 exception 02 (Illegal data address)")}));
    EXPECT_EQ(served, (QStringList{QStringLiteral("HR10"), QStringLiteral("HR11"), QStringLiteral("HR13")}));
    EXPECT_TRUE(scan->lblProgress->text().startsWith(QStringLiteral("Done: ")))
        << scan->lblProgress->text().toStdString();

    // A slow scan stops when asked, saying how far it came.
    scan->spnLast->setValue(9999);
    scan->spnRate->setValue(5);
    scan->cmdStart->click();
    EXPECT_FALSE(scan->cmdStart->isEnabled());
    scan->cmdStop->click();
    WAIT_TRUE(scan->cmdStart->isEnabled());
    EXPECT_TRUE(scan->lblProgress->text().startsWith(QStringLiteral("Stopped after ")))
        << scan->lblProgress->text().toStdString();
    scan->spnLast->setValue(20);
    scan->spnRate->setValue(0);
    scan->cmdStart->click();
    WAIT_TRUE(scan->cmdStart->isEnabled());

    scan->cmdIdentify->click();
    WAIT_TRUE(scan->cmdIdentify->isEnabled());
    EXPECT_EQ(scan->lblIdentity->text(),
              QStringLiteral("Vendor: QuorTagEditor demo    Product: quor-modbus-device    Revision: 1.0"));

    // One chosen, renamed and typed anew.
    const int first = rowNamed(*scan->grdResults, QStringLiteral("HR10"));
    const int second = rowNamed(*scan->grdResults, QStringLiteral("HR11"));
    scan->grdResults->item(first, ScanModbusDialog::ColName)->setText(QStringLiteral("Speed"));
    scan->grdResults->item(first, ScanModbusDialog::ColType)->setText(QStringLiteral("int32"));
    scan->grdResults->selectRow(first);
    const QString path = appPath(QStringLiteral("scanned.csv"));
    dialogs.chooseFileNext(path);
    scan->cmdSaveMap->click();
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const modbus::RegisterMap map = modbus::parseRegisterMap(saved.readAll(), path);
    ASSERT_EQ(map.size(), 1);
    EXPECT_EQ(std::tie(map.at(0).name, map.at(0).address, map.at(0).count),
              std::make_tuple(QStringLiteral("Speed"), quint16(10), quint16(2)));

    // A name that the map would refuse is said before any file is asked for.
    scan->grdResults->item(second, ScanModbusDialog::ColName)->setText(QStringLiteral("Speed"));
    scan->grdResults->selectAll();
    scan->cmdSaveMap->click();
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("The name 'Speed' of HR11 is already the name of HR10.")});
    EXPECT_EQ(dialogs.fileRequests().size(), 1);
}

TEST_F(ToolsMenu, ChoosingAMapWritesItsPieceAndTheStatusBarSaysWhatTheFieldsTake)
{
    frmMain& w = openWindow();
    choose(w.cmbProvs, w.cmbProvs->findText(QStringLiteral("QuorProv.ModbusTCP")));
    EXPECT_EQ(w.stbrMain->currentMessage(),
              QStringLiteral("Machine: host[:port]   Option: Map=<file>,Unit=<id>,Timeout=<ms>"));
    w.txtOption->setText(QStringLiteral("Unit=2,map=old.csv,Timeout=500"));
    // Beside the tag file, the map is named relative to it.
    w.document().setFilePath(appPath(QStringLiteral("press.qts")));
    dialogs.chooseFileNext(appPath(QStringLiteral("maps/press.csv")));
    w.mnuToolsChooseMap->trigger();
    EXPECT_EQ(w.txtOption->text(), QStringLiteral("Unit=2,Map=maps/press.csv,Timeout=500"));
    w.txtOption->clear();
    dialogs.chooseFileNext(QStringLiteral("/srv/maps/line.csv"));
    w.mnuToolsChooseMap->trigger();
    EXPECT_EQ(w.txtOption->text(), QStringLiteral("Map=/srv/maps/line.csv"));
}

// A tag file with its map beside it connects, whatever folder the editor was started in.
TEST_F(ToolsMenu, ARelativeMapBesideTheOpenedTagFileIsFound)
{
    const QByteArray map = "Name,Table,Address,Type\nMode,holding,2,uint16\n";
    LocalDevice local(map, QString());
    QFile mapFile(appPath(QStringLiteral("line.csv")));
    QFile tagFile(appPath(QStringLiteral("line.qts")));
    ASSERT_TRUE(mapFile.open(QIODevice::WriteOnly) && mapFile.write(map) == map.size());
    mapFile.close();
    const QByteArray tags =
        QStringLiteral("[QuorTagSetting]\r\nType=1\r\nController=Line\r\nProvider=QuorProv."
                       "ModbusTCP\r\nMachine=%1\r\nOption=Map=line.csv\r\nTagDataCnt=0\r\n")
            .arg(local.machine())
            .toUtf8();
    ASSERT_TRUE(tagFile.open(QIODevice::WriteOnly) && tagFile.write(tags) == tags.size());
    tagFile.close();
    ASSERT_FALSE(QFile::exists(QStringLiteral("line.csv"))) << "the working folder holds a map of that name";
    frmMain& w = openWindow();
    dialogs.chooseFileNext(tagFile.fileName());
    w.mnuFileItem[1]->trigger();
    ASSERT_EQ(w.document().filePath(), tagFile.fileName())
        << dialogs.texts().join(QLatin1Char('|')).toStdString();
    // Opening a file with its connection counts as a change, which connecting offers to save.
    dialogs.clear();
    dialogs.answerNext(MsgAnswer::No);
    click(w.chkConnQUOR);
    ::waitForEngine(w);
    EXPECT_EQ(dialogs.shown().size(), 1) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    expectBoxOn(w.chkConnQUOR);
    EXPECT_EQ(entries(w.cmbVars), QStringList{QStringLiteral("Mode")});
}

} // namespace
