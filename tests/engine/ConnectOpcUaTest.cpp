#include "tests/engine/ConnectFixture.h"
#include "tests/engine/OpcUaTestSupport.h"

#include "tags/LiveColumnsModel.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

// The QUOR way end to end with the OPC UA provider against the test server, the simulation
// engine loaded beside it.
namespace {

class ConnectOpcUa : public ConnectFixture
{
protected:
    static void SetUpTestSuite() { s_server = new OpcUaTestServer(); }
    static void TearDownTestSuite() { delete std::exchange(s_server, nullptr); }

    void SetUp() override
    {
        ConnectFixture::SetUp();
        state.ReleaseEngine();
        const ScopedEnv plugins("QUOR_ENGINE", simPluginPath() + QLatin1Char(':') + opcUaPluginPath());
        QString reason;
        state.objEngine = CreateEngine(&reason, &state.objValues);
        ASSERT_NE(state.objEngine, nullptr) << reason.toStdString();
        state.objWorkspace = state.objEngine->Workspaces()->Item(0);
    }

    void connectOpcUa(frmMain& w, const QString& machine, const QString& option)
    {
        const int provider = w.cmbProvs->findText(QStringLiteral("QuorProv.OpcUa"));
        ASSERT_GE(provider, 0);
        w.cmbCtrl->setEditText(QStringLiteral("Press1"));
        click(w.optProvider[0]);
        choose(w.cmbProvs, provider);
        w.txtMachine->setText(machine);
        w.txtOption->setText(option);
        click(w.chkConnQUOR);
    }

    void addTag(frmMain& w, const QString& variable)
    {
        const int index = w.cmbVars->findText(variable);
        ASSERT_GE(index, 0) << variable.toStdString();
        choose(w.cmbVars, index);
        click(w.cmdAddItem);
    }

    // Whether any file of the application folder holds the text.
    bool anyFileHolds(const QString& text) const
    {
        QDirIterator files(appDir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text.toUtf8()))
                return true;
        }
        return false;
    }

    static OpcUaTestServer* s_server;
};

OpcUaTestServer* ConnectOpcUa::s_server = nullptr;

TEST_F(ConnectOpcUa, ListsTheServersVariablesShowsLiveValuesAndSavesANormalTagFileWithoutThePassword)
{
    const ScopedEnv password("QUOR_OPCUA_PASSWORD", kOpcUaTestPassword);
    frmMain& w = openWindow();
    connectOpcUa(w, s_server->url(), QStringLiteral("User=operator"));
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    expectBoxOn(w.chkConnQUOR);
    EXPECT_EQ(w.cmbVars->count(), 10010);

    addTag(w, QStringLiteral("Press.Ram.Position"));
    addTag(w, QStringLiteral("Press.Motor.Temperature[ns=1;s=Press.Motor.Temperature.Bearing]"));
    // With Live Values on, the ram's position moves.
    w.mnuViewLiveValues->trigger();
    ASSERT_TRUE(w.mnuViewLiveValues->isChecked());
    const LiveColumnsModel& live = w.grdItems->liveColumns();
    const auto position = [&live] {
        return live.index(0, live.columnOf(LiveColumnsModel::Value)).data().toString();
    };
    EXPECT_TRUE(turnEventsUntil([&position] { return !position().isEmpty(); }, 10000));
    const QString first = position();
    EXPECT_TRUE(turnEventsUntil([&position, &first] { return position() != first; }, 10000))
        << first.toStdString();
    w.mnuViewLiveValues->trigger();

    const QString path = appPath(QStringLiteral("press.qts"));
    dialogs.chooseFileNext(path);
    w.mnuFileItem[4]->trigger();
    EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        file.readAll(),
        QStringLiteral("[QuorTagSetting]\r\n"
                       "Type=1\r\n"
                       "Controller=Press1\r\n"
                       "Provider=QuorProv.OpcUa\r\n"
                       "Machine=%1\r\n"
                       "Option=User=operator\r\n"
                       "Tag1=Tag1,Press.Ram.Position,,,,,,,,\r\n"
                       "Tag2=Tag2,Press.Motor.Temperature[ns=1;s=Press.Motor.Temperature.Bearing],,,,,,,,\r\n"
                       "TagDataCnt=2\r\n")
            .arg(s_server->url())
            .toUtf8());
    // Closing the window writes the settings with the recent connections.
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(QFile::exists(settingsPath()));
    EXPECT_FALSE(anyFileHolds(kOpcUaTestPassword));
}

TEST_F(ConnectOpcUa, NothingListeningFailsToAddControllerWithTheStatusInTheDetails)
{
    frmMain& w = openWindow();
    connectOpcUa(w, QStringLiteral("opc.tcp://127.0.0.1:1"), QStringLiteral("Timeout=2000"));
    expectOnlyMessage(QStringLiteral("Failed to AddController."), MsgIcon::Critical);
    EXPECT_TRUE(dialogs.shown().value(0).details.contains(QStringLiteral("BadConnectionRejected")))
        << dialogs.shown().value(0).details.toStdString();
    expectBoxOff(w.chkConnQUOR);
    EXPECT_EQ(w.connectedController(), nullptr);
}

} // namespace
