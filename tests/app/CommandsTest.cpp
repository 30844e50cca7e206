#include "app/VersionText.h"
#include "tests/support/MainWindowFixture.h"

#include "tags/GridControl.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QtTest/QTest>

namespace {
class Commands : public MainWindowFixture
{
};
} // namespace

TEST_F(Commands, TitleShowsThePathAfterABlankAndAHyphen)
{
    frmMain& w = loadWindow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor"));
    window->document().setFilePath(QStringLiteral("/data/line 1.qts"));
    w.UpdateTitle();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -/data/line 1.qts"));
    window->document().setFilePath(QString());
    w.UpdateTitle();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor"));
}

TEST_F(Commands, VersionBoxReadsOneZeroZeroZero)
{
    frmMain& w = loadWindow();
    w.mnuHelpItem[0]->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().text, QStringLiteral("QuorTagEditor Version : 1.0.0.0"));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Information);
    EXPECT_EQ(VersionText(2, 13, 7), QStringLiteral("QuorTagEditor Version : 2.13.0.7"));
}

namespace {

const QString kPrompt =
    QStringLiteral("Settings have been changed. Are you sure you want to save the current settings?");

// A window with a connection made through the fake engine, so there is something to save
// and a controller is held.
class SaveGuard : public MainWindowFixture
{
protected:
    frmMain& connectedWindow()
    {
        frmMain& w = loadWindow();
        w.cmbCtrl->setEditText(QStringLiteral("PLC1"));
        w.cmbProvs->setEditText(QStringLiteral("QuorProv.Sim.Ethernet"));
        w.chkConnQUOR->setChecked(true);
        waitForEngine();
        EXPECT_NE(w.connectedController(), nullptr);
        EXPECT_TRUE(w.changed());
        dialogs.clear();
        return w;
    }

    int saveRequests() const
    {
        int count = 0;
        for (const FileDialogRequest& r : dialogs.fileRequests())
            count += r.save ? 1 : 0;
        return count;
    }
    int openRequests() const { return int(dialogs.fileRequests().size()) - saveRequests(); }
};

} // namespace

TEST_F(SaveGuard, ConfirmSaveChangesYesSavesThroughSaveAsAndReleasesTheController)
{
    frmMain& w = connectedWindow();
    window->document().setFilePath(appPath(QStringLiteral("current.qts")));
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.chooseFileNext(appPath(QStringLiteral("saved.qts")));
    EXPECT_EQ(w.ConfirmSaveChanges(), 1);
    EXPECT_EQ(dialogs.texts().value(0), kPrompt);
    EXPECT_EQ(dialogs.shown().value(0).icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.shown().value(0).buttons, MsgButtons::YesNoCancel);
    // Yes goes the Save As way even though the document has a path.
    EXPECT_EQ(saveRequests(), 1);
    EXPECT_TRUE(QFile::exists(appPath(QStringLiteral("saved.qts"))));
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_FALSE(w.changed());
}

TEST_F(SaveGuard, ConfirmSaveChangesNoReleasesAndCancelKeepsTheController)
{
    frmMain& w = connectedWindow();
    dialogs.answerNext(MsgAnswer::Cancel);
    EXPECT_EQ(w.ConfirmSaveChanges(), 3);
    EXPECT_NE(w.connectedController(), nullptr);
    dialogs.answerNext(MsgAnswer::No);
    EXPECT_EQ(w.ConfirmSaveChanges(), 2);
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(saveRequests(), 0);
}

TEST_F(SaveGuard, YesWhoseSaveDoesNotHappenActsAsCancel)
{
    frmMain& w = connectedWindow();
    // The dialog is cancelled: nothing was saved, so nothing may be discarded.
    dialogs.answerNext(MsgAnswer::Yes);
    EXPECT_EQ(w.ConfirmSaveChanges(), 3);
    EXPECT_NE(w.connectedController(), nullptr);

    w.cmdAddItem->setEnabled(true);
    w.cmbVars->setEditText(QStringLiteral("Speed"));
    w.cmdAddItem->click();
    ASSERT_EQ(w.grdItems->Rows(), 2);
    dialogs.answerNext(MsgAnswer::Yes);
    w.mnuFileItem[0]->trigger();
    EXPECT_EQ(w.grdItems->Rows(), 2);
    EXPECT_TRUE(w.changed());

    // The save fails: the target is a folder.
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.chooseFileNext(appDir.path());
    bool cancel = false;
    w.Form_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(dialogs.texts().contains(QStringLiteral("Failed to save the qts file.")));
    EXPECT_EQ(w.grdItems->Rows(), 2);
}

