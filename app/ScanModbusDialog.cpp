#include "app/ScanModbusDialog.h"

#include "app/ScanModbusCommand.h"
#include "engine/EngineError.h"
#include "engine/ModbusScanLoader.h"
#include "engine/ScanRegisterMap.h"
#include "platform/Dialogs.h"
#include "platform/ObjectNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace modbusscan;

namespace {

const Table kScanTables[] = {Table::Coil, Table::Discrete, Table::Input, Table::Holding};

QComboBox* choices(QWidget* parent, const char* name, const QStringList& items, const QString& chosen)
{
    auto* combo = named(new QComboBox(parent), name);
    combo->addItems(items);
    combo->setCurrentText(chosen);
    return combo;
}

QTableWidgetItem* fixedCell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

ScanModbusDialog::ScanModbusDialog(ChooseFile chooseMapFile, QWidget* parent)
    : QDialog(parent), m_chooseMapFile(std::move(chooseMapFile))
{
    setObjectName(QStringLiteral("frmScanModbus"));
    setWindowTitle(QStringLiteral("Scan Modbus Device"));
    auto* form = new QFormLayout;
    txtTarget = named(new QLineEdit(this), "txtTarget");
    txtTarget->setPlaceholderText(QStringLiteral("host[:port] or /dev/ttyUSB0"));
    form->addRow(QStringLiteral("&Device:"), txtTarget);
    auto* serial = new QHBoxLayout;
    cmbBaud = choices(this, "cmbBaud",
                      {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                       QStringLiteral("57600"), QStringLiteral("115200")},
                      QStringLiteral("19200"));
    cmbBaud->setEditable(true);
    cmbParity = choices(this, "cmbParity", {QStringLiteral("N"), QStringLiteral("E"), QStringLiteral("O")},
                        QStringLiteral("E"));
    cmbDataBits =
        choices(this, "cmbDataBits", {QStringLiteral("7"), QStringLiteral("8")}, QStringLiteral("8"));
    cmbStopBits =
        choices(this, "cmbStopBits", {QStringLiteral("1"), QStringLiteral("2")}, QStringLiteral("1"));
    for (QWidget* field : {static_cast<QWidget*>(cmbBaud), static_cast<QWidget*>(cmbParity),
                           static_cast<QWidget*>(cmbDataBits), static_cast<QWidget*>(cmbStopBits)})
        serial->addWidget(field);
    form->addRow(QStringLiteral("Serial &line:"), serial);
    txtUnits = named(new QLineEdit(QStringLiteral("1"), this), "txtUnits");
    txtUnits->setToolTip(QStringLiteral("A unit id, or a range such as 1-10 to find which units answer"));
    form->addRow(QStringLiteral("&Unit:"), txtUnits);
    auto* tables = new QHBoxLayout;
    const char* tableNames[] = {"chkCoil", "chkDiscrete", "chkInput", "chkHolding"};
    const char* tableCaptions[] = {"&Coils", "D&iscrete inputs", "I&nput registers", "&Holding registers"};
    for (int i = 0; i < 4; ++i) {
        auto* box = named(new QCheckBox(QString::fromLatin1(tableCaptions[i]), this), tableNames[i]);
        box->setChecked(true);
        chkTables.append(box);
        tables->addWidget(box);
    }
    form->addRow(QStringLiteral("Tables:"), tables);
    auto* range = new QHBoxLayout;
    spnFirst = named(new QSpinBox(this), "spnFirst");
    spnLast = named(new QSpinBox(this), "spnLast");
    for (QSpinBox* spin : {spnFirst, spnLast}) {
        spin->setRange(0, 65535);
        range->addWidget(spin);
    }
    spnLast->setValue(9999);
    form->addRow(QStringLiteral("&Addresses:"), range);
    spnRate = named(new QSpinBox(this), "spnRate");
    spnRate->setRange(0, 100000);
    spnRate->setValue(50);
    spnRate->setSuffix(QStringLiteral(" requests a second"));
    spnRate->setSpecialValueText(QStringLiteral("No limit"));
    form->addRow(QStringLiteral("&Rate:"), spnRate);
    chkOneAtATime = named(new QCheckBox(QStringLiteral("One address at a time"), this), "chkOneAtATime");
    form->addRow(QString(), chkOneAtATime);

    auto* buttons = new QHBoxLayout;
    cmdStart = named(new QPushButton(QStringLiteral("&Start"), this), "cmdStart");
    cmdStop = named(new QPushButton(QStringLiteral("S&top"), this), "cmdStop");
    cmdIdentify = named(new QPushButton(QStringLiteral("I&dentify"), this), "cmdIdentify");
    cmdSaveMap = named(new QPushButton(QStringLiteral("Save as Register &Map..."), this), "cmdSaveMap");
    for (QPushButton* button : {cmdStart, cmdStop, cmdIdentify, cmdSaveMap})
        buttons->addWidget(button);
    prgScan = named(new QProgressBar(this), "prgScan");
    lblProgress = named(new QLabel(this), "lblProgress");
    lblIdentity = named(new QLabel(this), "lblIdentity");
    lblIdentity->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grdResults = named(new QTableWidget(0, ColumnCount, this), "grdResults");
    grdResults->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"),
                                           QStringLiteral("Unit"), QStringLiteral("Table"),
                                           QStringLiteral("Address"), QStringLiteral("Value"),
                                           QStringLiteral("Hex"), QStringLiteral("Status")});
    grdResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdResults->horizontalHeader()->setStretchLastSection(true);
    grdResults->verticalHeader()->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(prgScan);
    layout->addWidget(lblProgress);
    layout->addWidget(lblIdentity);
    layout->addWidget(grdResults, 1);
    resize(720, 560);

    connect(cmdStart, &QPushButton::clicked, this, &ScanModbusDialog::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &ScanModbusDialog::cmdStop_Click);
    connect(cmdIdentify, &QPushButton::clicked, this, &ScanModbusDialog::cmdIdentify_Click);
    connect(cmdSaveMap, &QPushButton::clicked, this, &ScanModbusDialog::cmdSaveMap_Click);
    connect(txtTarget, &QLineEdit::textChanged, this, &ScanModbusDialog::updateSerialFields);
    setRunning(false);
    updateSerialFields();
}

