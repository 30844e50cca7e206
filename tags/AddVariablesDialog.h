#pragma once

#include <QDialog>

class NameFilterModel;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListView;
class QStringListModel;
class TagTableIndex;

// Picks many variables at once: every variable of the controller in a list that a filter
// box narrows to the names containing its text (ignoring letter case), with the mark of the
// variables that already have a tag, any number of them selected (Shift, Ctrl, Ctrl+A),
// and one option text for all. OK is offered while something is selected.
class AddVariablesDialog final : public QDialog
{
    Q_OBJECT

public:
    AddVariablesDialog(const QStringList& variables, const TagTableIndex& table, const QIcon& taggedMark,
                       QWidget* parent);
    Q_DISABLE_COPY_MOVE(AddVariablesDialog)

    // The selected variables in list order.
    QStringList chosenVariables() const;
    QString optionText() const;

    QLineEdit* txtFilter = nullptr;
    QListView* lstVariables = nullptr;
    QLabel* lblSelected = nullptr;
    QLineEdit* txtOption = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void showCounts();

    QStringListModel* m_names;
    NameFilterModel* m_filter;
};
