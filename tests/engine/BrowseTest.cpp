#include "tests/engine/ConnectFixture.h"
#include "tests/engine/SimProviders.h"

// Filling the controller and variable lists from the fake engine, and the lists' click events.
namespace {

QString itemNames(const QString& controller)
{
    return QStringLiteral("GET:") + controller + QStringLiteral("::!ItemNames:");
}

class Browse : public ConnectFixture
{
protected:
    // Connects the QUOR way; the engine answers VariableNames with `names`.
    void connectQuor(frmMain& w, const Variant& names)
    {
        engine->variableNames = names;
        w.setChanged(false);
        typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
        click(w.chkConnQUOR);
    }

    // Chooses the TULO way and connects it; the server reports `controllers`.
    void connectTulo(frmMain& w, const Variant& controllers)
    {
        click(w.optProvider[1]);
        w.cmbConn->setEditText(QStringLiteral("Conn=eth:192.168.10.20:7010"));
        engine->answers.insert(kControllerNames, controllers);
        w.setChanged(false);
        click(w.chkConnTULO);
    }

    int count(const QString& operation) const { return int(engine->callsTo(operation).size()); }
};

TEST_F(Browse, FailingVariableListIsReportedAndTheConnectionStands)
{
    frmMain& w = openWindow();
    engine->failOn(QStringLiteral("VariableNames"));
    connectQuor(w, Variant::textArray({QStringLiteral("Speed")}));
    expectOnlyMessage(QStringLiteral("Failed to add variable name."), MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.shown().first().details,
              QStringLiteral("Query: VariableNames\nThe fake engine fails VariableNames as asked."));
    expectBoxOn(w.chkConnQUOR);
    EXPECT_NE(w.connectedController(), nullptr);
    EXPECT_EQ(w.cmbVars->count(), 0);
    EXPECT_TRUE(w.cmdAddItem->isEnabled());
    EXPECT_EQ(state.settings.colRecent.Count(), 1);
    EXPECT_TRUE(w.changed());
    // No extension was made, so none is removed.
    EXPECT_EQ(count(QStringLiteral("AddExtension")), 0);
    EXPECT_EQ(count(QStringLiteral("Extensions")), 0);
    EXPECT_EQ(count(QStringLiteral("Remove")), 0);
}

TEST_F(Browse, ValuesThatAreNoListFailAndKeepWhatCameBefore)
{
    frmMain& w = openWindow();
    const QList<std::pair<Variant, QStringList>> cases = {
        {Variant(), {}},
        {Variant::text(QStringLiteral("Speed")), {}},
        {Variant::multiArray({Variant::text(QStringLiteral("A")), Variant::text(QStringLiteral("B"))}, 2),
         {}},
        {Variant::array({Variant::text(QStringLiteral("A")), Variant::text(QStringLiteral("B")),
                         Variant::object(), Variant::text(QStringLiteral("C"))}),
         {QStringLiteral("A"), QStringLiteral("B")}},
        {Variant::array(
             {Variant::text(QStringLiteral("A")), Variant::array({Variant::text(QStringLiteral("B"))})}),
         {QStringLiteral("A")}},
    };
    for (qsizetype i = 0; i < cases.size(); ++i) {
        dialogs.clear();
        connectQuor(w, cases.at(i).first);
        EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to add variable name.")})
            << "case " << i;
        EXPECT_EQ(entries(w.cmbVars), cases.at(i).second) << "case " << i;
        expectBoxOn(w.chkConnQUOR);
        click(w.chkConnQUOR);
    }
}

TEST_F(Browse, AnyBoundsAndElementsWithTextFormAreListed)
{
    frmMain& w = openWindow();
    connectQuor(w, Variant::array({Variant::text(QStringLiteral("Die Temp[1]")), Variant::number(12),
                                   Variant(), Variant::text(QStringLiteral("Ram.Position"))},
                                  70000));
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(entries(w.cmbVars), (QStringList{QStringLiteral("Die Temp[1]"), QStringLiteral("12"), QString(),
                                               QStringLiteral("Ram.Position")}));
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("[Select]"));
}

TEST_F(Browse, FortyThousandNamesAreAllListedInOrder)
{
    frmMain& w = openWindow();
    QStringList names;
    for (int i = 0; i < 40000; ++i)
        names.append(QStringLiteral("D%1").arg(i, 5, 10, QLatin1Char('0')));
    connectQuor(w, Variant::textArray(names, -20000));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    ASSERT_EQ(w.cmbVars->count(), 40000);
    EXPECT_EQ(w.cmbVars->itemText(0), QStringLiteral("D00000"));
    EXPECT_EQ(w.cmbVars->itemText(32768), QStringLiteral("D32768"));
    EXPECT_EQ(w.cmbVars->itemText(39999), QStringLiteral("D39999"));
}