// The scanner goes with the dialog: its session, and the answers still to come, with it.
ScanModbusDialog::~ScanModbusDialog() = default;

std::optional<Request> ScanModbusDialog::request()
{
    ScanOptionTexts texts;
    texts.target = txtTarget->text();
    texts.units = txtUnits->text().trimmed();
    QStringList tables;
    for (int i = 0; i < chkTables.size(); ++i) {
        if (chkTables.at(i)->isChecked())
            tables.append(tableName(kScanTables[i]));
    }
    if (tables.isEmpty()) {
        showMessage(this, QStringLiteral("Please choose at least one table."), MsgIcon::Exclamation);
        return std::nullopt;
    }
    texts.tables = tables.join(QLatin1Char(','));
    texts.range = QStringLiteral("%1-%2").arg(spnFirst->value()).arg(spnLast->value());
    texts.rate = QString::number(spnRate->value());
    if (texts.target.trimmed().startsWith(QLatin1Char('/')))
        texts.serial = QStringList{cmbBaud->currentText(), cmbDataBits->currentText(),
                                   cmbParity->currentText(), cmbStopBits->currentText()}
                           .join(QLatin1Char(','));
    QString error;
    std::optional<Request> made = scanRequestFrom(texts, error);
    if (!made) {
        // The command line's words name its options; the fields say it their way.
        const QString fault =
            texts.target.trimmed().isEmpty()
                ? QStringLiteral("Please enter the device: host[:port] or a serial device.")
            : error.startsWith(QLatin1String("--unit"))
                ? QStringLiteral(
                      "The unit must be a unit id, or a range of them such as 1-10, from 0 to 255.")
            : error.startsWith(QLatin1String("--range"))
                ? QStringLiteral("The first address must not be above the last.")
                : QStringLiteral("The serial line settings are not valid.");
        showMessage(this, fault, MsgIcon::Exclamation);
        return std::nullopt;
    }
    made->oneAtATime = chkOneAtATime->isChecked();
    return made;
}

