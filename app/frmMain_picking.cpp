#include "app/Icons.h"
#include "app/frmMain.h"
#include "platform/ComboBoxes.h"
#include "platform/Dialogs.h"
#include "tags/AddVariablesDialog.h"
#include "tags/GridControl.h"
#include "tags/TagColumns.h"
#include "tags/TagDocument.h"
#include "tags/TagPicking.h"
#include "tags/TagTableIndex.h"
#include "tags/TaggedMarkDelegate.h"
#include "tags/VariableTextRules.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>

void frmMain::createVariablePicker()
{
    const TagTableIndex& index = m_document->index();
    const QIcon mark = Icons::taggedMark();

    // Typing into cmbVars lists the names that contain the text anywhere, in any letter
    // case; the list of cmbVars itself stays as the browsing fills it.
    auto* completer = new QCompleter(cmbVars->model(), cmbVars);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setMaxVisibleItems(10);
    auto* search = new QListView;
    completer->setPopup(search);
    search->setObjectName(QStringLiteral("cmbVarsSearch"));
    search->setUniformItemSizes(true);
    search->setItemDelegate(new TaggedMarkDelegate(index, mark, search));
    // Installed after the completer's own filter, so it sees the keys first.
    search->installEventFilter(this);
    cmbVarsSearch = search;
    cmbVars->setCompleter(completer);

    cmbVars->setItemDelegate(new TaggedMarkDelegate(index, mark, cmbVars));
    static_cast<QListView*>(cmbVars->view())->setUniformItemSizes(true);

    lblTagCount = new QLabel(stbrMain);
    lblTagCount->setObjectName(QStringLiteral("lblTagCount"));
    stbrMain->addPermanentWidget(lblTagCount);
    const TagGridModel* table = &grdItems->table();
    connect(table, &QAbstractItemModel::rowsInserted, this, &frmMain::showTagCount);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &frmMain::showTagCount);
    connect(table, &QAbstractItemModel::modelReset, this, &frmMain::showTagCount);
    // What was added is news until rows go.
    connect(table, &QAbstractItemModel::rowsRemoved, stbrMain, &QStatusBar::clearMessage);
    connect(table, &QAbstractItemModel::modelReset, stbrMain, &QStatusBar::clearMessage);
    showTagCount();
}

bool frmMain::searchPopupEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        return replayPressOutsideSearch(*static_cast<QMouseEvent*>(event));
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Taken before the completer sees it: it would put the name in once more after the Add
    // and so undo the selection of the text that the next name is typed over.
    const QModelIndex current = cmbVarsSearch->currentIndex();
    cmbVarsSearch->hide();
    if (current.isValid())
        setComboText(cmbVars, current.data(Qt::DisplayRole).toString());
    cmdAddItem->click();
    return true;
}

bool frmMain::replayPressOutsideSearch(const QMouseEvent& press)
{
    if (cmbVarsSearch->rect().contains(press.position().toPoint()))
        return false;
    // The list opens by itself while a name is typed, so a click on Add (or any control of
    // the window) must not be spent on closing it: it goes on to that control. Its release
    // would go to the closed list, so the click is given whole.
    cmbVarsSearch->hide();
    const QPointF global = press.globalPosition();
    const QPointer<QWidget> target = QApplication::widgetAt(global.toPoint());
    if (!target || target->window() != this || !target->isEnabled())
        return true;
    // A press gives the focus as a real one does: to the first control up from the one
    // under the mouse that takes the focus by click.
    for (QWidget* w = target; w && w != this; w = w->parentWidget()) {
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
            w->setFocus(Qt::MouseFocusReason);
            break;
        }
    }
    const QPointF at = target->mapFromGlobal(global);
    QMouseEvent down(QEvent::MouseButtonPress, at, global, press.button(), press.buttons(),
                     press.modifiers());
    QCoreApplication::sendEvent(target, &down);
    if (!target)
        return true;
    QMouseEvent up(QEvent::MouseButtonRelease, at, global, press.button(), press.buttons() & ~press.button(),
                   press.modifiers());
    QCoreApplication::sendEvent(target, &up);
    return true;
}

void frmMain::afterAdding(qsizetype count)
{
    grdItems->showCell(grdItems->Rows() - 1, kTagNameColumn);
    stbrMain->showMessage(tagsAddedText(count));
    cmbVars->setFocus();
    cmbVars->lineEdit()->selectAll();
}

void frmMain::showTagCount()
{
    lblTagCount->setText(tagCountText(grdItems->Rows() - 1));
}

void frmMain::mnuEditAddVariables_Click()
{
    grdItems->finishEdit();
    if (!mnuEditAddVariables->isEnabled())
        return;
    auto* dialog =
        new AddVariablesDialog(comboItems(cmbVars), m_document->index(), Icons::taggedMark(), this, m_values);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->chkNameAfterVariables->setChecked(m_addNaming == TagNaming::AfterVariable);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_addNaming = dialog->naming();
        AddVariables(dialog->chosenVariables(), dialog->optionText(), m_addNaming);
    });
    dialog->open();
}

void frmMain::AddVariables(const QStringList& variables, const QString& option, TagNaming naming)
{
    try {
        if (const std::optional<QString> problem = variableTextProblem(QString(), option)) {
            showMessage(this, *problem, MsgIcon::Exclamation);
            return;
        }
        const TagTableIndex& index = m_document->index();
        QStringList adding;
        QStringList tagged;
        std::optional<QString> refused;
        for (const QString& variable : variables) {
            // What Add would refuse is left out; text a tag cannot keep is said so.
            if (namesNoVariable(variable))
                continue;
            if (std::optional<QString> problem = variableTextProblem(variable, QString())) {
                refused = refused.value_or(*problem);
                continue;
            }
            adding.append(variable);
            if (index.isTagged(variable))
                tagged.append(variable);
        }
        if (!tagged.isEmpty()) {
            const MsgAnswer again =
                adding.size() == 1
                    ? showMessage(this, addAgainQuestion(tagged.first(), index.tagsOf(tagged.first())),
                                  MsgIcon::Question, MsgButtons::YesNo)
                    : showMessageWithDetails(this, addManyAgainQuestion(tagged.size(), adding.size()),
                                             MsgIcon::Question, addManyAgainDetails(index, tagged),
                                             MsgButtons::YesNo);
            if (again != MsgAnswer::Yes)
                adding.removeIf([&index](const QString& variable) { return index.isTagged(variable); });
        }
        if (refused)
            showMessage(this, *refused, MsgIcon::Exclamation);
        if (adding.isEmpty())
            return;
        if (doneByDocument(m_document->addTags(QStringLiteral("Add Variables"), adding, option, naming)))
            afterAdding(adding.size());
    } catch (...) {
        showMessage(this, QStringLiteral("Failed to add item."), MsgIcon::Critical);
    }
}
