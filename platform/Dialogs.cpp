#include "platform/Dialogs.h"

#include "platform/RealDialogs.h"

namespace {
IDialogs* g_replacement = nullptr;
} // namespace

IDialogs& dialogs()
{
    static RealDialogs real;
    return g_replacement ? *g_replacement : real;
}

void setDialogs(IDialogs* replacement)
{
    g_replacement = replacement;
}

QString applicationTitle()
{
    return QStringLiteral("QuorTagEditor");
}

MsgAnswer showMessage(QWidget* parent, const QString& text, MsgIcon icon, MsgButtons buttons)
{
    return dialogs().messageBox(parent, applicationTitle(), text, icon, buttons, QString(), QString());
}

MsgAnswer showMessageWithDetails(QWidget* parent, const QString& text, MsgIcon icon, const QString& details,
                                 MsgButtons buttons)
{
    return dialogs().messageBox(parent, applicationTitle(), text, icon, buttons, details, QString());
}

MsgAnswer showMessageWithReason(QWidget* parent, const QString& text, MsgIcon icon, const QString& reason,
                                const QString& details, MsgButtons buttons)
{
    return dialogs().messageBox(parent, applicationTitle(), text, icon, buttons, details, reason);
}