bool ScanModbusDialog::ensureScanner()
{
    if (m_scan)
        return true;
    try {
        m_scan = createModbusScan();
        return true;
    } catch (const EngineError& e) {
        showMessageWithDetails(this, QStringLiteral("Cannot scan: the Modbus plug-in is missing."),
                               MsgIcon::Critical, e.message());
        return false;
    }
}

void ScanModbusDialog::cmdStart_Click()
{
    const std::optional<Request> made = request();
    if (!made || !ensureScanner())
        return;
    grdResults->setRowCount(0);
    m_lastRun.reset();
    prgScan->setValue(0);
    lblProgress->clear();
    setRunning(true);
    IDeviceScan::Listener listener;
    listener.result = [this](const Result& result) { addResult(result); };
    listener.progress = [this](const Progress& progress) { showProgress(progress); };
    listener.finished = [this](const Summary& summary) { finished(summary); };
    m_scan->start(*made, listener);
}

void ScanModbusDialog::cmdStop_Click()
{
    if (m_scan)
        m_scan->stop();
}

void ScanModbusDialog::cmdIdentify_Click()
{
    const std::optional<Request> made = request();
    if (!made || !ensureScanner())
        return;
    cmdIdentify->setEnabled(false);
    lblIdentity->setText(QStringLiteral("Reading the identification..."));
    m_scan->identify(*made, made->firstUnit, [this](const Identification& found) {
        cmdIdentify->setEnabled(true);
        lblIdentity->setText(found.served ? QStringLiteral("Vendor: %1    Product: %2    Revision: %3")
                                                .arg(found.vendor, found.product, found.revision)
                                          : QStringLiteral("No identification: %1").arg(found.reason));
    });
}

void ScanModbusDialog::cmdSaveMap_Click()
{
    QList<ScanMapRow> rows;
    QList<int> chosen;
    for (const QModelIndex& index : grdResults->selectionModel()->selectedRows())
        chosen.append(index.row());
    if (chosen.isEmpty()) {
        for (int row = 0; row < grdResults->rowCount(); ++row)
            chosen.append(row);
    }
    std::sort(chosen.begin(), chosen.end());
    for (const int row : chosen) {
        const QTableWidgetItem* name = grdResults->item(row, ColName);
        // Only served addresses have a name to save.
        if (!name || !(name->flags() & Qt::ItemIsEditable))
            continue;
        ScanMapRow mapRow;
        mapRow.name = name->text().trimmed();
        mapRow.type = grdResults->item(row, ColType)->text().trimmed();
        mapRow.table = Table(grdResults->item(row, ColTable)->data(Qt::UserRole).toInt());
        mapRow.address = grdResults->item(row, ColAddress)->text().toInt();
        rows.append(mapRow);
    }
    if (rows.isEmpty()) {
        showMessage(this, QStringLiteral("No served address is chosen."), MsgIcon::Exclamation);
        return;
    }
    if (const std::optional<QString> fault = scanMapFault(rows)) {
        showMessage(this, *fault, MsgIcon::Exclamation);
        return;
    }
    const QString path = m_chooseMapFile();
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = saveScanMap(path, rows))
        showMessageWithDetails(this, QStringLiteral("Failed to save the register map."), MsgIcon::Critical,
                               *failure);
}

