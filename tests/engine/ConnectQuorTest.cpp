#include "tests/engine/ConnectFixture.h"
#include "tests/engine/SimProviders.h"

#include <QApplication>

// The QUOR way through its widgets, over the fake engine.
namespace {

class ConnectQuor : public ConnectFixture
{
};

// Notes the cursor shown while each engine operation runs, and hands the call on.
using CursorLog = QStringList;

void noteCursor(CursorLog& log, const char* operation)
{
    const QCursor* cursor = QApplication::overrideCursor();
    log.append(
        QLatin1String(operation) + QLatin1Char(':') +
        (cursor && cursor->shape() == Qt::WaitCursor ? QStringLiteral("busy") : QStringLiteral("normal")));
}

class CursorSpyController final : public IController
{
public:
    CursorSpyController(std::shared_ptr<IController> inner, CursorLog& log)
        : m_inner(std::move(inner)), m_log(log)
    {
    }
    QString Name() const override
    {
        noteCursor(m_log, "Name");
        return m_inner->Name();
    }
    Variant VariableNames(const Variant& option) override
    {
        noteCursor(m_log, "VariableNames");
        return m_inner->VariableNames(option);
    }
    std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) override
    {
        noteCursor(m_log, "AddExtension");
        return m_inner->AddExtension(name, option);
    }
    std::shared_ptr<IExtensions> Extensions() override
    {
        noteCursor(m_log, "Extensions");
        return m_inner->Extensions();
    }

private:
    std::shared_ptr<IController> m_inner;
    CursorLog& m_log;
};

class CursorSpyWorkspace final : public IWorkspace
{
public:
    CursorSpyWorkspace(std::shared_ptr<IWorkspace> inner, CursorLog& log)
        : m_inner(std::move(inner)), m_log(log)
    {
    }
    Variant ProviderNames(const Variant& option) override { return m_inner->ProviderNames(option); }
    std::shared_ptr<IController> AddController(const QString& controllerName, const QString& providerName,
                                               const QString& machineName, const QString& option) override
    {
        noteCursor(m_log, "AddController");
        auto controller = m_inner->AddController(controllerName, providerName, machineName, option);
        return controller ? std::make_shared<CursorSpyController>(controller, m_log) : nullptr;
    }

private:
    std::shared_ptr<IWorkspace> m_inner;
    CursorLog& m_log;
};

TEST_F(ConnectQuor, ValidationWarnsLeavesTheBoxOffAndCallsNoEngine)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QString(), kEthernet);
    click(w.chkConnQUOR);
    expectOnlyMessage(QStringLiteral("Please input the controller name."), MsgIcon::Exclamation);
    expectBoxOff(w.chkConnQUOR);

    dialogs.clear();
    typeQuorFields(w, QStringLiteral("Press01"), QStringLiteral("[sElEcT]"));
    click(w.chkConnQUOR);
    expectOnlyMessage(QStringLiteral("Please select the provider."), MsgIcon::Exclamation);
    expectBoxOff(w.chkConnQUOR);

    EXPECT_TRUE(engine->calls.isEmpty()) << engine->calls.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(w.cmbCtrl->isEnabled());
    EXPECT_TRUE(w.optProvider[1]->isEnabled());
    EXPECT_FALSE(w.changed());
}

