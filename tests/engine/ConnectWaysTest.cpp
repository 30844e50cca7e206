#include "tests/engine/ConnectFixture.h"
#include "tests/engine/SimProviders.h"

// The TULO and BRAKKA ways through their widgets, over the fake engine.
namespace {

const QString kServer = QStringLiteral("Conn=eth:192.168.10.20:7010");

class ConnectTulo : public ConnectFixture
{
protected:
    frmMain& openTuloWay()
    {
        frmMain& w = openWindow();
        click(w.optProvider[1]);
        w.cmbConn->setEditText(kServer);
        engine->controllerName = QStringLiteral("TULO_7");
        engine->answers.insert(kControllerNames, Variant::textArray({QStringLiteral("LineA_Press"),
                                                                     QStringLiteral("LineB:Conveyor")}));
        engine->calls.clear();
        return w;
    }
};

class ConnectBrakka : public ConnectFixture
{
protected:
    void SetUp() override
    {
        ConnectFixture::SetUp();
        state.bBRAKKAMode = true;
        engine->controllerName = QStringLiteral("Lyra8_1");
    }

    frmMain& openBrakkaWay(const QString& server, const QString& timeout)
    {
        frmMain& w = openWindow();
        w.cmbServer->setEditText(server);
        w.txtTimeout->setText(timeout);
        engine->calls.clear();
        return w;
    }
};

TEST_F(ConnectTulo, EmptyConnectParameterWarnsWithoutEngineCall)
{
    frmMain& w = openTuloWay();
    w.cmbConn->setEditText(QString());
    click(w.chkConnTULO);
    expectOnlyMessage(QStringLiteral("Please input the connect parameter."), MsgIcon::Exclamation);
    expectBoxOff(w.chkConnTULO);
    EXPECT_TRUE(engine->calls.isEmpty());
}

TEST_F(ConnectTulo, ConnectsToTheQueryServerAndListsItsControllers)
{
    frmMain& w = openTuloWay();
    click(w.chkConnTULO);

    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(
        engine->calls,
        (QStringList{QStringLiteral("AddController(|QuorProv.TULO||Conn=eth:192.168.10.20:7010)"),
                     QStringLiteral("AddExtension(QuorSQL|)"),
                     QStringLiteral("setValue(GET:$ENGINE$::!ControllerNames:)"),
                     QStringLiteral("Execute(0)"), QStringLiteral("Value()"), QStringLiteral("Extensions()"),
                     QStringLiteral("Index()"), QStringLiteral("Remove(1)"), QStringLiteral("Name()")}));
    EXPECT_TRUE(engine->released.contains(QStringLiteral("Extension")));
    expectBoxOn(w.chkConnTULO);
    EXPECT_EQ(entries(w.cmbCtrls),
              (QStringList{QStringLiteral("LineA_Press"), QStringLiteral("LineB:Conveyor")}));
    EXPECT_EQ(w.cmbCtrls->currentIndex(), -1);
    EXPECT_EQ(w.focusWidget(), w.cmbCtrls);
    EXPECT_FALSE(w.cmbConn->isEnabled());
    EXPECT_FALSE(w.optProvider[0]->isEnabled());
    EXPECT_TRUE(w.cmbCtrls->isEnabled());
    EXPECT_TRUE(w.cmdAddItem->isEnabled());
    EXPECT_TRUE(w.cmdDelete->isEnabled());
    EXPECT_EQ(w.cmbVars->count(), 0);

    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    const CtrlParameterPtr record = state.settings.colRecent.Item(1);
    EXPECT_EQ(record->m_lConnectType, 2);
    EXPECT_EQ(record->m_strControllerName, QStringLiteral("TULO_7"));
    EXPECT_EQ(record->m_strProviderName, QStringLiteral("QuorProv.TULO"));
    EXPECT_TRUE(record->m_strMachineName.isEmpty());
    EXPECT_EQ(record->m_strOptionVal, kServer);
    EXPECT_TRUE(w.changed());

    click(w.chkConnTULO);
    expectBoxOff(w.chkConnTULO);
    EXPECT_EQ(w.cmbCtrls->count(), 0);
    EXPECT_TRUE(w.cmbConn->isEnabled());
    EXPECT_TRUE(w.optProvider[0]->isEnabled());
    EXPECT_FALSE(w.cmdAddItem->isEnabled());
    EXPECT_EQ(w.connectedController(), nullptr);
}

TEST_F(ConnectTulo, FailureAfterTheControllerWasAddedEndsDisconnected)
{
    frmMain& w = openTuloWay();
    engine->failOn(QStringLiteral("Name"));
    click(w.chkConnTULO);
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    expectBoxOff(w.chkConnTULO);
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_EQ(releasedControllers(), 1);
    EXPECT_EQ(w.cmbCtrls->count(), 0);
    EXPECT_TRUE(w.cmbConn->isEnabled());
    EXPECT_TRUE(w.optProvider[0]->isEnabled());
    EXPECT_FALSE(w.cmdAddItem->isEnabled());
    EXPECT_TRUE(state.settings.colRecent.isEmpty());
    EXPECT_FALSE(w.changed());
}

TEST_F(ConnectBrakka, EachModelSendsItsProviderAndOptionPieces)
{
    frmMain& w = openBrakkaWay(QStringLiteral("192.168.30.10"), QStringLiteral("500"));
    click(w.chkConnBRAKKA);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(engine->callsTo(QStringLiteral("AddController")),
              QStringList{
                  QStringLiteral("AddController(|QuorProv.BRAKKA.Lyra8||Server=192.168.30.10,Timeout=500)")});
    expectBoxOn(w.chkConnBRAKKA);
    EXPECT_FALSE(w.cmbServer->isEnabled());
    EXPECT_FALSE(w.txtTimeout->isEnabled());
    EXPECT_FALSE(w.optLyra[0]->isEnabled());
    EXPECT_TRUE(w.optLyra[1]->isEnabled());
    EXPECT_TRUE(w.cmdAddItem->isEnabled());
    EXPECT_EQ(entries(w.cmbVars), (QStringList{QStringLiteral("Speed"), QStringLiteral("Temp")}));
    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    const CtrlParameterPtr record = state.settings.colRecent.Item(1);
    EXPECT_EQ(record->m_lConnectType, 1);
    EXPECT_EQ(record->m_strControllerName, QStringLiteral("Lyra8_1"));
    EXPECT_EQ(record->m_strProviderName, QStringLiteral("QuorProv.BRAKKA.Lyra8"));
    EXPECT_TRUE(record->m_strMachineName.isEmpty());
    EXPECT_EQ(record->m_strOptionVal, QStringLiteral("Server=192.168.30.10,Timeout=500"));
    EXPECT_TRUE(w.changed());

    click(w.chkConnBRAKKA);
    expectBoxOff(w.chkConnBRAKKA);
    EXPECT_TRUE(w.optLyra[0]->isEnabled());
    EXPECT_TRUE(w.cmbServer->isEnabled());
    EXPECT_TRUE(w.txtTimeout->isEnabled());
    EXPECT_EQ(w.cmbVars->count(), 0);

    // Lyra7, and then both models with empty fields: every piece is still there, unwarned.
    w.setChanged(false);
    engine->controllerName = QStringLiteral("Ferrit_1");
    click(w.optLyra[0]);
    w.cmbServer->setEditText(QStringLiteral("eth:192.168.20.10"));
    click(w.chkConnBRAKKA);
    EXPECT_FALSE(w.optLyra[1]->isEnabled());
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strProviderName, QStringLiteral("QuorProv.BRAKKA.Ferrit"));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("Ferrit_1"));
    click(w.chkConnBRAKKA);
    w.setChanged(false);
    w.cmbServer->setEditText(QString());
    w.txtTimeout->setText(QString());
    click(w.chkConnBRAKKA);
    click(w.chkConnBRAKKA);
    w.setChanged(false);
    click(w.optLyra[1]);
    click(w.chkConnBRAKKA);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(
        engine->callsTo(QStringLiteral("AddController")),
        (QStringList{
            QStringLiteral("AddController(|QuorProv.BRAKKA.Lyra8||Server=192.168.30.10,Timeout=500)"),
            QStringLiteral("AddController(|QuorProv.BRAKKA.Ferrit||Conn=eth:192.168.20.10,Timeout=500)"),
            QStringLiteral("AddController(|QuorProv.BRAKKA.Ferrit||Conn=,Timeout=)"),
            QStringLiteral("AddController(|QuorProv.BRAKKA.Lyra8||Server=,Timeout=)")}));
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strOptionVal, QStringLiteral("Server=,Timeout="));
}

TEST_F(ConnectBrakka, RefusalAndGuardCancelEndDisconnected)
{
    frmMain& w = openBrakkaWay(QStringLiteral("192.168.30.10"), QStringLiteral("500"));
    engine->failOn(QStringLiteral("AddController"));
    click(w.chkConnBRAKKA);
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    expectBoxOff(w.chkConnBRAKKA);
    EXPECT_TRUE(w.optLyra[0]->isEnabled());
    EXPECT_TRUE(w.cmbServer->isEnabled());
    EXPECT_FALSE(w.cmdAddItem->isEnabled());
    EXPECT_FALSE(w.changed());

    engine->succeedOn(QStringLiteral("AddController"));
    engine->calls.clear();
    dialogs.clear();
    w.setChanged(true);
    dialogs.answerNext(MsgAnswer::Cancel);
    click(w.chkConnBRAKKA);
    EXPECT_EQ(dialogs.shown().size(), 1);
    expectBoxOff(w.chkConnBRAKKA);
    EXPECT_TRUE(engine->calls.isEmpty());
    EXPECT_TRUE(w.changed());
}

} // namespace
