#include "app/TwipsGeometry.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "tags/GridControl.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

template <typename T>
T* control(QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class Composition : public ::testing::Test
{
protected:
    AppState state;
    frmMain window{state};
};

} // namespace

TEST_F(Composition, ControlsSitInTheirFramesWithTheirDesignedGeometryAndTexts)
{
    auto* cmbProvs = control<QComboBox>(window, "cmbProvs");
    EXPECT_EQ(cmbProvs->parentWidget(), control<QFrame>(window, "fraGeneral"));
    EXPECT_EQ(twipsGeometry(cmbProvs), (TwipsRect{2640, 450, 2175, 300}));
    EXPECT_EQ(cmbProvs->currentText(), QStringLiteral("[Select]"));
    EXPECT_TRUE(cmbProvs->isEditable());

    auto* cmbCtrls = control<QComboBox>(window, "cmbCtrls");
    EXPECT_FALSE(cmbCtrls->isEditable());

    auto* txtTimeout = control<QLineEdit>(window, "txtTimeout");
    EXPECT_EQ(txtTimeout->parentWidget(), control<QFrame>(window, "fraBRAKKA"));
    EXPECT_EQ(txtTimeout->text(), QStringLiteral("3000"));
    EXPECT_EQ(twipsGeometry(txtTimeout), (TwipsRect{6960, 300, 855, 300}));

    auto* cmdDelete = control<QPushButton>(window, "cmdDelete");
    EXPECT_EQ(cmdDelete->parentWidget(), control<QFrame>(window, "fraItem"));
    EXPECT_EQ(twipsGeometry(cmdDelete), (TwipsRect{7875, 720, 1215, 300}));

    EXPECT_EQ(control<QLabel>(window, "lblMain_9")->text(), QStringLiteral("Controller :  "));
    EXPECT_EQ(control<QLabel>(window, "lblMain_4")->text(), QStringLiteral("Controller : "));
    EXPECT_EQ(control<QLabel>(window, "lblMain_6")->text(), QStringLiteral("Timeout (ms) :  "));
    EXPECT_EQ(control<QLabel>(window, "lblMain_7")->text(), QStringLiteral("Variable Name :  "));
    EXPECT_EQ(control<QComboBox>(window, "cmbConn")->toolTip(),
              QStringLiteral("Conn=eth:<IP Address>:<Port No>"));
    EXPECT_EQ(control<QComboBox>(window, "cmbServer")->toolTip(),
              QStringLiteral("[For Lyra7] eth:<IP Adress> / [For Lyra8] <IP Address>"));
    EXPECT_EQ(control<QLineEdit>(window, "txtVarOpt")->toolTip(), QStringLiteral("Variable Name"));
    EXPECT_EQ(twipsGeometry(control<GridControl>(window, "grdItems")), (TwipsRect{150, 4275, 9240, 1740}));
}

