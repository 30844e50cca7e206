#pragma once

#include "platform/Dialogs.h"
#include "tests/support/QtPrinters.h"

#include <QList>
#include <QQueue>
#include <QString>

// The tests' side of the dialog seam: answers message boxes and file dialogs from a
// script and records everything that was shown. Installs itself while it lives.
class ScriptedDialogs final : public IDialogs
{
public:
    struct Shown
    {
        QString title;
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
        QString details;
        // What the box showed under the text.
        QString informative;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The answer to the next message box; without one, boxes answer Ok (or Cancel /
    // No when the box has no Ok button).
    void answerNext(MsgAnswer answer) { m_answers.enqueue(answer); }
    // The path the next file dialog returns ("" = cancelled); without one, dialogs cancel.
    void chooseFileNext(const QString& path) { m_files.enqueue(path); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    const QList<FileDialogRequest>& fileRequests() const { return m_fileRequests; }
    void clear();

    MsgAnswer messageBox(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons, const QString& details, const QString& informative) override;
    QString fileDialog(QWidget* parent, const FileDialogRequest& request) override;

private:
    QQueue<MsgAnswer> m_answers;
    QQueue<QString> m_files;
    QList<Shown> m_shown;
    QList<FileDialogRequest> m_fileRequests;
};
