#include "tests/engine/ConnectFixture.h"

#include "engine/EngineCallRunner.h"

#include <QApplication>
#include <QProgressDialog>
#include <thread>

// Connecting and browsing while the engine takes its time: the window keeps turning, Cancel
// abandons the wait, and late answers are released unused. The fake engine holds a call until
// it is let go, as a device that does not answer.
namespace {

const QString kEthernet = QStringLiteral("QuorProv.Sim.Ethernet");
const QString kControllerNames = QStringLiteral("GET:$ENGINE$::!ControllerNames:");
const QStringList kHeldOperations = {QStringLiteral("AddController"), QStringLiteral("Execute"),
                                     QStringLiteral("Name"), QStringLiteral("VariableNames")};

class ConnectWait : public ConnectFixture
{
protected:
    void TearDown() override
    {
        // A failed case must not leave the window waiting for a call that never ends.
        for (const QString& operation : kHeldOperations)
            engine->letGo(operation);
        ConnectFixture::TearDown();
    }

    // Presses the box and returns as soon as the engine is in the held call.
    void pressWhileHeld(QAbstractButton* box, const QString& operation)
    {
        engine->holdOn(operation);
        QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_TRUE(turnEventsUntil([&] { return engine->isHolding(operation); }));
    }

    // Lets the held call end and waits until its answer was handled or released.
    void letGoAndSettle(const QString& operation)
    {
        engine->letGo(operation);
        ASSERT_TRUE(turnEventsUntil([this] { return !window->engineCalls().busy(); }));
        waitForEngine();
    }
};

TEST_F(ConnectWait, SilentDeviceLeavesTheWindowTurningAndCancelEndsTheAttemptAtOnce)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet, QStringLiteral("cell-north"),
                   QStringLiteral("Station=3"));
    pressWhileHeld(w.chkConnQUOR, QStringLiteral("AddController"));

    EXPECT_TRUE(w.waitingForEngine());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Nothing that would start another engine call or change the fields can be used meanwhile.
    for (QWidget* control : {static_cast<QWidget*>(w.chkConnTULO), static_cast<QWidget*>(w.cmbCtrl),
                             static_cast<QWidget*>(w.chkConnBRAKKA)})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_FALSE(w.mnuFileItem[0]->isEnabled());
    EXPECT_FALSE(w.mnuFileItem[1]->isEnabled());
    EXPECT_TRUE(w.mnuFileItem[4]->isEnabled());

    QProgressDialog* progress = shownProgress(w);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->labelText(), QStringLiteral("Connecting to cell-north..."));
    EXPECT_FALSE(progress->isModal());
    EXPECT_TRUE(fileMenuOpens(w));

    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_FALSE(w.waitingForEngine());
    expectBoxOff(w.chkConnQUOR);
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(w.mnuFileItem[0]->isEnabled());
    EXPECT_TRUE(w.cmbCtrl->isEnabled());
    EXPECT_EQ((QStringList{w.cmbCtrl->currentText(), w.cmbProvs->currentText(), w.txtMachine->text(),
                           w.txtOption->text()}),
              (QStringList{QStringLiteral("Press01"), kEthernet, QStringLiteral("cell-north"),
                           QStringLiteral("Station=3")}));
    EXPECT_TRUE(w.engineCalls().busy()) << "the abandoned call itself still runs";

    // The late controller is released unused.
    letGoAndSettle(QStringLiteral("AddController"));
    EXPECT_EQ(releasedControllers(), 1);
    EXPECT_EQ(w.connectedController(), nullptr);
    expectBoxOff(w.chkConnQUOR);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(state.settings.colRecent.isEmpty());
    EXPECT_FALSE(w.changed());

    click(w.chkConnQUOR);
    expectBoxOn(w.chkConnQUOR);
    EXPECT_EQ(engine->callsTo(QStringLiteral("AddController")).size(), 2);
}

// A TULO connection cancelled at each of its engine steps.
struct CancelledStep
{
    const char* operation;
    // Only a cancelled browse leaves the connection standing.
    bool connectionStands;
};

void PrintTo(const CancelledStep& c, std::ostream* os)
{
    *os << c.operation;
}

class ConnectCancelledAt : public ConnectWait, public ::testing::WithParamInterface<CancelledStep>
{
};

