#pragma once

#include "app/EngineWaitIndicator.h"
#include "tags/GridControl.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// A shown main window over the fake engine, driven through its widgets as a user would.
class ConnectFixture : public MainWindowFixture
{
protected:
    frmMain& openWindow()
    {
        frmMain& w = loadWindow();
        w.show();
        engine->calls.clear();
        return w;
    }

    // Presses a Connect box, an option button or a command button with the mouse, and waits for
    // the connect or browse it started.
    static void click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        settle(button);
    }

    // Chooses an entry of a combo box's list, which raises its click event, and waits for the
    // browse it started.
    static void choose(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        settle(combo);
    }

    // Waits for the engine answers of the window that holds `control`.
    static void settle(QWidget* control)
    {
        if (const auto* w = qobject_cast<const frmMain*>(control->window()))
            ::waitForEngine(*w);
    }

    // The progress window of an engine wait, once the wait has lasted long enough to show it.
    static QProgressDialog* shownProgress(const frmMain& w)
    {
        turnEventsUntil(
            [&w] { return w.engineWait().progressWindow() && w.engineWait().progressWindow()->isVisible(); },
            5000);
        return w.engineWait().progressWindow();
    }

    // Opens the File menu from the menu bar (and closes it again); false when it did not open.
    static bool fileMenuOpens(frmMain& w)
    {
        w.menuBar()->setActiveAction(w.mnuFile->menuAction());
        const bool opened = turnEventsUntil([&w] { return w.mnuFile->isVisible(); }, 5000);
        w.mnuFile->hide();
        return opened;
    }

    static QStringList entries(const QComboBox* combo)
    {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts.append(combo->itemText(i));
        return texts;
    }

    // Fills the QUOR way's fields.
    static void typeQuorFields(frmMain& w, const QString& controller, const QString& provider,
                               const QString& machine = QString(), const QString& option = QString())
    {
        w.cmbCtrl->setEditText(controller);
        w.cmbProvs->setEditText(provider);
        w.txtMachine->setText(machine);
        w.txtOption->setText(option);
    }

    // Asserts the disconnected state that a box shows after a refusal or a disconnect.
    static void expectBoxOff(const QPushButton* box)
    {
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(box->text(), QStringLiteral("Connect"));
    }

    static void expectBoxOn(const QPushButton* box)
    {
        EXPECT_TRUE(box->isChecked());
        EXPECT_EQ(box->text(), QStringLiteral("Disconnect"));
    }

    // The one message shown since the last clear, with its icon.
    void expectOnlyMessage(const QString& text, MsgIcon icon)
    {
        ASSERT_EQ(dialogs.texts(), QStringList{text});
        EXPECT_EQ(dialogs.shown().first().icon, icon);
        EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::Ok);
    }

    int releasedControllers() const { return int(engine->released.count(QStringLiteral("Controller"))); }
};
