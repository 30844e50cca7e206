#include "app/SeriesDialog.h"

#include "platform/Dialogs.h"
#include "platform/ObjectNames.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The counter's start and step stay well inside what a name can show.
constexpr int kCounterLimit = 999999;
// A tag setting file numbers at most this many tags.
constexpr int kMostCopies = 32766;

QSpinBox* newCounterBox(QWidget* parent, const char* name, int value, int lowest)
{
    auto* box = named(new QSpinBox(parent), name);
    box->setRange(lowest, kCounterLimit);
    box->setValue(value);
    return box;
}

} // namespace

SeriesDialog::SeriesDialog(Kind kind, qint32 selectedRows, Apply apply, QWidget* parent)
    : QDialog(parent), m_apply(std::move(apply))
{
    const bool fill = kind == Kind::Fill;
    setObjectName(fill ? QStringLiteral("dlgFillSeries") : QStringLiteral("dlgDuplicateRows"));
    setWindowTitle(fill ? QStringLiteral("Fill Series") : QStringLiteral("Duplicate Rows"));
    auto* lblHint = named(new QLabel(this), "lblHint");
    lblHint->setWordWrap(true);
    lblHint->setText(
        QStringLiteral("%1 selected %2. In the patterns {n} is the counter ({n:03} with three digits) and "
                       "{var} the row's variable as a tag name can hold it. An empty variable pattern "
                       "keeps the variables.")
            .arg(selectedRows)
            .arg(selectedRows == 1 ? QStringLiteral("row") : QStringLiteral("rows")));
    txtTagPattern = named(new QLineEdit(QStringLiteral("Tag{n}"), this), "txtTagPattern");
    txtVariablePattern = named(new QLineEdit(this), "txtVariablePattern");
    spnStart = newCounterBox(this, "spnStart", 1, -kCounterLimit);
    spnStep = newCounterBox(this, "spnStep", 1, -kCounterLimit);
    auto* buttons =
        named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "buttons");
    cmdOK = named(buttons->button(QDialogButtonBox::Ok), "cmdOK");

    auto* form = new QFormLayout;
    if (!fill) {
        spnCopies = named(new QSpinBox(this), "spnCopies");
        spnCopies->setRange(1, kMostCopies);
        form->addRow(QStringLiteral("&Copies:"), spnCopies);
    }
    form->addRow(QStringLiteral("&Tag name pattern:"), txtTagPattern);
    form->addRow(QStringLiteral("&Variable pattern:"), txtVariablePattern);
    form->addRow(QStringLiteral("&Start:"), spnStart);
    form->addRow(QStringLiteral("St&ep:"), spnStep);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHint);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &SeriesDialog::cmdOK_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    txtTagPattern->selectAll();
    txtTagPattern->setFocus();
}

void SeriesDialog::cmdOK_Click()
{
    const SeriesRequest request{txtTagPattern->text(), txtVariablePattern->text(), spnStart->value(),
                                spnStep->value()};
    const std::optional<QString> refusal = m_apply(request, spnCopies ? spnCopies->value() : 1);
    if (refusal) {
        showMessage(this, *refusal, MsgIcon::Exclamation);
        return;
    }
    accept();
}
