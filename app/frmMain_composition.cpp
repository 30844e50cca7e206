#include "app/OptionButton.h"
#include "app/TwipsGeometry.h"
#include "app/frmMain.h"
#include "platform/ObjectNames.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>

namespace {

QString indexedName(const char* arrayName, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(arrayName)).arg(index);
}

QFrame* newFrame(QWidget* parent, const char* name, const TwipsRect& rect)
{
    auto* frame = named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::NoFrame);
    setTwipsGeometry(frame, rect);
    return frame;
}

QLabel* newLabel(QWidget* parent, int index, const QString& caption, const TwipsRect& rect)
{
    auto* label = named(new QLabel(caption, parent), indexedName("lblMain", index));
    label->setForegroundRole(QPalette::WindowText);
    // Captions are drawn from the top of the label, so the field below never covers them.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTwipsGeometry(label, rect);
    return label;
}

QComboBox* newCombo(QWidget* parent, const char* name, bool editable, const QString& text,
                    const TwipsRect& rect)
{
    auto* combo = named(new QComboBox(parent), name);
    combo->setEditable(editable);
    // Entries are added by the program only; typing never adds one.
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (editable)
        combo->setEditText(text);
    setTwipsGeometry(combo, rect);
    return combo;
}

QLineEdit* newTextBox(QWidget* parent, const char* name, const QString& text, const TwipsRect& rect)
{
    auto* box = named(new QLineEdit(text, parent), name);
    setTwipsGeometry(box, rect);
    return box;
}

// A check box drawn as a push button: it stays pressed while it is on.
QPushButton* newConnectBox(QWidget* parent, const char* name, const TwipsRect& rect)
{
    auto* box = named(new QPushButton(QStringLiteral("Connect"), parent), name);
    box->setCheckable(true);
    setTwipsGeometry(box, rect);
    return box;
}

QPushButton* newCommandButton(QWidget* parent, const char* name, const QString& caption,
                              const TwipsRect& rect)
{
    auto* button = named(new QPushButton(caption, parent), name);
    setTwipsGeometry(button, rect);
    return button;
}

QRadioButton* newOption(QWidget* parent, const char* arrayName, int index, const QString& caption,
                        const TwipsRect& rect)
{
    auto* option = named(new OptionButton(caption, parent), indexedName(arrayName, index));
    setTwipsGeometry(option, rect);
    return option;
}

} // namespace

