#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

// Tools > Scan Modbus Device...: scans a device for the addresses it serves, shows what each
// answered, reads its identification, and saves the chosen results as a register map. Not
// modal: the window keeps working while a scan runs. `chooseMapFile` asks where to save.
class ScanModbusDialog final : public QDialog
{
    Q_OBJECT

public:
    using ChooseFile = std::function<QString()>;
    ScanModbusDialog(ChooseFile chooseMapFile, QWidget* parent);
    ~ScanModbusDialog() override;
    Q_DISABLE_COPY_MOVE(ScanModbusDialog)

    void cmdStart_Click();
    void cmdStop_Click();
    void cmdIdentify_Click();
    void cmdSaveMap_Click();

    // The result table's columns.
    enum Column
    {
        ColName,
        ColType,
        ColUnit,
        ColTable,
        ColAddress,
        ColValue,
        ColHex,
        ColStatus,
        ColumnCount
    };

    QLineEdit* txtTarget = nullptr;
    QComboBox* cmbBaud = nullptr;
    QComboBox* cmbParity = nullptr;
    QComboBox* cmbDataBits = nullptr;
    QComboBox* cmbStopBits = nullptr;
    QLineEdit* txtUnits = nullptr;
    QList<QCheckBox*> chkTables;
    QSpinBox* spnFirst = nullptr;
    QSpinBox* spnLast = nullptr;
    QSpinBox* spnRate = nullptr;
    QCheckBox* chkOneAtATime = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdIdentify = nullptr;
    QPushButton* cmdSaveMap = nullptr;
    QProgressBar* prgScan = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* lblIdentity = nullptr;
    QTableWidget* grdResults = nullptr;

private:
    // The request the fields make, or nullopt after saying what is wrong.
    std::optional<modbusscan::Request> request();
    bool ensureScanner();
    void addResult(const modbusscan::Result& result);
    // A new row with the result's unit and table and the address text; its index.
    int addRow(const modbusscan::Result& result, const QString& address);
    void showProgress(const modbusscan::Progress& progress);
    void finished(const modbusscan::Summary& summary);
    void setRunning(bool running);
    void updateSerialFields();

    std::unique_ptr<modbusscan::IDeviceScan> m_scan;
    ChooseFile m_chooseMapFile;
    // The run of addresses that served nothing shown in the last row, while it is the last.
    std::optional<modbusscan::Result> m_lastRun;
};