TEST_F(SaveGuard, NewAsksAndFollowsTheAnswer)
{
    frmMain& w = connectedWindow();
    w.cmbVars->setEditText(QStringLiteral("Speed"));
    w.cmdAddItem->click();

    dialogs.answerNext(MsgAnswer::Cancel);
    w.mnuFileItem[0]->trigger();
    EXPECT_EQ(w.grdItems->Rows(), 2);
    EXPECT_TRUE(w.chkConnQUOR->isChecked());

    dialogs.answerNext(MsgAnswer::No);
    w.mnuFileItem[0]->trigger();
    EXPECT_EQ(w.grdItems->Rows(), 1);
    EXPECT_FALSE(w.chkConnQUOR->isChecked());
    EXPECT_EQ(w.cmbProvs->currentText(), QStringLiteral("[Select]"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor"));
    // New itself does not clear the flag: closing would ask again.
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(dialogs.texts(), QStringList(2, kPrompt));
}

TEST_F(SaveGuard, NewWithYesSavesThenResets)
{
    frmMain& w = connectedWindow();
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.chooseFileNext(appPath(QStringLiteral("kept.qts")));
    w.mnuFileItem[0]->trigger();
    EXPECT_TRUE(QFile::exists(appPath(QStringLiteral("kept.qts"))));
    EXPECT_TRUE(window->document().filePath().isEmpty());
    EXPECT_FALSE(w.chkConnQUOR->isChecked());
    EXPECT_FALSE(w.changed());
}

TEST_F(SaveGuard, OpenAsksFirstAndCancelChangesNothing)
{
    frmMain& w = connectedWindow();
    dialogs.answerNext(MsgAnswer::Cancel);
    w.mnuFileItem[1]->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{kPrompt});
    EXPECT_EQ(openRequests(), 0);

    dialogs.answerNext(MsgAnswer::No);
    w.mnuFileItem[1]->trigger();
    EXPECT_EQ(openRequests(), 1);

    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.chooseFileNext(appPath(QStringLiteral("before-open.qts")));
    w.mnuFileItem[1]->trigger();
    EXPECT_EQ(saveRequests(), 1);
    EXPECT_EQ(openRequests(), 2);
}

TEST_F(SaveGuard, NothingUnsavedMeansNoPrompt)
{
    frmMain& w = loadWindow();
    w.mnuFileItem[0]->trigger();
    bool cancel = false;
    w.Form_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(SaveGuard, CloseCancelKeepsTheWindowAndWritesNoSettings)
{
    frmMain& w = connectedWindow();
    w.show();
    dialogs.answerNext(MsgAnswer::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(QFile::exists(settingsPath()));
    EXPECT_NE(w.connectedController(), nullptr);

    dialogs.answerNext(MsgAnswer::No);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(QFile::exists(settingsPath()));
    EXPECT_EQ(w.connectedController(), nullptr);
    EXPECT_EQ(state.objWorkspace, nullptr);
    EXPECT_EQ(state.objEngine, nullptr);
}

TEST_F(SaveGuard, ToolbarButtonOneDoesNothingTwoOpensThreeSaves)
{
    frmMain& w = loadWindow();
    w.tbarButtons[0]->trigger();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());

    w.tbarButtons[1]->trigger();
    EXPECT_EQ(openRequests(), 1);

    w.tbarButtons[2]->trigger();
    EXPECT_EQ(saveRequests(), 1);

    // Save with a current path writes without a dialog and the title follows the path.
    AddRecentConnection(state.settings.colRecent, std::make_shared<clsCtrlParameter>());
    window->document().setFilePath(appPath(QStringLiteral("direct.qts")));
    w.tbarButtons[2]->trigger();
    EXPECT_EQ(saveRequests(), 1);
    EXPECT_TRUE(QFile::exists(window->document().filePath()));
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("Halvo2 QUOR Online Tag Editor -") + window->document().filePath());
}

TEST_F(SaveGuard, RemememberedFileThatCannotBeReadIsReportedAndTheWindowOpens)
{
    const QString missing = appPath(QStringLiteral("gone.qts"));
    QFile settings(settingsPath());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(QStringLiteral("[Setting]\r\nPath=%1\r\n").arg(missing).toUtf8());
    settings.close();

    frmMain& w = loadWindow();
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to read the file.")});
    EXPECT_FALSE(state.bLoadFailed);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -") + missing);
    EXPECT_FALSE(w.changed());
    EXPECT_GT(w.cmbProvs->count(), 0);
}

TEST_F(SaveGuard, LoadFailureStillWritesTheSettingsFile)
{
    state.ReleaseEngine();
    engine->failOn(QStringLiteral("ProviderNames"));
    auto script = engine;
    setEngineFactory([script] { return script->createEngine(); });
    Main(state);
    setEngineFactory(nullptr);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to load.")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(isMainWindowOpen());
    QFile settings(settingsPath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().startsWith("[Form]\r\nTop="));
    // The engine of the run (the fixture's own was released first) went after its workspace.
    const qsizetype workspace = engine->released.lastIndexOf(QStringLiteral("Workspace"));
    const qsizetype engineObject = engine->released.lastIndexOf(QStringLiteral("Engine"));
    EXPECT_GT(workspace, 1);
    EXPECT_GT(engineObject, workspace);
}

TEST_F(SaveGuard, SaveFinishesATagNameStillBeingTyped)
{
    frmMain& w = connectedWindow();
    w.show();
    w.cmbVars->setEditText(QStringLiteral("Speed"));
    w.cmdAddItem->click();
    AddRecentConnection(state.settings.colRecent, std::make_shared<clsCtrlParameter>());
    window->document().setFilePath(appPath(QStringLiteral("typed.qts")));

    const QModelIndex cell = w.grdItems->model()->index(0, 1);
    w.grdItems->setCurrentIndex(cell);
    w.grdItems->edit(cell);
    QWidget* editor = w.grdItems->indexWidget(cell);
    if (!editor)
        editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Pressure"));

    w.mnuFileItem[3]->trigger();
    EXPECT_EQ(w.grdItems->TextMatrix(1, 1), QStringLiteral("Pressure"));
    QFile saved(window->document().filePath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Tag1=Pressure,Speed,"));
    EXPECT_FALSE(w.changed());
}
