#include "app/frmMain.h"
#include "tags/GridControl.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// Wires each control's event to its handler. Connect boxes and option buttons run their
// handlers on every change of state, also when the program makes the change, nested in
// the code that made it.
void frmMain::connectEvents()
{
    for (int i = 0; i < int(mnuFileItem.size()); ++i)
        connect(mnuFileItem[i], &QAction::triggered, this, [this, i] { mnuFileItem_Click(i); });
    connect(mnuHelpItem[0], &QAction::triggered, this, [this] { mnuHelpItem_Click(0); });
    for (int i = 0; i < int(tbarButtons.size()); ++i)
        connect(tbarButtons[i], &QAction::triggered, this, [this, i] { tbarMain_ButtonClick(i + 1); });

    connect(chkConnQUOR, &QPushButton::toggled, this, &frmMain::chkConnQUOR_Click);
    connect(chkConnTULO, &QPushButton::toggled, this, &frmMain::chkConnTULO_Click);
    connect(chkConnBRAKKA, &QPushButton::toggled, this, &frmMain::chkConnBRAKKA_Click);
    for (int i = 0; i < 2; ++i) {
        connect(optProvider[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optProvider_Click(i);
        });
        connect(optLyra[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optLyra_Click(i);
        });
    }

    connect(cmbCtrl, &QComboBox::activated, this, &frmMain::cmbCtrl_Click);
    connect(cmbCtrls, &QComboBox::activated, this, &frmMain::cmbCtrls_Click);
    connect(cmbServer, &QComboBox::activated, this, &frmMain::cmbServer_Click);
    connect(cmbProvs, &QComboBox::currentTextChanged, this, &frmMain::showProviderHint);

    connect(cmdAddItem, &QPushButton::clicked, this, &frmMain::cmdAddItem_Click);
    // Enter in the picker does what the Add button does (nothing while it is disabled).
    connect(cmbVars->lineEdit(), &QLineEdit::returnPressed, cmdAddItem, &QPushButton::click);
    connect(txtVarOpt, &QLineEdit::returnPressed, cmdAddItem, &QPushButton::click);
    connect(mnuEditAddVariables, &QAction::triggered, this, &frmMain::mnuEditAddVariables_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
    connect(grdItems, &GridControl::EnterCell, this, &frmMain::grdItems_EnterCell);
    connect(grdItems, &GridControl::AfterEdit, this, &frmMain::grdItems_AfterEdit);
    connectEditItems();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == cmbVarsSearch && searchPopupEvent(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}
