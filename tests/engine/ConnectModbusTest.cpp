#include "tests/engine/ConnectFixture.h"
#include "tests/engine/ModbusTestSupport.h"

#include "engine/EngineCallRunner.h"

#include <QFile>

// The QUOR way end to end with the Modbus provider, the simulation engine loaded beside it.
namespace {

const QString kPressMap = QStringLiteral(QUOR_SOURCE_DIR "/examples/press.csv");
// The device of scripts/modbus-demo.sh: no die cushion, two die temperature sensors.
const QString kDemoAbsent = QStringLiteral("holding:40-43,input:12");

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class ConnectModbus : public ConnectFixture
{
protected:
    void SetUp() override
    {
        ConnectFixture::SetUp();
        state.ReleaseEngine();
        const ScopedEnv plugins("QUOR_ENGINE", simPluginPath() + QLatin1Char(':') + modbusPluginPath());
        QString reason;
        state.objEngine = CreateEngine(&reason);
        ASSERT_NE(state.objEngine, nullptr) << reason.toStdString();
        state.objWorkspace = state.objEngine->Workspaces()->Item(0);
    }

    void connectModbus(frmMain& w, const QString& machine, const QString& option)
    {
        fillModbusFields(w, machine, option);
        click(w.chkConnQUOR);
    }

    void fillModbusFields(frmMain& w, const QString& machine, const QString& option,
                          const QString& providerName = QStringLiteral("QuorProv.ModbusTCP"))
    {
        const int provider = w.cmbProvs->findText(providerName);
        ASSERT_GE(provider, 0);
        EXPECT_GE(w.cmbProvs->findText(QStringLiteral("QuorProv.Sim.Ethernet")), 0);
        w.cmbCtrl->setEditText(QStringLiteral("Press1"));
        click(w.optProvider[0]);
        choose(w.cmbProvs, provider);
        w.txtMachine->setText(machine);
        w.txtOption->setText(option);
    }

    void addTag(frmMain& w, const QString& variable)
    {
        const int index = w.cmbVars->findText(variable);
        ASSERT_GE(index, 0) << variable.toStdString();
        choose(w.cmbVars, index);
        click(w.cmdAddItem);
    }
};

TEST_F(ConnectModbus, ListsWhatTheDeviceServesAndSavesANormalTagFile)
{
    LocalDevice local(contentsOf(kPressMap), kDemoAbsent);
    frmMain& w = openWindow();
    const QString option = QStringLiteral("Map=") + kPressMap;
    connectModbus(w, local.machine(), option);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    expectBoxOn(w.chkConnQUOR);
    EXPECT_EQ(
        entries(w.cmbVars),
        (QStringList{"Ram.Position", "Ram.Speed", "Ram.Setpoint", "Stroke.Counter", "Recipe.Number",
                     "Alarm.Code", "Press.Force", "Oil.Temp", "Oil.Pressure", "Die.Temp[1]", "Die.Temp[2]",
                     "Pump.Running", "Lube.On", "Light.Curtain", "Guard.Closed", "Emergency.Stop"}));

    addTag(w, QStringLiteral("Ram.Position"));
    addTag(w, QStringLiteral("Die.Temp[2]"));
    const QString path = appPath(QStringLiteral("press.qts"));
    dialogs.chooseFileNext(path);
    w.mnuFileItem[4]->trigger();
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(contentsOf(path), QStringLiteral("[QuorTagSetting]\r\n"
                                               "Type=1\r\n"
                                               "Controller=Press1\r\n"
                                               "Provider=QuorProv.ModbusTCP\r\n"
                                               "Machine=%1\r\n"
                                               "Option=%2\r\n"
                                               "Tag1=Tag1,Ram.Position,,,,,,,,\r\n"
                                               "Tag2=Tag2,Die.Temp[2],,,,,,,,\r\n"
                                               "TagDataCnt=2\r\n")
                                    .arg(local.machine(), option)
                                    .toUtf8());
}

// The demo device on a pseudo-terminal, as scripts/modbus-demo.sh --rtu starts it.
TEST_F(ConnectModbus, ListsWhatTheDeviceServesOverASerialLine)
{
    LocalDevice local(contentsOf(kPressMap), kDemoAbsent, 1, true);
    frmMain& w = openWindow();
    fillModbusFields(w, local.device.serialPort(), QStringLiteral("Map=") + kPressMap,
                     QStringLiteral("QuorProv.ModbusRTU"));
    click(w.chkConnQUOR);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    expectBoxOn(w.chkConnQUOR);
    EXPECT_EQ(entries(w.cmbVars).size(), 16);
    EXPECT_EQ(entries(w.cmbVars).value(15), QStringLiteral("Emergency.Stop"));
}

TEST_F(ConnectModbus, NothingListeningFailsToAddController)
{
    const RefusingPort refusing;
    frmMain& w = openWindow();
    connectModbus(w, refusing.machine(), QStringLiteral("Timeout=300,Map=") + kPressMap);
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    // The engine's reason reaches the message's details.
    EXPECT_TRUE(dialogs.shown().value(0).details.contains(QStringLiteral("Connection refused by")))
        << dialogs.shown().value(0).details.toStdString();
    expectBoxOff(w.chkConnQUOR);
    EXPECT_EQ(w.connectedController(), nullptr);
}

TEST_F(ConnectModbus, DeviceServingNoneOfTheMapsNamesFailsToAddControllerSayingSo)
{
    LocalDevice local(contentsOf(kPressMap), QStringLiteral("coil:0-1,discrete:0-2,input:0-12,holding:0-43"));
    frmMain& w = openWindow();
    connectModbus(w, local.machine(), QStringLiteral("Map=") + kPressMap);
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    EXPECT_TRUE(dialogs.shown().value(0).details.contains(QStringLiteral("serves none of the 19 names")))
        << dialogs.shown().value(0).details.toStdString();
    expectBoxOff(w.chkConnQUOR);
}

TEST_F(ConnectModbus, SilentDeviceCanBeCancelledWhileTheMenusStillOpen)
{
    const SilentPeer silent;
    frmMain& w = openWindow();
    fillModbusFields(w, silent.machine(), QStringLiteral("Timeout=5000,Map=") + kPressMap);
    QTest::mouseClick(w.chkConnQUOR, Qt::LeftButton);
    ASSERT_TRUE(w.waitingForEngine());
    QProgressDialog* progress = shownProgress(w);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->labelText(), QStringLiteral("Connecting to %1...").arg(silent.machine()));
    EXPECT_TRUE(fileMenuOpens(w));
    ASSERT_TRUE(w.waitingForEngine()) << "the device was to stay silent for 5 s";

    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_FALSE(w.waitingForEngine());
    expectBoxOff(w.chkConnQUOR);
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_TRUE(w.txtMachine->isEnabled());
    EXPECT_EQ(w.txtMachine->text(), silent.machine());

    // The engine's own timeout ends the call; its failure is not told.
    EXPECT_TRUE(turnEventsUntil([&w] { return !w.engineCalls().busy(); }, 15000));
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    expectBoxOff(w.chkConnQUOR);
}

} // namespace
