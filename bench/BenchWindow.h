#pragma once

#include "app/frmMain.h"
#include "platform/Dialogs.h"
#include "tags/GridControl.h"

#include <QCoreApplication>
#include <memory>

// The main window of the widget benchmarks: shown, its tag table set up and Add enabled as
// after a connection. Message boxes are answered without showing: Yes, or OK where that is
// the only button.
class BenchWindow
{
public:
    BenchWindow()
    {
        setDialogs(&m_dialogs);
        m_window = std::make_unique<frmMain>(state);
        m_window->InitItemGrid();
        m_window->EnableItemButtons(true);
        m_window->show();
    }
    ~BenchWindow()
    {
        m_window.reset();
        setDialogs(nullptr);
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    frmMain& window() { return *m_window; }
    GridControl& grid() { return *m_window->grdItems; }
    qint64 boxesShown() const { return m_dialogs.shown; }
    // Lets the window do its pending layout and painting, as the event loop does after a command.
    static void settle() { QCoreApplication::processEvents(); }

private:
    class AnswerYes final : public IDialogs
    {
    public:
        MsgAnswer messageBox(QWidget*, const QString&, const QString&, MsgIcon, MsgButtons buttons,
                             const QString&, const QString&) override
        {
            ++shown;
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
        }
        QString fileDialog(QWidget*, const FileDialogRequest&) override { return {}; }
        qint64 shown = 0;
    };

    AnswerYes m_dialogs;
    AppState state;
    std::unique_ptr<frmMain> m_window;
};
