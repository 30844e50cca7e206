#pragma once

#include "tags/TagPicking.h"

#include <QDialog>
#include <QIcon>
#include <QTreeView>
#include <memory>

class IControllerValues;
class NameFilterModel;
class QAbstractItemView;
class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class TagTableIndex;
class ValuePoller;
class VariableListModel;
class VariableTreeModel;

// Picks many variables at once: every variable of the controller in a list that a filter
// box narrows to the names containing its text (ignoring letter case), with the mark of the
// variables that already have a tag, any number of them selected (Shift, Ctrl, Ctrl+A),
// one option text for all, and a choice to name the tags after their variables. OK is offered while something
// is selected. Beside the list, a tree shows the names split at their dots; there, a chosen branch chooses
// the variables under it that the filter shows. Where the engine offers values, both show the live value of
// the variables in view and what the engine tells of each: type, access and address.
class AddVariablesDialog final : public QDialog
{
    Q_OBJECT

public:
    // `values`: the connected controller's live values; none when its engine offers none.
    AddVariablesDialog(const QStringList& variables, const TagTableIndex& table, const QIcon& taggedMark,
                       QWidget* parent, std::shared_ptr<IControllerValues> values = nullptr);
    ~AddVariablesDialog() override;
    Q_DISABLE_COPY_MOVE(AddVariablesDialog)

    // The chosen variables of the list or the tree, whichever is shown, in list order.
    QStringList chosenVariables() const;
    QString optionText() const;
    // How the new tags are named: as Add names them, or after their variables.
    TagNaming naming() const;
    bool treeShown() const;
    // The list model with the values and descriptions.
    const VariableListModel& variables() const { return *m_names; }

    QLineEdit* txtFilter = nullptr;
    // The list (tab 0) and the tree (tab 1).
    QTabWidget* tabVariables = nullptr;
    QTreeView* lstVariables = nullptr;
    QTreeView* trvVariables = nullptr;
    QLabel* lblSelected = nullptr;
    QLineEdit* txtOption = nullptr;
    QCheckBox* chkNameAfterVariables = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void createTree();
    void showTree();
    void showCounts();
    void setFilterText(const QString& text);
    QList<int> chosenRows() const;
    QList<int> chosenTreeRows() const;
    // The live values: the variables in view are the ones read.
    void startValues(std::shared_ptr<IControllerValues> values);
    void followView();
    QStringList namesInView() const;

    const TagTableIndex& m_table;
    QIcon m_mark;
    VariableListModel* m_names;
    NameFilterModel* m_filter;
    VariableTreeModel* m_tree = nullptr;
    NameFilterModel* m_treeFilter = nullptr;
    ValuePoller* m_poller = nullptr;
    bool m_viewFollowScheduled = false;
};
