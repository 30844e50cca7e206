#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QDialogButtonBox;

// Asks how often the live values are read: 0.25 s to 60 s, in steps of a quarter second.
class RefreshIntervalDialog final : public QDialog
{
    Q_OBJECT

public:
    RefreshIntervalDialog(int milliseconds, QWidget* parent);
    Q_DISABLE_COPY_MOVE(RefreshIntervalDialog)

    int milliseconds() const;

    QDoubleSpinBox* spnSeconds = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