void frmMain::createMenus()
{
    mnuFile = named(menuBar()->addMenu(QStringLiteral("&File")), QStringLiteral("mnuFile"));
    const struct
    {
        const char* caption;
        QKeySequence shortcut;
    } fileItems[] = {
        {"&New", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"&Open", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"-", QKeySequence()},
        {"&Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"Save &As...", QKeySequence()},
        {"-", QKeySequence()},
        {"E&xit", QKeySequence()},
    };
    for (int i = 0; i < int(mnuFileItem.size()); ++i) {
        const QString caption = QString::fromLatin1(fileItems[i].caption);
        QAction* item = caption == QLatin1String("-") ? mnuFile->addSeparator() : mnuFile->addAction(caption);
        item->setObjectName(indexedName("mnuFileItem", i));
        item->setShortcut(fileItems[i].shortcut);
        mnuFileItem[i] = item;
    }
    createCsvMenuItems();

    mnuEdit = named(menuBar()->addMenu(QStringLiteral("&Edit")), QStringLiteral("mnuEdit"));
    createEditItems();
    mnuEdit->addSeparator();
    mnuEditWriteValue =
        named(mnuEdit->addAction(QStringLiteral("&Write Value...")), QStringLiteral("mnuEditWriteValue"));
    // Until the engine tells that the current row's variable can be written.
    mnuEditWriteValue->setEnabled(false);
    mnuEditAddVariables =
        named(mnuEdit->addAction(QStringLiteral("Add &Variables...")), QStringLiteral("mnuEditAddVariables"));
    mnuEditAddVariables->setShortcut(QKeySequence(Qt::Key_Insert));
    // Like Add, it waits for a connection.
    mnuEditAddVariables->setEnabled(false);
    mnuEdit->addSeparator();
    createSeriesItems();

    mnuHelp = named(menuBar()->addMenu(QStringLiteral("&Help")), QStringLiteral("mnuHelp"));
    mnuHelpItem[0] = mnuHelp->addAction(QStringLiteral("&Version..."));
    mnuHelpItem[0]->setObjectName(indexedName("mnuHelpItem", 0));

    createViewMenu();
    createToolsMenu();
}

void frmMain::createToolbar()
{
    tbarMain = named(new QToolBar(client), QStringLiteral("tbarMain"));
    tbarMain->setMovable(false);
    tbarMain->setFloatable(false);
    tbarMain->setIconSize(QSize(16, 16));
    tbarMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    setTwipsGeometry(tbarMain, 0, 0, 9510, 360);
    // Button 1 has neither image nor tool tip; 2 and 3 get their images at load.
    const char* toolTips[] = {"", "Open", "Save"};
    for (int i = 0; i < int(tbarButtons.size()); ++i) {
        QAction* button = tbarMain->addAction(QString());
        button->setObjectName(QStringLiteral("tbarMain_%1").arg(i + 1));
        button->setToolTip(QString::fromLatin1(toolTips[i]));
        tbarButtons[i] = button;
    }
}

void frmMain::createGeneralFrame()
{
    fraGeneral = newFrame(client, "fraGeneral", {150, 375, 9255, 1695});
    lblMain[9] = newLabel(fraGeneral, 9, QStringLiteral("Controller :  "), {1140, 240, 855, 300});
    lblMain[0] = newLabel(fraGeneral, 0, QStringLiteral("Provider :  "), {2640, 240, 855, 300});
    lblMain[1] = newLabel(fraGeneral, 1, QStringLiteral("Machine :  "), {4860, 240, 855, 300});
    lblMain[2] = newLabel(fraGeneral, 2, QStringLiteral("Option :  "), {6360, 240, 855, 300});
    optProvider[0] = newOption(fraGeneral, "optProvider", 0, QStringLiteral("QUOR"), {225, 480, 975, 300});
    cmbCtrl = newCombo(fraGeneral, "cmbCtrl", true, QString(), {1140, 450, 1455, 300});
    cmbProvs = newCombo(fraGeneral, "cmbProvs", true, QStringLiteral("[Select]"), {2640, 450, 2175, 300});
    txtMachine = newTextBox(fraGeneral, "txtMachine", QString(), {4875, 480, 1455, 300});
    txtOption = newTextBox(fraGeneral, "txtOption", QString(), {6360, 480, 1455, 300});
    chkConnQUOR = newConnectBox(fraGeneral, "chkConnQUOR", {7875, 480, 1215, 300});
    lblMain[3] = newLabel(fraGeneral, 3, QStringLiteral("Option :  "), {1920, 960, 855, 300});
    lblMain[4] = newLabel(fraGeneral, 4, QStringLiteral("Controller : "), {6840, 960, 1095, 300});
    optProvider[1] =
        newOption(fraGeneral, "optProvider", 1, QStringLiteral("QuorSQL (TULO)"), {240, 1200, 1455, 300});
    cmbConn = newCombo(fraGeneral, "cmbConn", true, QString(), {1920, 1200, 3495, 300});
    cmbConn->setToolTip(QStringLiteral("Conn=eth:<IP Address>:<Port No>"));
    chkConnTULO = newConnectBox(fraGeneral, "chkConnTULO", {5460, 1200, 1215, 300});
    cmbCtrls = newCombo(fraGeneral, "cmbCtrls", false, QString(), {6840, 1200, 2265, 300});
}

void frmMain::createBrakkaFrame()
{
    fraBRAKKA = newFrame(client, "fraBRAKKA", {150, 2085, 9255, 795});
    optLyra[0] = newOption(fraBRAKKA, "optLyra", 0, QStringLiteral("Lyra7"), {240, 240, 855, 375});
    optLyra[1] = newOption(fraBRAKKA, "optLyra", 1, QStringLiteral("Lyra8"), {1200, 240, 855, 375});
    optLyra[1]->setChecked(true);
    lblMain[5] = newLabel(fraBRAKKA, 5, QStringLiteral("Server :  "), {2040, 330, 855, 300});
    cmbServer = newCombo(fraBRAKKA, "cmbServer", true, QString(), {2880, 300, 2655, 300});
    cmbServer->setToolTip(QStringLiteral("[For Lyra7] eth:<IP Adress> / [For Lyra8] <IP Address>"));
    lblMain[6] = newLabel(fraBRAKKA, 6, QStringLiteral("Timeout (ms) :  "), {5640, 330, 1335, 300});
    txtTimeout = newTextBox(fraBRAKKA, "txtTimeout", QStringLiteral("3000"), {6960, 300, 855, 300});
    chkConnBRAKKA = newConnectBox(fraBRAKKA, "chkConnBRAKKA", {7875, 300, 1215, 300});
}

void frmMain::createItemFrame()
{
    fraItem = newFrame(client, "fraItem", {150, 2925, 9255, 1215});
    lblMain[7] = newLabel(fraItem, 7, QStringLiteral("Variable Name :  "), {240, 390, 1335, 300});
    cmbVars = newCombo(fraItem, "cmbVars", true, QStringLiteral("[Select]"), {1560, 360, 2655, 300});
    lblMain[8] = newLabel(fraItem, 8, QStringLiteral("Option :  "), {4320, 390, 735, 300});
    txtVarOpt = newTextBox(fraItem, "txtVarOpt", QString(), {5040, 360, 2775, 300});
    txtVarOpt->setToolTip(QStringLiteral("Variable Name"));
    cmdAddItem = newCommandButton(fraItem, "cmdAddItem", QStringLiteral("Add"), {7860, 360, 1215, 300});
    cmdDelete = newCommandButton(fraItem, "cmdDelete", QStringLiteral("Delete"), {7875, 720, 1215, 300});
}

void frmMain::createGrid()
{
    grdItems = named(new GridControl(m_document->table(), client), QStringLiteral("grdItems"));
    grdItems->setCols(11);
    grdItems->setRows(1);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    font.setWeight(QFont::Normal);
    grdItems->setFont(font);
    setTwipsGeometry(grdItems, 150, 4275, 9240, 1740);
}

void frmMain::createStatusBar()
{
    stbrMain = named(new QStatusBar(client), QStringLiteral("stbrMain"));
    setTwipsGeometry(stbrMain, 0, 6105, 9510, 300);
}

void frmMain::setTabOrder()
{
    // The designed tab order; labels, frames and the status bar take no focus.
    const QList<QWidget*> order = {optProvider[0], cmbCtrl,        cmbProvs,   txtMachine,  txtOption,
                                   chkConnQUOR,    optProvider[1], cmbConn,    chkConnTULO, cmbCtrls,
                                   optLyra[0],     optLyra[1],     cmbServer,  txtTimeout,  chkConnBRAKKA,
                                   cmbVars,        txtVarOpt,      cmdAddItem, cmdDelete,   grdItems};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
