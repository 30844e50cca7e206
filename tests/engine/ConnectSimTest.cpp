#include "tests/engine/ConnectFixture.h"
#include "tests/engine/SimTestSupport.h"

#include <QElapsedTimer>

// Every connection way end to end against the simulation engine's built-in catalog.
namespace {

class ConnectSim : public ConnectFixture
{
protected:
    void SetUp() override
    {
        ConnectFixture::SetUp();
        state.ReleaseEngine();
        const ScopedEnv plugin("QUOR_ENGINE", simPluginPath());
        const ScopedEnv catalog("QUOR_SIM_CATALOG", QString());
        QString reason;
        state.objEngine = CreateEngine(&reason);
        ASSERT_NE(state.objEngine, nullptr) << reason.toStdString();
        state.objWorkspace = state.objEngine->Workspaces()->Item(0);
    }

    // The disconnected state every way returns to.
    void expectBrowseListsEmpty(const frmMain& w)
    {
        EXPECT_EQ(w.cmbCtrls->count(), 0);
        EXPECT_EQ(w.cmbVars->count(), 0);
        EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("[Select]"));
        EXPECT_FALSE(w.cmdAddItem->isEnabled());
        EXPECT_FALSE(w.cmdDelete->isEnabled());
        EXPECT_EQ(w.connectedController(), nullptr);
    }
};

TEST_F(ConnectSim, QuorWayListsTheNamedControllersVariables)
{
    frmMain& w = openWindow();
    const int provider = w.cmbProvs->findText(QStringLiteral("QuorProv.Sim.Ethernet"));
    ASSERT_GE(provider, 0);
    w.cmbCtrl->setEditText(QStringLiteral("press01"));
    click(w.optProvider[0]);
    choose(w.cmbProvs, provider);
    click(w.chkConnQUOR);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    expectBoxOn(w.chkConnQUOR);
    const QStringList variables = entries(w.cmbVars);
    EXPECT_GE(variables.size(), 40);
    for (const char* name : {"Ram.Position", "Stroke Counter", "Die Temp[1]"})
        EXPECT_TRUE(variables.contains(QLatin1String(name))) << name;
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("press01"));

    click(w.chkConnQUOR);
    expectBoxOff(w.chkConnQUOR);
    expectBrowseListsEmpty(w);
    EXPECT_TRUE(w.cmbCtrl->isEnabled());
    EXPECT_TRUE(w.optProvider[1]->isEnabled());

    // A controller the provider does not know.
    w.setChanged(false);
    w.cmbCtrl->setEditText(QStringLiteral("Nobody"));
    click(w.chkConnQUOR);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to AddController.")});
    // The engine's reason and what was asked for.
    EXPECT_EQ(dialogs.shown().first().details,
              QStringLiteral("QuorProv.Sim.Ethernet knows no controller \"Nobody\".\nController: \"Nobody\"\n"
                             "Provider: \"QuorProv.Sim.Ethernet\"\nMachine: \"\"\nOption: \"\""));
    expectBoxOff(w.chkConnQUOR);
}

TEST_F(ConnectSim, TuloConnectPressedFirstListsTheChosenControllersVariables)
{
    frmMain& w = openWindow();
    w.cmbConn->setEditText(QStringLiteral("Conn=eth:192.168.10.20:7010"));
    w.chkConnTULO->click();
    settle(w.chkConnTULO);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    expectBoxOn(w.chkConnTULO);
    EXPECT_TRUE(w.optProvider[1]->isChecked());
    choose(w.cmbCtrls, w.cmbCtrls->findText(QStringLiteral("LineB:Conveyor")));
    const QStringList variables = entries(w.cmbVars);
    EXPECT_TRUE(variables.contains(QStringLiteral("Section[1].Speed")));
    EXPECT_FALSE(variables.contains(QStringLiteral("$Server.Version")));
}