void ScanModbusDialog::addResult(const Result& result)
{
    if (result.status != Status::Served) {
        // A run that answered as the one in the last row did, right after it, joins that row.
        if (m_lastRun && continuesRun(*m_lastRun, result)) {
            m_lastRun->last = result.last;
            grdResults->item(grdResults->rowCount() - 1, ColAddress)
                ->setText(addressRangeText(m_lastRun->first, m_lastRun->last));
            return;
        }
        m_lastRun = result;
        const int row = addRow(result, addressRangeText(result.first, result.last));
        for (const int column : {ColName, ColType, ColValue, ColHex})
            grdResults->setItem(row, column, fixedCell(QString()));
        grdResults->setItem(row, ColStatus, fixedCell(result.reason));
        return;
    }
    m_lastRun.reset();
    for (int address = result.first; address <= result.last; ++address) {
        const int row = addRow(result, QString::number(address));
        const quint16 value = result.values.value(address - result.first);
        grdResults->setItem(row, ColName, new QTableWidgetItem(defaultScanName(result.table, address)));
        grdResults->setItem(row, ColType, new QTableWidgetItem(defaultScanType(result.table)));
        grdResults->setItem(row, ColValue, fixedCell(QString::number(value)));
        grdResults->setItem(row, ColHex,
                            fixedCell(QStringLiteral("0x") +
                                      QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper()));
        grdResults->setItem(row, ColStatus, fixedCell(QStringLiteral("served")));
    }
}

int ScanModbusDialog::addRow(const Result& result, const QString& address)
{
    const int row = grdResults->rowCount();
    grdResults->insertRow(row);
    auto* table = fixedCell(tableName(result.table));
    table->setData(Qt::UserRole, int(result.table));
    grdResults->setItem(row, ColUnit, fixedCell(QString::number(result.unit)));
    grdResults->setItem(row, ColTable, table);
    grdResults->setItem(row, ColAddress, fixedCell(address));
    return row;
}

void ScanModbusDialog::showProgress(const Progress& progress)
{
    prgScan->setMaximum(int(std::min<qint64>(progress.addressesTotal, INT_MAX)));
    prgScan->setValue(int(std::min<qint64>(progress.addressesDone, INT_MAX)));
    lblProgress->setText(QStringLiteral("%1 of %2 addresses, %3 requests%4")
                             .arg(progress.addressesDone)
                             .arg(progress.addressesTotal)
                             .arg(progress.requests)
                             .arg(progress.timeLeftText()));
}

void ScanModbusDialog::finished(const Summary& summary)
{
    setRunning(false);
    switch (summary.ending) {
    case Summary::Ending::Unreachable:
        lblProgress->setText(QStringLiteral("The device cannot be reached: %1").arg(summary.reason));
        break;
    case Summary::Ending::Stopped:
        lblProgress->setText(QStringLiteral("Stopped after %1 requests.").arg(summary.requests));
        break;
    case Summary::Ending::NothingAnswered:
    case Summary::Ending::Answered: {
        QStringList units;
        for (const int unit : summary.answeringUnits)
            units.append(QString::number(unit));
        lblProgress->setText(
            QStringLiteral("Done: %1 requests in %2 ms; answering units: %3.")
                .arg(summary.requests)
                .arg(summary.elapsedMs)
                .arg(units.isEmpty() ? QStringLiteral("none") : units.join(QStringLiteral(", "))));
        break;
    }
    }
}

void ScanModbusDialog::setRunning(bool running)
{
    cmdStart->setEnabled(!running);
    cmdStop->setEnabled(running);
    cmdSaveMap->setEnabled(!running);
}

void ScanModbusDialog::updateSerialFields()
{
    const bool serial = txtTarget->text().trimmed().startsWith(QLatin1Char('/'));
    for (QWidget* field : {static_cast<QWidget*>(cmbBaud), static_cast<QWidget*>(cmbParity),
                           static_cast<QWidget*>(cmbDataBits), static_cast<QWidget*>(cmbStopBits)})
        field->setEnabled(serial);
}