TEST_F(ConnectQuor, ConnectsWithTheFieldsAsTypedAndEntersTheConnectedState)
{
    frmMain& w = openWindow();
    // Blanks are a controller name; nothing is trimmed.
    typeQuorFields(w, QStringLiteral(" Press 01 "), kEthernet, QStringLiteral("cell-north"),
                   QStringLiteral("Station=3, Retry=2"));
    click(w.chkConnQUOR);

    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(engine->callsTo(QStringLiteral("AddController")),
              QStringList{QStringLiteral("AddController( Press 01 |QuorProv.Sim.Ethernet|cell-north|"
                                         "Station=3, Retry=2)")});
    expectBoxOn(w.chkConnQUOR);
    ASSERT_NE(w.connectedController(), nullptr);
    for (QWidget* field : {static_cast<QWidget*>(w.cmbCtrl), static_cast<QWidget*>(w.cmbProvs),
                           static_cast<QWidget*>(w.txtMachine), static_cast<QWidget*>(w.txtOption)})
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_FALSE(w.optProvider[1]->isEnabled());
    EXPECT_TRUE(w.cmdAddItem->isEnabled());
    EXPECT_TRUE(w.cmdDelete->isEnabled());
    EXPECT_EQ(entries(w.cmbVars), (QStringList{QStringLiteral("Speed"), QStringLiteral("Temp")}));
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("[Select]"));
    EXPECT_EQ(w.focusWidget(), w.cmbVars);

    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    const CtrlParameterPtr record = state.settings.colRecent.Item(1);
    EXPECT_EQ(record->m_lConnectType, 1);
    EXPECT_EQ(record->m_strControllerName, QStringLiteral(" Press 01 "));
    EXPECT_EQ(record->m_strProviderName, kEthernet);
    EXPECT_EQ(record->m_strMachineName, QStringLiteral("cell-north"));
    EXPECT_EQ(record->m_strOptionVal, QStringLiteral("Station=3, Retry=2"));

    // Connected with an empty tag table, the document still counts as changed.
    EXPECT_TRUE(w.changed());
    bool cancel = false;
    w.Form_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral(
                  "Settings have been changed. Are you sure you want to save the current settings?")});
}

TEST_F(ConnectQuor, EngineRefusalOrFailureEndsDisconnected)
{
    frmMain& w = openWindow();
    // An empty provider passes validation and goes to the engine as it is.
    typeQuorFields(w, QStringLiteral("Press01"), QString());
    engine->noController = true;
    click(w.chkConnQUOR);
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    EXPECT_EQ(engine->callsTo(QStringLiteral("AddController")),
              QStringList{QStringLiteral("AddController(Press01|||)")});
    expectBoxOff(w.chkConnQUOR);

    dialogs.clear();
    engine->noController = false;
    engine->failOn(QStringLiteral("AddController"));
    click(w.chkConnQUOR);
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    expectBoxOff(w.chkConnQUOR);

    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_TRUE(w.cmbCtrl->isEnabled());
    EXPECT_TRUE(w.txtOption->isEnabled());
    EXPECT_TRUE(w.optProvider[1]->isEnabled());
    EXPECT_FALSE(w.cmdAddItem->isEnabled());
    EXPECT_EQ(w.cmbCtrl->currentText(), QStringLiteral("Press01"));
    EXPECT_TRUE(state.settings.colRecent.isEmpty());
    EXPECT_FALSE(w.changed());
}

TEST_F(ConnectQuor, DisconnectEmptiesTheBrowseListsAndKeepsTheTable)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
    click(w.chkConnQUOR);
    choose(w.cmbVars, 1);
    w.txtVarOpt->setText(QStringLiteral("ro"));
    click(w.cmdAddItem);
    ASSERT_EQ(w.grdItems->Rows(), 2);
    ASSERT_EQ(w.grdItems->TextMatrix(1, 2), QStringLiteral("Temp"));
    engine->calls.clear();

    click(w.chkConnQUOR);
    expectBoxOff(w.chkConnQUOR);
    EXPECT_TRUE(engine->calls.isEmpty()) << "disconnecting only drops the controller";
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_EQ(releasedControllers(), 1);
    EXPECT_EQ(w.cmbVars->count(), 0);
    EXPECT_EQ(w.cmbVars->currentText(), QStringLiteral("[Select]"));
    EXPECT_TRUE(w.txtVarOpt->text().isEmpty());
    EXPECT_FALSE(w.cmdAddItem->isEnabled());
    EXPECT_FALSE(w.cmdDelete->isEnabled());
    EXPECT_TRUE(w.cmbProvs->isEnabled());
    EXPECT_TRUE(w.optProvider[1]->isEnabled());
    EXPECT_EQ(w.grdItems->Rows(), 2);
    EXPECT_EQ(w.grdItems->TextMatrix(1, 3), QStringLiteral("ro"));
    EXPECT_TRUE(w.changed());
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(ConnectQuor, GuardCancelStopsBothWaysAndKeepsTheChanges)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
    w.cmbConn->setEditText(QStringLiteral("Conn=eth:10.0.0.1:7010"));
    w.setChanged(true);
    for (int way : {0, 1}) {
        QPushButton* box = way == 0 ? w.chkConnQUOR : w.chkConnTULO;
        dialogs.clear();
        dialogs.answerNext(MsgAnswer::Cancel);
        click(w.optProvider[way]);
        click(box);
        ASSERT_EQ(dialogs.shown().size(), 1) << box->objectName().toStdString();
        EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Question);
        EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::YesNoCancel);
        expectBoxOff(box);
        EXPECT_TRUE(w.changed());
    }
    EXPECT_TRUE(engine->calls.isEmpty());
    EXPECT_TRUE(state.settings.colRecent.isEmpty());
}

