#include "app/ScanModbusDialog.h"
#include "app/frmMain.h"
#include "engine/modbus/ModbusEngine.h"
#include "platform/Dialogs.h"
#include "platform/ObjectNames.h"
#include "tags/TagDocument.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {

using modbus::kProviderName;
using modbus::kRtuProviderName;
const QString kMapFilter = QStringLiteral("Register map (*.csv)|*.csv|All files (*)|*");

// The option with its Map= piece (the first, keys without regard to case) naming `map`, or with
// one added at its end.
QString withMapPiece(const QString& option, const QString& map)
{
    QStringList pieces = option.split(QLatin1Char(','));
    const QString piece = QStringLiteral("Map=") + map;
    for (QString& existing : pieces) {
        if (existing.trimmed()
                .section(QLatin1Char('='), 0, 0)
                .trimmed()
                .compare(QLatin1String("Map"), Qt::CaseInsensitive) == 0) {
            existing = piece;
            return pieces.join(QLatin1Char(','));
        }
    }
    return option.trimmed().isEmpty() ? piece : option + QLatin1Char(',') + piece;
}

} // namespace

void frmMain::createToolsMenu()
{
    mnuTools = named(menuBar()->addMenu(QStringLiteral("&Tools")), "mnuTools");
    mnuToolsScanModbus =
        named(mnuTools->addAction(QStringLiteral("&Scan Modbus Device...")), "mnuToolsScanModbus");
    mnuToolsChooseMap =
        named(mnuTools->addAction(QStringLiteral("Choose Register &Map...")), "mnuToolsChooseMap");
    connect(mnuToolsScanModbus, &QAction::triggered, this, &frmMain::mnuToolsScanModbus_Click);
    connect(mnuToolsChooseMap, &QAction::triggered, this, &frmMain::mnuToolsChooseMap_Click);
}

void frmMain::mnuToolsScanModbus_Click()
{
    // One scan dialog; asked again, it comes to the front.
    if (auto* open = findChild<ScanModbusDialog*>()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new ScanModbusDialog(
        [this] {
            FileDialogRequest request;
            request.save = true;
            request.fileName = QStringLiteral("scanned.csv");
            request.filter = kMapFilter;
            request.defaultSuffix = QStringLiteral("csv");
            return chooseFile(request);
        },
        this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Taken from the connection fields, which often name the device already.
    if (cmbProvs->currentText() == kProviderName || cmbProvs->currentText() == kRtuProviderName)
        dialog->txtTarget->setText(txtMachine->text());
    dialog->show();
}

void frmMain::mnuToolsChooseMap_Click()
{
    FileDialogRequest request;
    request.filter = kMapFilter;
    const QString path = chooseFile(request);
    if (path.isEmpty())
        return;
    // Beside (or below) the tag file the map is named relative to it, so the two move together.
    QString map = QDir::cleanPath(path);
    const QString tagFile = document().filePath();
    if (!tagFile.isEmpty()) {
        const QString relative = QFileInfo(tagFile).absoluteDir().relativeFilePath(map);
        if (!relative.startsWith(QLatin1String("..")))
            map = relative;
    }
    txtOption->setText(withMapPiece(txtOption->text(), map));
}

void frmMain::showProviderHint()
{
    const QString provider = cmbProvs->currentText();
    if (provider == kProviderName)
        stbrMain->showMessage(
            QStringLiteral("Machine: host[:port]   Option: Map=<file>,Unit=<id>,Timeout=<ms>"));
    else if (provider == kRtuProviderName)
        stbrMain->showMessage(QStringLiteral("Machine: serial device (/dev/ttyUSB0)   Option: "
                                             "Map=<file>,Unit=<id>,Baud=<rate>,Parity=N|E|O,DataBits=<n>,"
                                             "StopBits=<n>,Timeout=<ms>"));
    else if (stbrMain->currentMessage().startsWith(QLatin1String("Machine: ")))
        stbrMain->clearMessage();
}