TEST_F(ConnectSim, TuloWayListsTheServersControllersAndTheirItems)
{
    frmMain& w = openWindow();
    click(w.optProvider[1]);
    w.cmbConn->setEditText(QStringLiteral("Conn=eth:192.168.10.20:7010"));
    click(w.chkConnTULO);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    expectBoxOn(w.chkConnTULO);
    EXPECT_EQ(entries(w.cmbCtrls),
              (QStringList{QStringLiteral("LineA_Press"), QStringLiteral("LineA_Oven"),
                           QStringLiteral("LineB Packer"), QStringLiteral("LineB:Conveyor"),
                           QStringLiteral("LineC_Big")}));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_lConnectType, 2);
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("TULO_1"));

    choose(w.cmbCtrls, 3);
    EXPECT_TRUE(entries(w.cmbVars).contains(QStringLiteral("Section[1].Speed")));
    choose(w.cmbCtrls, 4);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(w.cmbVars->count(), 40000);
    EXPECT_EQ(w.cmbVars->itemText(39999), QStringLiteral("R39999"));

    // Every extension the lists used was removed again: a new one is the first.
    EXPECT_EQ(w.connectedController()->AddExtension(QStringLiteral("QuorSQL"), Variant())->Index(), 1);

    click(w.chkConnTULO);
    expectBoxOff(w.chkConnTULO);
    expectBrowseListsEmpty(w);
    EXPECT_TRUE(w.cmbConn->isEnabled());
    EXPECT_TRUE(w.optProvider[0]->isEnabled());
}

TEST_F(ConnectSim, BrakkaModeConnectsBothModels)
{
    state.bBRAKKAMode = true;
    frmMain& w = openWindow();
    w.cmbServer->setEditText(QStringLiteral("192.168.30.10"));
    w.txtTimeout->setText(QStringLiteral("500"));
    click(w.chkConnBRAKKA);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(entries(w.cmbVars).contains(QStringLiteral("Axis[1].Position")));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("Lyra8_1"));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strOptionVal,
              QStringLiteral("Server=192.168.30.10,Timeout=500"));
    click(w.chkConnBRAKKA);
    expectBrowseListsEmpty(w);

    w.setChanged(false);
    click(w.optLyra[0]);
    w.cmbServer->setEditText(QStringLiteral("eth:192.168.20.10"));
    click(w.chkConnBRAKKA);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    expectBoxOn(w.chkConnBRAKKA);
    EXPECT_TRUE(entries(w.cmbVars).contains(QStringLiteral("Error Code")));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("Ferrit_1"));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strProviderName, QStringLiteral("QuorProv.BRAKKA.Ferrit"));
    click(w.chkConnBRAKKA);
    expectBoxOff(w.chkConnBRAKKA);
    expectBrowseListsEmpty(w);
    EXPECT_TRUE(w.optLyra[1]->isEnabled());
}

TEST_F(ConnectSim, UnreachableAddressFailsAfterTheGivenTimeoutAndTheWindowGoesOn)
{
    state.bBRAKKAMode = true;
    frmMain& w = openWindow();
    w.cmbServer->setEditText(QStringLiteral("192.168.30.99"));
    w.txtTimeout->setText(QStringLiteral("300"));
    QElapsedTimer timer;
    timer.start();
    click(w.chkConnBRAKKA);
    const qint64 elapsed = timer.elapsed();
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    // The engine waits out the given 300 ms, not its own default of 3000 ms.
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 2500);
    RecordProperty("elapsed_ms", int(elapsed));
    expectBoxOff(w.chkConnBRAKKA);
    EXPECT_TRUE(w.cmbServer->isEnabled());
    EXPECT_TRUE(w.txtTimeout->isEnabled());
    EXPECT_TRUE(w.optLyra[0]->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    dialogs.clear();
    w.cmbServer->setEditText(QStringLiteral("192.168.30.11"));
    click(w.chkConnBRAKKA);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    expectBoxOn(w.chkConnBRAKKA);
}

} // namespace
