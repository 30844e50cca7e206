#include "tests/storage/StorageWindowFixture.h"

namespace {

const QString kFerrit = QStringLiteral("QuorProv.BRAKKA.Ferrit");
const QString kLyra8 = QStringLiteral("QuorProv.BRAKKA.Lyra8");

CtrlParameterPtr record(qint32 type, const QString& controller, const QString& provider,
                        const QString& option)
{
    auto r = std::make_shared<clsCtrlParameter>();
    r->m_lConnectType = type;
    r->m_strControllerName = controller;
    r->m_strProviderName = provider;
    r->m_strOptionVal = option;
    return r;
}

QStringList entries(const QComboBox* combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result.append(combo->itemText(i));
    return result;
}

QStringList recentNames(const RecentConnections& recent)
{
    QStringList result;
    for (qsizetype i = 1; i <= recent.Count(); ++i)
        result.append(recent.Item(i)->m_strControllerName);
    return result;
}

class RecentLists : public StorageWindow
{
protected:
    // One remembered connection of each sort.
    void rememberOneOfEach()
    {
        state.settings.colRecent.Add(
            record(1, QStringLiteral("F1"), kFerrit, QStringLiteral("Conn=eth:10.0.0.7,Timeout=700")));
        state.settings.colRecent.Add(
            record(1, QStringLiteral("L1"), kLyra8, QStringLiteral("Server=10.0.0.8,Timeout=800")));
        state.settings.colRecent.Add(
            record(1, QStringLiteral("Q1"), QStringLiteral("QuorProv.Sim.Ethernet"), QString()));
        state.settings.colRecent.Add(record(1, QStringLiteral("X1"), QStringLiteral("quorprov.brakka.lyra8"),
                                            QStringLiteral("Server=10.0.0.9,Timeout=900")));
        state.settings.colRecent.Add(
            record(2, QStringLiteral("T1"), QStringLiteral("QuorProv.TULO"), QStringLiteral("Conn=qs")));
        state.settings.colRecent.Add(
            record(3, QStringLiteral("Z1"), QStringLiteral("Z"), QStringLiteral("z")));
    }

    // Chooses an entry of cmbServer as the user does.
    void chooseServer(int index)
    {
        window->cmbServer->setCurrentIndex(index);
        emit window->cmbServer->activated(index);
    }
};

} // namespace

TEST_F(RecentLists, ConnectionsGoToTheFrontReplaceTheirNameAndStopAtFive)
{
    loadWindow();
    connectQuor(QStringLiteral("PLC1"), kSimProvider, QString(), QStringLiteral("first"));
    disconnect();
    connectQuor(QStringLiteral("plc1"), kSimProvider, QString(), QStringLiteral("second"));
    disconnect();
    connectQuor(QStringLiteral("Other"));
    disconnect();
    EXPECT_EQ(recentNames(state.settings.colRecent),
              (QStringList{QStringLiteral("Other"), QStringLiteral("plc1")}));
    EXPECT_EQ(state.settings.colRecent.Item(2)->m_strOptionVal, QStringLiteral("second"));

    connectTulo(QStringLiteral("Conn=qs"), QStringLiteral("QS1"));
    disconnect();
    for (const char* name : {"c1", "c2", "c3"}) {
        connectQuor(QString::fromLatin1(name));
        disconnect();
    }
    EXPECT_EQ(recentNames(state.settings.colRecent),
              (QStringList{QStringLiteral("c3"), QStringLiteral("c2"), QStringLiteral("c1"),
                           QStringLiteral("QS1"), QStringLiteral("Other")}));
    EXPECT_EQ(state.settings.colRecent.Item(4)->m_lConnectType, 2);
    EXPECT_EQ(state.settings.colRecent.Item(4)->m_strOptionVal, QStringLiteral("Conn=qs"));
    // The lists are filled at start only.
    EXPECT_EQ(window->cmbCtrl->count(), 0);

    // Only the most recent connection outlives the run.
    restart();
    EXPECT_EQ(recentNames(state.settings.colRecent), QStringList{QStringLiteral("c3")});
    EXPECT_EQ(entries(window->cmbCtrl), QStringList{QStringLiteral("c3")});
}

