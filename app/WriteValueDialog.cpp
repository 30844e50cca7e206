#include "app/WriteValueDialog.h"

#include "engine/ValueText.h"
#include "platform/Dialogs.h"
#include "platform/ObjectNames.h"
#include "tags/LiveColumnsModel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

// Lets through only what is, or may still become, a value of the variable's type.
class TypedValueValidator final : public QValidator
{
public:
    TypedValueValidator(QString type, QObject* parent) : QValidator(parent), m_type(std::move(type)) {}

    State validate(QString& input, int&) const override
    {
        switch (ValueText::fitOf(m_type, input)) {
        case ValueText::Fit::Value:
            return Acceptable;
        case ValueText::Fit::Partial:
            return Intermediate;
        case ValueText::Fit::Never:
            break;
        }
        return Invalid;
    }

private:
    QString m_type;
};

// A callback that runs only while the dialog lives.
template <typename Arg, typename Body>
auto whileAlive(const std::shared_ptr<WriteValueDialog*>& alive, Body body)
{
    return [weak = std::weak_ptr<WriteValueDialog*>(alive), body](Arg arg) {
        if (const auto dialog = weak.lock())
            body(**dialog, std::move(arg));
    };
}

} // namespace

WriteValueDialog::WriteValueDialog(std::shared_ptr<IControllerValues> values,
                                   const VariableDescription& variable, const QString& controller,
                                   QWidget* parent)
    : QDialog(parent), m_values(std::move(values)), m_variable(variable), m_controller(controller),
      m_alive(std::make_shared<WriteValueDialog*>(this))
{
    setObjectName(QStringLiteral("dlgWriteValue"));
    setWindowTitle(QStringLiteral("Write Value"));
    lblVariable = named(new QLabel(variable.name, this), "lblVariable");
    lblType = named(new QLabel(variable.type, this), "lblType");
    lblValue = named(new QLabel(this), "lblValue");
    txtNewValue = named(new QLineEdit(this), "txtNewValue");
    txtNewValue->setValidator(new TypedValueValidator(variable.type, txtNewValue));
    lblOutcome = named(new QLabel(this), "lblOutcome");
    lblOutcome->setWordWrap(true);
    auto* buttons = named(new QDialogButtonBox(QDialogButtonBox::Close, this), "buttons");
    cmdWrite = named(buttons->addButton(QStringLiteral("&Write"), QDialogButtonBox::ActionRole), "cmdWrite");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Variable:"), lblVariable);
    form->addRow(QStringLiteral("Type:"), lblType);
    form->addRow(QStringLiteral("Value:"), lblValue);
    form->addRow(QStringLiteral("&New value:"), txtNewValue);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblOutcome);
    layout->addWidget(buttons);

    connect(txtNewValue, &QLineEdit::textChanged, this, &WriteValueDialog::allowWrite);
    connect(cmdWrite, &QPushButton::clicked, this, &WriteValueDialog::cmdWrite_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    allowWrite();
    txtNewValue->setFocus();
    readBack(QString());
}

void WriteValueDialog::cmdWrite_Click()
{
    const std::optional<QVariant> value = ValueText::parse(m_variable.type, txtNewValue->text());
    if (!value || m_writing)
        return;
    const QString question = QStringLiteral("Write %1 to %2 on %3?")
                                 .arg(txtNewValue->text().trimmed(), m_variable.name, m_controller);
    if (showMessage(this, question, MsgIcon::Question, MsgButtons::YesNoDefaultNo) != MsgAnswer::Yes)
        return;
    m_writing = true;
    allowWrite();
    lblOutcome->setText(QStringLiteral("Writing..."));
    m_values->write(m_variable.name, *value,
                    whileAlive<WriteOutcome>(m_alive, [](WriteValueDialog& dialog, WriteOutcome outcome) {
                        dialog.m_writing = false;
                        dialog.allowWrite();
                        if (!outcome.written) {
                            dialog.lblOutcome->setText(QStringLiteral("Not written: %1").arg(outcome.reason));
                            return;
                        }
                        dialog.readBack(QStringLiteral("Written; read back: %1"));
                    }));
}

void WriteValueDialog::readBack(const QString& outcome)
{
    if (outcome.isEmpty())
        lblValue->setText(QStringLiteral("reading..."));
    m_values->read({m_variable.name},
                   whileAlive<QList<VariableValue>>(
                       m_alive, [outcome](WriteValueDialog& dialog, QList<VariableValue> read) {
                           if (read.isEmpty())
                               return;
                           dialog.showValue(read.first());
                           if (!outcome.isEmpty())
                               dialog.lblOutcome->setText(outcome.arg(dialog.lblValue->text()));
                       }));
}

void WriteValueDialog::showValue(const VariableValue& value)
{
    lblValue->setText(value.status == VariableValue::Status::Good ? LiveColumnsModel::valueText(value)
                                                                  : statusText(value));
    if (lblType->text().isEmpty())
        lblType->setText(value.type);
}

void WriteValueDialog::allowWrite()
{
    cmdWrite->setEnabled(!m_writing && txtNewValue->hasAcceptableInput());
}
