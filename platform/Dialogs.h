#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// Every modal question of the program goes through this seam: the real one shows
// QMessageBox and QFileDialog, the tests' one answers from a script.

enum class MsgIcon
{
    Critical,
    Exclamation,
    Question,
    Information
};

enum class MsgButtons
{
    Ok,
    YesNo,
    YesNoCancel,
    // Yes and No, No the default: for questions whose Yes acts on a device.
    YesNoDefaultNo
};

enum class MsgAnswer
{
    Ok,
    Yes,
    No,
    Cancel
};

// Windows open-file-name flags whose effects the file dialogs reproduce.
namespace OfnFlags {
constexpr quint32 OverwritePrompt = 0x2;
constexpr quint32 HideReadOnly = 0x4;
constexpr quint32 NoReadOnlyReturn = 0x8000;
constexpr quint32 FileMustExist = 0x1000;
constexpr quint32 Explorer = 0x80000;
constexpr quint32 LongNames = 0x200000;
} // namespace OfnFlags

struct FileDialogRequest
{
    bool save = false;
    QString initialDirectory;
    QString fileName;
    // In the designed form "Description|pattern".
    QString filter;
    QString defaultSuffix;
    quint32 flags = 0;
};

class IDialogs
{
public:
    virtual ~IDialogs() = default;
    // `details` is the reason behind the message, shown on request below it ("" = none);
    // `informative` is shown under the text at once ("" = none).
    virtual MsgAnswer messageBox(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                                 MsgButtons buttons, const QString& details, const QString& informative) = 0;
    // The chosen full path, or "" when the user cancelled.
    virtual QString fileDialog(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The seam in use; the real dialogs unless a test installed its own.
IDialogs& dialogs();
// Installs a replacement (nullptr restores the real dialogs). The caller keeps ownership.
void setDialogs(IDialogs* replacement);

// The title every message box of the program carries.
QString applicationTitle();

// Shorthand for the common case: one message with one button.
MsgAnswer showMessage(QWidget* parent, const QString& text, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok);
// The same message with the reason behind it in the box's details.
MsgAnswer showMessageWithDetails(QWidget* parent, const QString& text, MsgIcon icon, const QString& details,
                                 MsgButtons buttons = MsgButtons::Ok);
// The same message with the failure's own words under the text, and the full reason (those
// words and what was asked for) in the details.
MsgAnswer showMessageWithReason(QWidget* parent, const QString& text, MsgIcon icon, const QString& reason,
                                const QString& details, MsgButtons buttons = MsgButtons::Ok);
