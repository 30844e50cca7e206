#include "app/RefreshIntervalDialog.h"

#include "storage/RememberedSettings.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <cmath>

RefreshIntervalDialog::RefreshIntervalDialog(int milliseconds, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRefreshInterval"));
    setWindowTitle(QStringLiteral("Refresh Interval"));
    spnSeconds = new QDoubleSpinBox(this);
    spnSeconds->setObjectName(QStringLiteral("spnSeconds"));
    spnSeconds->setDecimals(2);
    spnSeconds->setRange(RememberedSettings::kMinRefreshIntervalMs / 1000.0,
                         RememberedSettings::kMaxRefreshIntervalMs / 1000.0);
    spnSeconds->setSingleStep(0.25);
    spnSeconds->setSuffix(QStringLiteral(" s"));
    spnSeconds->setValue(milliseconds / 1000.0);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Read the live values every:"), spnSeconds);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int RefreshIntervalDialog::milliseconds() const
{
    return static_cast<int>(std::lround(spnSeconds->value() * 1000.0));
}