TEST_P(ConnectCancelledAt, EndsDisconnectedUnlessOnlyTheBrowseWasCancelled)
{
    const QString operation = QLatin1String(GetParam().operation);
    frmMain& w = openWindow();
    click(w.optProvider[1]);
    w.cmbConn->setEditText(QStringLiteral("Conn=eth:10.0.0.1:7010"));
    engine->answers.insert(kControllerNames, Variant::textArray({QStringLiteral("PLC1")}));
    pressWhileHeld(w.chkConnTULO, operation);
    w.cancelEngineWait();
    letGoAndSettle(operation);

    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(w.cmbCtrls->count(), 0);
    if (GetParam().connectionStands) {
        expectBoxOn(w.chkConnTULO);
        EXPECT_NE(w.connectedController(), nullptr);
        EXPECT_TRUE(w.cmdAddItem->isEnabled());
        EXPECT_EQ(state.settings.colRecent.Count(), 1);
        EXPECT_TRUE(w.changed());
        // The extension the late answer brought was still removed from the controller held.
        EXPECT_EQ(engine->callsTo(QStringLiteral("Remove")), QStringList{QStringLiteral("Remove(1)")});
    } else {
        expectBoxOff(w.chkConnTULO);
        EXPECT_EQ(w.connectedController(), nullptr);
        EXPECT_EQ(releasedControllers(), 1);
        EXPECT_TRUE(w.cmbConn->isEnabled());
        EXPECT_TRUE(state.settings.colRecent.isEmpty());
        EXPECT_FALSE(w.changed());
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, ConnectCancelledAt,
                         ::testing::Values(CancelledStep{"AddController", false},
                                           CancelledStep{"Execute", true}, CancelledStep{"Name", false}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.operation); });

TEST_F(ConnectWait, CancelledRelistLeavesTheListAndTheConnection)
{
    frmMain& w = openWindow();
    click(w.optProvider[1]);
    w.cmbConn->setEditText(QStringLiteral("Conn=eth:10.0.0.1:7010"));
    engine->answers.insert(kControllerNames,
                           Variant::textArray({QStringLiteral("LineA"), QStringLiteral("LineB")}));
    engine->answers.insert(QStringLiteral("GET:LineA::!ItemNames:"),
                           Variant::textArray({QStringLiteral("A1")}));
    click(w.chkConnTULO);
    choose(w.cmbCtrls, 0);
    ASSERT_EQ(entries(w.cmbVars), QStringList{QStringLiteral("A1")});
    const std::shared_ptr<IController> held = w.connectedController();
    engine->calls.clear();

    engine->holdOn(QStringLiteral("Execute"));
    w.cmbCtrls->setCurrentIndex(1);
    emit w.cmbCtrls->activated(1);
    ASSERT_TRUE(turnEventsUntil([this] { return engine->isHolding(QStringLiteral("Execute")); }));
    w.cancelEngineWait();
    EXPECT_EQ(entries(w.cmbVars), QStringList{QStringLiteral("A1")});
    EXPECT_EQ(w.cmbCtrls->currentIndex(), 0);

    letGoAndSettle(QStringLiteral("Execute"));
    EXPECT_EQ(entries(w.cmbVars), QStringList{QStringLiteral("A1")});
    EXPECT_EQ(w.cmbCtrls->currentIndex(), 0);
    expectBoxOn(w.chkConnTULO);
    EXPECT_EQ(w.connectedController(), held);
    EXPECT_TRUE(w.cmdAddItem->isEnabled());
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(engine->callsTo(QStringLiteral("Remove")).size(), 1);
}

TEST_F(ConnectWait, FailuresShowTheEnginesWordsUnderTheMessage)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
    engine->failOn(QStringLiteral("AddController"));
    click(w.chkConnQUOR);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, QStringLiteral("Failed to AddController."));
    EXPECT_EQ(dialogs.shown().at(0).informative,
              QStringLiteral("The fake engine fails AddController as asked."));
    // The details keep the full parameters.
    EXPECT_TRUE(dialogs.shown().at(0).details.endsWith(QStringLiteral("Option: \"\"")))
        << dialogs.shown().at(0).details.toStdString();

    dialogs.clear();
    engine->succeedOn(QStringLiteral("AddController"));
    engine->failOn(QStringLiteral("VariableNames"));
    click(w.chkConnQUOR);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, QStringLiteral("Failed to add variable name."));
    EXPECT_EQ(dialogs.shown().at(0).informative,
              QStringLiteral("The fake engine fails VariableNames as asked."));
}

TEST_F(ConnectWait, ClosingTheWindowWhileTheEngineWorksEndsCleanly)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
    pressWhileHeld(w.chkConnQUOR, QStringLiteral("AddController"));
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(dialogs.shown().isEmpty());
    // The window goes while the call still runs: it waits for the call, then releases its answer.
    std::thread device([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        engine->letGo(QStringLiteral("AddController"));
    });
    window.reset();
    device.join();
    EXPECT_EQ(releasedControllers(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