TEST_F(Browse, EmptyListAppendsNothingSilentlyAndTakesTheFocus)
{
    frmMain& w = openWindow();
    w.txtVarOpt->setFocus();
    connectQuor(w, Variant::textArray({}, 5));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(w.cmbVars->count(), 0);
    EXPECT_EQ(w.focusWidget(), w.cmbVars);
}

TEST_F(Browse, ControllerListFailuresRemoveTheExtensionOnlyWhenOneWasMade)
{
    frmMain& w = openWindow();
    const QList<std::pair<QString, bool>> failures = {{QStringLiteral("AddExtension"), false},
                                                      {QStringLiteral("setValue"), true},
                                                      {QStringLiteral("Execute"), true},
                                                      {QStringLiteral("Value"), true}};
    for (const auto& [operation, made] : failures) {
        engine->calls.clear();
        engine->released.clear();
        dialogs.clear();
        engine->failOn(operation);
        connectTulo(w, Variant::textArray({QStringLiteral("LineA_Press")}));
        engine->succeedOn(operation);
        EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to get controller list.")})
            << operation.toStdString();
        EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Exclamation);
        // The query and the engine's own words.
        EXPECT_EQ(dialogs.shown().first().details,
                  QStringLiteral("Query: GET:$ENGINE$::!ControllerNames:\nThe fake engine fails %1 as asked.")
                      .arg(operation));
        EXPECT_EQ(engine->callsTo(QStringLiteral("Remove")),
                  made ? QStringList{QStringLiteral("Remove(1)")} : QStringList{})
            << operation.toStdString();
        EXPECT_EQ(engine->released.count(QStringLiteral("Extension")), made ? 1 : 0)
            << operation.toStdString();
        EXPECT_EQ(w.cmbCtrls->count(), 0);
        expectBoxOn(w.chkConnTULO);
        EXPECT_EQ(state.settings.colRecent.Count(), 1);
        click(w.chkConnTULO);
    }

    // The engine gives no extension object: reported, and there is nothing to remove.
    dialogs.clear();
    engine->calls.clear();
    engine->noExtension = true;
    connectTulo(w, Variant::textArray({QStringLiteral("LineA_Press")}));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to get controller list.")});
    EXPECT_EQ(count(QStringLiteral("Extensions")), 0);
}

TEST_F(Browse, CleanUpThatTheControllerRefusesIsSilent)
{
    frmMain& w = openWindow();
    // No extension collection at all, then a refused Remove: the list is filled either way.
    engine->noExtensions = true;
    connectTulo(w, Variant::textArray({QStringLiteral("LineA_Press")}));
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(entries(w.cmbCtrls), QStringList{QStringLiteral("LineA_Press")});
    EXPECT_EQ(engine->released.count(QStringLiteral("Extension")), 1);
    click(w.chkConnTULO);

    engine->noExtensions = false;
    engine->failOn(QStringLiteral("Remove"));
    engine->extensionIndex = 3;
    connectTulo(w, Variant::textArray({QStringLiteral("LineA_Press")}));
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(engine->callsTo(QStringLiteral("Remove")), QStringList{QStringLiteral("Remove(3)")});
    EXPECT_EQ(entries(w.cmbCtrls), QStringList{QStringLiteral("LineA_Press")});
    EXPECT_EQ(engine->released.count(QStringLiteral("Extension")), 2);
}

