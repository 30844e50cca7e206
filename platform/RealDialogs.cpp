#include "platform/RealDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MsgAnswer fromQtAnswer(int answer, MsgButtons buttons)
{
    switch (answer) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        break;
    }
    // Closing the box with Escape or its close button.
    if (buttons == MsgButtons::YesNoCancel)
        return MsgAnswer::Cancel;
    if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoDefaultNo)
        return MsgAnswer::No;
    return MsgAnswer::Ok;
}

// The Save dialog refuses read-only targets and asks again, as the Windows dialog does
// with OFN_NOREADONLYRETURN.
class SaveFileDialog final : public QFileDialog
{
public:
    SaveFileDialog(QWidget* parent, bool refuseReadOnly)
        : QFileDialog(parent), m_refuseReadOnly(refuseReadOnly)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (m_refuseReadOnly && !files.isEmpty() && !QFileInfo(files.first()).isDir() &&
            isReadOnlyTarget(files.first())) {
            QMessageBox::warning(
                this, windowTitle(),
                QStringLiteral("%1\nThis file is set to read-only.\nTry again with a different "
                               "file name.")
                    .arg(QFileInfo(files.first()).fileName()));
            return;
        }
        QFileDialog::accept();
    }

private:
    bool m_refuseReadOnly;
};

} // namespace

QString qtNameFilter(const QString& designedFilter)
{
    const qsizetype bar = designedFilter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return designedFilter;
    const QString description = designedFilter.left(bar);
    QString patterns = designedFilter.mid(bar + 1);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // The description already shows the pattern in brackets; Qt reads the patterns from there.
    return description.contains(QLatin1Char('(')) ? description
                                                  : QStringLiteral("%1 (%2)").arg(description, patterns);
}

bool isReadOnlyTarget(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return !info.isWritable();
    return !QFileInfo(info.absolutePath()).isWritable();
}

MsgAnswer RealDialogs::messageBox(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                                  MsgButtons buttons, const QString& details, const QString& informative)
{
    QMessageBox box(toQtIcon(icon), title, text, toQtButtons(buttons), parent);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    if (!details.isEmpty())
        box.setDetailedText(details);
    if (buttons == MsgButtons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    return fromQtAnswer(box.exec(), buttons);
}

QString RealDialogs::fileDialog(QWidget* parent, const FileDialogRequest& request)
{
    SaveFileDialog dialog(parent, request.save && (request.flags & OfnFlags::NoReadOnlyReturn));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save || !(request.flags & OfnFlags::FileMustExist)
                           ? QFileDialog::AnyFile
                           : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OfnFlags::OverwritePrompt));
    dialog.setDirectory(request.initialDirectory);
    dialog.setNameFilter(qtNameFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
