#pragma once

#include "platform/Dialogs.h"

// The seam's real side: Qt's message box and Qt's own widget file dialog.
class RealDialogs final : public IDialogs
{
public:
    MsgAnswer messageBox(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons, const QString& details, const QString& informative) override;
    QString fileDialog(QWidget* parent, const FileDialogRequest& request) override;
};

// The Qt name filter for a filter in the designed "Description|pattern" form.
QString qtNameFilter(const QString& designedFilter);

// Whether a chosen save target must be refused as read-only: the file itself, or the
// folder it would be created in, cannot be written.
bool isReadOnlyTarget(const QString& path);
