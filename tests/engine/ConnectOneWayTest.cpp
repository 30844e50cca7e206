#include "tests/engine/ConnectFixture.h"
#include "tests/engine/SimProviders.h"

// One connection way at a time: a Connect box pressed before its option button chooses its way
// first, and while one way is connected no other way can be started or disturbed.
namespace {

enum Way
{
    Quor,
    Tulo,
    Brakka
};

class OneWay : public ConnectFixture
{
protected:
    // A window whose three ways could all connect, no option button touched.
    frmMain& openWithEveryWayFilled()
    {
        frmMain& w = openWindow();
        typeQuorFields(w, QStringLiteral("Press01"), QStringLiteral("QuorProv.Sim.Ethernet"));
        w.cmbConn->setEditText(QStringLiteral("Conn=eth:10.0.0.1:7010"));
        w.cmbServer->setEditText(QStringLiteral("10.0.0.2"));
        engine->answers.insert(kControllerNames, Variant::textArray({QStringLiteral("PLC1")}));
        engine->answers.insert(QStringLiteral("GET:PLC1::!ItemNames:"),
                               Variant::textArray({QStringLiteral("X1")}));
        return w;
    }

    static QPushButton* boxOf(frmMain& w, Way way)
    {
        return way == Quor ? w.chkConnQUOR : way == Tulo ? w.chkConnTULO : w.chkConnBRAKKA;
    }

    static QList<QRadioButton*> optionsOf(frmMain& w, Way way)
    {
        if (way == Brakka)
            return {w.optLyra[0], w.optLyra[1]};
        return {w.optProvider[way == Quor ? 0 : 1]};
    }
};

struct PressedFirst
{
    Way way;
    const char* provider; // what the engine is asked for
};

void PrintTo(const PressedFirst& c, std::ostream* os)
{
    *os << c.provider;
}

class ConnectPressedFirst : public OneWay, public ::testing::WithParamInterface<PressedFirst>
{
};

TEST_P(ConnectPressedFirst, ChoosesItsWayBeforeConnecting)
{
    frmMain& w = openWithEveryWayFilled();
    QPushButton* box = boxOf(w, GetParam().way);
    box->click();
    settle(box);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    expectBoxOn(box);
    ASSERT_EQ(engine->callsTo(QStringLiteral("AddController")).size(), 1);
    EXPECT_TRUE(engine->callsTo(QStringLiteral("AddController"))
                    .first()
                    .contains(QLatin1String(GetParam().provider)));
    // The way shown as chosen is the way that connected.
    if (GetParam().way == Quor) {
        EXPECT_TRUE(w.optProvider[0]->isChecked());
    }
    if (GetParam().way == Tulo) {
        EXPECT_TRUE(w.optProvider[1]->isChecked());
        EXPECT_TRUE(w.cmbCtrls->isEnabled());
        // Choosing a reported controller lists that controller's items, not the server's own.
        choose(w.cmbCtrls, 0);
        EXPECT_EQ(entries(w.cmbVars), QStringList{QStringLiteral("X1")});
        EXPECT_TRUE(engine->callsTo(QStringLiteral("VariableNames")).isEmpty());
    }
}

// In the normal run mode the model field starts as Lyra7 while Lyra8 is the selected button.
INSTANTIATE_TEST_SUITE_P(Ways, ConnectPressedFirst,
                         ::testing::Values(PressedFirst{Quor, "|QuorProv.Sim.Ethernet|"},
                                           PressedFirst{Tulo, "|QuorProv.TULO|"},
                                           PressedFirst{Brakka, "|QuorProv.BRAKKA.Lyra8|"}));

class OtherWayWhileConnected : public OneWay, public ::testing::WithParamInterface<std::pair<Way, Way>>
{
};

TEST_P(OtherWayWhileConnected, CannotBeUsedAndNeverDropsTheController)
{
    const auto [connectedWay, otherWay] = GetParam();
    frmMain& w = openWithEveryWayFilled();
    QPushButton* connectedBox = boxOf(w, connectedWay);
    QPushButton* other = boxOf(w, otherWay);
    connectedBox->click();
    settle(connectedBox);
    expectBoxOn(connectedBox);
    const std::weak_ptr<IController> held = w.connectedController();
    const QStringList variables = entries(w.cmbVars);
    EXPECT_FALSE(other->isEnabled());
    for (QRadioButton* option : optionsOf(w, otherWay))
        EXPECT_FALSE(option->isEnabled()) << option->objectName().toStdString();

    // Pressed by the user it does nothing; turned on by the program it springs back unheard.
    other->click();
    w.setChanged(true);
    other->setChecked(true);
    expectBoxOff(other);
    expectBoxOn(connectedBox);
    EXPECT_EQ(w.connectedController(), held.lock());
    EXPECT_EQ(entries(w.cmbVars), variables);
    EXPECT_TRUE(w.cmdAddItem->isEnabled());
    EXPECT_EQ(engine->callsTo(QStringLiteral("AddController")).size(), 1);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();

    // Once disconnected, the other way's option buttons are free again.
    connectedBox->click();
    EXPECT_TRUE(held.expired());
    for (QRadioButton* option : optionsOf(w, otherWay))
        EXPECT_TRUE(option->isEnabled()) << option->objectName().toStdString();
    EXPECT_TRUE(w.chkConnBRAKKA->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Pairs, OtherWayWhileConnected,
                         ::testing::Values(std::pair{Quor, Tulo}, std::pair{Quor, Brakka},
                                           std::pair{Tulo, Quor}, std::pair{Tulo, Brakka},
                                           std::pair{Brakka, Quor}, std::pair{Brakka, Tulo}));

TEST_F(OneWay, AfterADisconnectTheChosenOptionDecidesAgain)
{
    frmMain& w = openWithEveryWayFilled();
    w.chkConnTULO->click();
    settle(w.chkConnTULO);
    EXPECT_FALSE(w.chkConnQUOR->isEnabled());
    w.chkConnTULO->click();
    // The TULO way stays chosen: its box is usable, the QUOR box is not until QUOR is chosen.
    EXPECT_TRUE(w.chkConnTULO->isEnabled());
    EXPECT_FALSE(w.chkConnQUOR->isEnabled());
    EXPECT_TRUE(w.optProvider[0]->isEnabled());
    click(w.optProvider[0]);
    EXPECT_TRUE(w.chkConnQUOR->isEnabled());
    EXPECT_FALSE(w.chkConnTULO->isEnabled());
}

} // namespace