TEST_F(Browse, ChoosingAServerControllerRelistsItsItemsWithTheNameUnchanged)
{
    frmMain& w = openWindow();
    engine->answers.insert(
        itemNames(QStringLiteral("LineB:Conveyor")),
        Variant::textArray({QStringLiteral("Section[1].Speed"), QStringLiteral("Belt On")}));
    engine->answers.insert(itemNames(QString()), Variant::textArray({QStringLiteral("$Server.Version")}));
    connectTulo(w, Variant::textArray({QStringLiteral("LineB:Conveyor"), QString(), QStringLiteral("Gone")}));
    ASSERT_EQ(w.cmbCtrls->count(), 3);
    w.txtVarOpt->setText(QStringLiteral("bit 3"));
    w.cmbVars->setEditText(QStringLiteral("Speed"));
    engine->calls.clear();

    // The keyboard chooses the first entry.
    w.cmbCtrls->setFocus();
    QTest::keyClick(w.cmbCtrls, Qt::Key_Down);
    settle(w.cmbCtrls);
    ASSERT_EQ(w.cmbCtrls->currentIndex(), 0);
    EXPECT_EQ(engine->calls, (QStringList{QStringLiteral("AddExtension(QuorSQL|)"),
                                          QStringLiteral("setValue(GET:LineB:Conveyor::!ItemNames:)"),
                                          QStringLiteral("Execute(0)"), QStringLiteral("Value()"),
                                          QStringLiteral("Extensions()"), QStringLiteral("Index()"),
                                          QStringLiteral("Remove(1)")}));
    EXPECT_EQ(entries(w.cmbVars),
              (QStringList{QStringLiteral("Section[1].Speed"), QStringLiteral("Belt On")}));
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("[Select]"));
    EXPECT_EQ(w.txtVarOpt->text(), QStringLiteral("bit 3"));

    engine->calls.clear();
    choose(w.cmbCtrls, 1);
    EXPECT_EQ(engine->callsTo(QStringLiteral("setValue")),
              QStringList{QStringLiteral("setValue(GET:::!ItemNames:)")});
    EXPECT_EQ(entries(w.cmbVars), QStringList{QStringLiteral("$Server.Version")});

    // The server does not know the controller: reported, list emptied, extension removed.
    engine->calls.clear();
    choose(w.cmbCtrls, 2);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to add variable name.")});
    EXPECT_EQ(w.cmbVars->count(), 0);
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("[Select]"));
    EXPECT_EQ(count(QStringLiteral("Remove")), 1);
    expectBoxOn(w.chkConnTULO);
}

TEST_F(Browse, RememberedEntryFillsTheFieldsFromTheConnectionItWasMadeFrom)
{
    auto record = [](qint32 type, const char* controller, const char* provider, const char* machine,
                     const char* option) {
        auto r = std::make_shared<clsCtrlParameter>();
        r->m_lConnectType = type;
        r->m_strControllerName = QLatin1String(controller);
        r->m_strProviderName = QLatin1String(provider);
        r->m_strMachineName = QLatin1String(machine);
        r->m_strOptionVal = QLatin1String(option);
        return r;
    };
    state.settings.colRecent.Add(record(1, "Packer03", "QuorProv.Sim.Ethernet", "cell-north", "Station=3"));
    state.settings.colRecent.Add(record(2, "TULO_1", "QuorProv.TULO", "", "Conn=eth:192.168.10.20:7010"));
    state.settings.colRecent.Add(record(1, "Dosing01", "QuorProv.Sim.Serial", "", "Port=COM3,Baud=9600"));
    frmMain& w = openWindow();
    ASSERT_EQ(entries(w.cmbCtrl), (QStringList{QStringLiteral("Packer03"), QStringLiteral("Dosing01")}));

    // Nothing chosen: nothing changes.
    w.cmbProvs->setEditText(QStringLiteral("typed"));
    ASSERT_EQ(w.cmbCtrl->currentIndex(), -1);
    w.cmbCtrl_Click();
    EXPECT_EQ(w.cmbProvs->currentText(), QStringLiteral("typed"));

    // A later connection puts itself first; the entries keep their own connections.
    typeQuorFields(w, QStringLiteral("Scale02"), QStringLiteral("QuorProv.Sim.Serial"));
    click(w.chkConnQUOR);
    click(w.chkConnQUOR);
    ASSERT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("Scale02"));

    choose(w.cmbCtrl, 1);
    EXPECT_EQ(w.cmbCtrl->currentText(), QStringLiteral("Dosing01"));
    EXPECT_EQ(w.cmbProvs->currentText(), QStringLiteral("QuorProv.Sim.Serial"));
    EXPECT_TRUE(w.txtMachine->text().isEmpty());
    EXPECT_EQ(w.txtOption->text(), QStringLiteral("Port=COM3,Baud=9600"));

    w.cmbCtrl->setFocus();
    QTest::keyClick(w.cmbCtrl, Qt::Key_Up);
    EXPECT_EQ(w.cmbCtrl->currentText(), QStringLiteral("Packer03"));
    EXPECT_EQ(w.cmbProvs->currentText(), kEthernet);
    EXPECT_EQ(w.txtMachine->text(), QStringLiteral("cell-north"));
    EXPECT_EQ(w.txtOption->text(), QStringLiteral("Station=3"));
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
}

} // namespace
