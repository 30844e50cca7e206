#include "tests/support/ScriptedDialogs.h"

ScriptedDialogs::ScriptedDialogs()
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(nullptr);
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown& s : m_shown)
        result.append(s.text);
    return result;
}

void ScriptedDialogs::clear()
{
    m_answers.clear();
    m_files.clear();
    m_shown.clear();
    m_fileRequests.clear();
}

MsgAnswer ScriptedDialogs::messageBox(QWidget*, const QString& title, const QString& text, MsgIcon icon,
                                      MsgButtons buttons, const QString& details, const QString& informative)
{
    m_shown.append(Shown{title, text, icon, buttons, details, informative});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
        return MsgAnswer::No;
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Cancel;
    }
    return MsgAnswer::Ok;
}

QString ScriptedDialogs::fileDialog(QWidget*, const FileDialogRequest& request)
{
    m_fileRequests.append(request);
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}
