#pragma once

#include "engine/ValueCapability.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

// Writes one value to one variable of the connected controller as a test: it shows the
// variable, its type and its value now, takes a new value that must be of the variable's type,
// asks before writing, then reads the variable back and shows what the device holds or why it
// refused. Nothing of it touches the tag table.
class WriteValueDialog final : public QDialog
{
    Q_OBJECT

public:
    WriteValueDialog(std::shared_ptr<IControllerValues> values, const VariableDescription& variable,
                     const QString& controller, QWidget* parent);
    Q_DISABLE_COPY_MOVE(WriteValueDialog)

    // Asks "Write <value> to <variable> on <controller>?" and, on Yes, writes.
    void cmdWrite_Click();

    QLabel* lblVariable = nullptr;
    QLabel* lblType = nullptr;
    QLabel* lblValue = nullptr;
    QLineEdit* txtNewValue = nullptr;
    QPushButton* cmdWrite = nullptr;
    // What the write did: the value read back, or the reason it was not written.
    QLabel* lblOutcome = nullptr;

private:
    void readBack(const QString& outcome);
    void showValue(const VariableValue& value);
    void allowWrite();

    std::shared_ptr<IControllerValues> m_values;
    VariableDescription m_variable;
    QString m_controller;
    bool m_writing = false;
    // Lets answers that come after the dialog closed see that it is gone.
    std::shared_ptr<WriteValueDialog*> m_alive;
};