TEST_F(ConnectQuor, GuardNoConnectsAndMarksTheDocumentChangedAgain)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
    w.setChanged(true);
    dialogs.answerNext(MsgAnswer::No);
    click(w.chkConnQUOR);
    expectBoxOn(w.chkConnQUOR);
    EXPECT_NE(w.connectedController(), nullptr);
    EXPECT_TRUE(w.changed());
}

TEST_F(ConnectQuor, GuardYesSavesAsThenConnects)
{
    frmMain& w = openWindow();
    typeQuorFields(w, QStringLiteral("Press01"), kEthernet);
    click(w.chkConnQUOR);
    click(w.chkConnQUOR);
    const QString file = appPath(QStringLiteral("line.qts"));
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.chooseFileNext(file);
    typeQuorFields(w, QStringLiteral("Oven02"), kEthernet);
    click(w.chkConnQUOR);
    EXPECT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_TRUE(QFile::exists(file));
    expectBoxOn(w.chkConnQUOR);
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("Oven02"));
    EXPECT_EQ(state.settings.colRecent.Item(2)->m_strControllerName, QStringLiteral("Press01"));
    EXPECT_TRUE(w.changed());
}

TEST_F(ConnectQuor, OptionButtonsSwitchWhichWayCanBeUsed)
{
    frmMain& w = openWindow();
    const QList<QWidget*> quorFields = {w.chkConnQUOR, w.cmbCtrl, w.cmbProvs, w.txtMachine, w.txtOption};
    const QList<QWidget*> tuloFields = {w.chkConnTULO, w.cmbConn, w.cmbCtrls};
    for (QWidget* field : quorFields + tuloFields)
        EXPECT_TRUE(field->isEnabled()) << "at first display " << field->objectName().toStdString();

    click(w.optProvider[1]);
    for (QWidget* field : quorFields)
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    for (QWidget* field : tuloFields)
        EXPECT_TRUE(field->isEnabled()) << field->objectName().toStdString();

    click(w.optProvider[0]);
    for (QWidget* field : quorFields)
        EXPECT_TRUE(field->isEnabled()) << field->objectName().toStdString();
    for (QWidget* field : tuloFields)
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_TRUE(engine->calls.isEmpty());
    EXPECT_FALSE(w.chkConnQUOR->isChecked());
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(ConnectQuor, BusyCursorShowsWhileTheEngineWorksAndOnlyThen)
{
    CursorLog log;
    state.objWorkspace = std::make_shared<CursorSpyWorkspace>(state.objWorkspace, log);
    frmMain& w = openWindow();
    click(w.optProvider[1]);
    w.cmbConn->setEditText(QStringLiteral("Conn=eth:10.0.0.1:7010"));
    engine->answers.insert(QStringLiteral("GET:$ENGINE$::!ControllerNames:"), Variant::textArray({}));
    click(w.chkConnTULO);
    EXPECT_EQ(log, (QStringList{QStringLiteral("AddController:busy"), QStringLiteral("AddExtension:busy"),
                                QStringLiteral("Extensions:busy"), QStringLiteral("Name:busy")}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Messages are shown with the normal cursor, and none is left behind after a failure.
    click(w.chkConnTULO);
    w.setChanged(false);
    engine->failOn(QStringLiteral("AddController"));
    click(w.chkConnTULO);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to AddController.")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