TEST_F(Composition, ConnectBoxesAreCheckablePushButtonsAndOptionsStartAsDesigned)
{
    for (const char* name : {"chkConnQUOR", "chkConnTULO", "chkConnBRAKKA"}) {
        auto* box = control<QPushButton>(window, name);
        EXPECT_TRUE(box->isCheckable()) << name;
        EXPECT_FALSE(box->isChecked()) << name;
        EXPECT_EQ(box->text(), QStringLiteral("Connect")) << name;
    }
    EXPECT_FALSE(control<QRadioButton>(window, "optProvider_0")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(window, "optProvider_1")->isChecked());
    EXPECT_EQ(control<QRadioButton>(window, "optProvider_1")->text(), QStringLiteral("QuorSQL (TULO)"));
    EXPECT_FALSE(control<QRadioButton>(window, "optLyra_0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, "optLyra_1")->isChecked());
}

TEST_F(Composition, TabOrderFollowsTheDesign)
{
    const char* order[] = {"optProvider_0", "cmbCtrl",       "cmbProvs",   "txtMachine",  "txtOption",
                           "chkConnQUOR",   "optProvider_1", "cmbConn",    "chkConnTULO", "cmbCtrls",
                           "optLyra_0",     "optLyra_1",     "cmbServer",  "txtTimeout",  "chkConnBRAKKA",
                           "cmbVars",       "txtVarOpt",     "cmdAddItem", "cmdDelete",   "grdItems"};
    for (size_t i = 1; i < std::size(order); ++i) {
        QWidget* previous = control<QWidget>(window, order[i - 1]);
        QWidget* next = previous->nextInFocusChain();
        // Labels, frames and inner widgets (a combo box's line edit) take no tab stop of their own.
        while (next && (!(next->focusPolicy() & Qt::TabFocus) || next->parentWidget() == previous))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, control<QWidget>(window, order[i])) << order[i - 1] << " -> " << order[i];
    }
}

TEST_F(Composition, MenusCarryTheirAccessKeysAndShortcuts)
{
    EXPECT_EQ(window.mnuFile->title(), QStringLiteral("&File"));
    EXPECT_EQ(window.mnuHelp->title(), QStringLiteral("&Help"));
    const char* captions[] = {"&New", "&Open", "", "&Save", "Save &As...", "", "E&xit"};
    for (int i = 0; i < 7; ++i) {
        QAction* item = window.findChild<QAction*>(QStringLiteral("mnuFileItem_%1").arg(i));
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->isSeparator(), i == 2 || i == 5) << i;
        if (!item->isSeparator()) {
            EXPECT_EQ(item->text(), QString::fromLatin1(captions[i])) << i;
        }
    }
    EXPECT_EQ(window.mnuFileItem[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(window.mnuFileItem[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(window.mnuFileItem[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_TRUE(window.mnuFileItem[4]->shortcut().isEmpty());
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("mnuHelpItem_0"))->text(),
              QStringLiteral("&Version..."));
}

TEST_F(Composition, ToolbarGetsItsImagesOnlyAtLoad)
{
    QAction* b1 = window.findChild<QAction*>(QStringLiteral("tbarMain_1"));
    QAction* b2 = window.findChild<QAction*>(QStringLiteral("tbarMain_2"));
    QAction* b3 = window.findChild<QAction*>(QStringLiteral("tbarMain_3"));
    ASSERT_TRUE(b1 && b2 && b3);
    EXPECT_TRUE(b2->icon().isNull());
    window.SetToolbarImages();
    EXPECT_TRUE(b1->icon().isNull());
    EXPECT_FALSE(b2->icon().isNull());
    EXPECT_FALSE(b3->icon().isNull());
    EXPECT_TRUE(b1->toolTip().isEmpty());
    EXPECT_EQ(b2->toolTip(), QStringLiteral("Open"));
    EXPECT_EQ(b3->toolTip(), QStringLiteral("Save"));
    EXPECT_EQ(window.ilQuorTagEditor.size(), 2);
    EXPECT_EQ(window.ilQuorTagEditor.at(0).availableSizes().value(0), QSize(16, 16));
}

TEST_F(Composition, WindowHasItsTitleAndFourIconSizes)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor"));
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    for (int s : {48, 32, 24, 16})
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
    // Each size is decoded when asked for; one between the files comes from the next larger.
    for (int s : {16, 20, 48, 64}) {
        const QImage image = window.windowIcon().pixmap(s, s).toImage();
        EXPECT_EQ(image.size(), QSize(s, s)) << s;
        EXPECT_NE(image.pixel(s / 2, s / 2), image.pixel(0, 0)) << s; // not a blank square
    }
}

TEST(WindowLayout, RunModeChoosesTheVisibleConnectionFrame)
{
    for (bool brakka : {false, true}) {
        AppState state;
        state.bBRAKKAMode = brakka;
        frmMain window(state);
        window.show();
        window.resize(window.width() + 150, window.height() + 60);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.fraGeneral->isVisible(), !brakka);
        EXPECT_EQ(window.fraBRAKKA->isVisible(), brakka);
        EXPECT_EQ(twipsGeometry(window.fraBRAKKA).top, 375);
        EXPECT_EQ(twipsGeometry(window.fraItem).top, brakka ? 1230 : 2130);
        // 150 extra pixels of width are 2250 twips.
        EXPECT_EQ(twipsGeometry(window.grdItems).width, 9240 + 2250);
    }
}

TEST(WindowLayout, TheWindowStopsAtTheSizeWhereTheLayoutStillApplies)
{
    AppState state;
    frmMain window(state);
    window.show();
    window.resize(window.width() + 100, window.height() + 50);
    QCoreApplication::processEvents();
    window.resize(window.width() - 300, window.height() - 200);
    QCoreApplication::processEvents();
    // The designed client area is the smallest: there the layout gives the worked design values.
    EXPECT_EQ(window.client->size(), QSize(634, 427));
    EXPECT_EQ(twipsGeometry(window.grdItems), (TwipsRect{150, 3465, 9240, 2580}));
    EXPECT_TRUE(window.fraGeneral->isVisible());
    EXPECT_FALSE(window.fraBRAKKA->isVisible());
}