TEST_F(RecentLists, BrakkaConnectionsAreRememberedWithTheirOption)
{
    state.bBRAKKAMode = true;
    loadWindow();
    connectBrakka(0, QStringLiteral("eth:10.3.3.3"), QStringLiteral("1500"), QStringLiteral("B7"));
    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strProviderName, kFerrit);
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strOptionVal,
              QStringLiteral("Conn=eth:10.3.3.3,Timeout=1500"));

    restart();
    EXPECT_EQ(entries(window->cmbServer), QStringList{QStringLiteral("eth:10.3.3.3")});
    EXPECT_EQ(window->cmbServer->currentText(), QString());
    chooseServer(0);
    EXPECT_EQ(window->txtTimeout->text(), QStringLiteral("1500"));
}

TEST_F(RecentLists, EachRecordGoesToItsListByKindProviderAndRunMode)
{
    loadWindow();
    appendItem(window->cmbCtrl, QStringLiteral("kept"));
    rememberOneOfEach();
    window->FillRecentLists();
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(entries(window->cmbCtrl),
              (QStringList{QStringLiteral("kept"), QStringLiteral("F1"), QStringLiteral("L1"),
                           QStringLiteral("Q1"), QStringLiteral("X1")}));
    EXPECT_EQ(entries(window->cmbServer), QStringList());
    EXPECT_EQ(entries(window->cmbConn), QStringList{QStringLiteral("Conn=qs")});
    // Appending leaves the boxes' texts alone.
    EXPECT_EQ(window->cmbCtrl->currentText(), QString());

    window.reset();
    state.settings.colRecent.Clear();
    state.bBRAKKAMode = true;
    loadWindow();
    rememberOneOfEach();
    window->FillRecentLists();
    EXPECT_EQ(entries(window->cmbServer),
              (QStringList{QStringLiteral("eth:10.0.0.7"), QStringLiteral("10.0.0.8")}));
    // The provider is compared with its letter case: "quorprov.brakka.lyra8" is another provider.
    EXPECT_EQ(entries(window->cmbCtrl), (QStringList{QStringLiteral("Q1"), QStringLiteral("X1")}));
    EXPECT_EQ(entries(window->cmbConn), QStringList{QStringLiteral("Conn=qs")});
}

TEST_F(RecentLists, ChoosingAServerSetsItsTimeout)
{
    state.bBRAKKAMode = true;
    loadWindow();
    rememberOneOfEach();
    state.settings.colRecent.Add(record(1, QStringLiteral("F2"), kFerrit, QStringLiteral("Timeout=55")));
    state.settings.colRecent.Add(
        record(1, QStringLiteral("F3"), kFerrit, QStringLiteral("Conn=eth:1,timeout=66")));
    window->FillRecentLists();
    ASSERT_EQ(window->cmbServer->count(), 4);

    chooseServer(1);
    EXPECT_EQ(window->txtTimeout->text(), QStringLiteral("800"));
    chooseServer(0);
    EXPECT_EQ(window->txtTimeout->text(), QStringLiteral("700"));
    // An option of one piece, or without "Timeout=" in this letter case, leaves the timeout.
    chooseServer(2);
    EXPECT_EQ(window->txtTimeout->text(), QStringLiteral("700"));
    chooseServer(3);
    EXPECT_EQ(window->txtTimeout->text(), QStringLiteral("700"));

    // A later connection at the front of the list does not move what an entry stands for.
    AddRecentConnection(state.settings.colRecent,
                        record(1, QStringLiteral("New"), kLyra8, QStringLiteral("Server=9,Timeout=1")));
    chooseServer(1);
    EXPECT_EQ(window->txtTimeout->text(), QStringLiteral("800"));
    EXPECT_EQ(dialogs.texts(), QStringList());
}
