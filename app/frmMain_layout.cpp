#include "app/LayoutRules.h"
#include "app/TwipsGeometry.h"
#include "app/WindowFit.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "tags/GridControl.h"

#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

void frmMain::Form_Resize()
{
    const int clientWidth = pixelsToTwips(client->width());
    const int clientHeight = pixelsToTwips(client->height());

    // The toolbar and the status bar keep to the top and bottom edges of the client area.
    setTwipsGeometry(tbarMain, 0, 0, clientWidth, twipsGeometry(tbarMain).height);
    const int statusHeight = twipsGeometry(stbrMain).height;
    setTwipsGeometry(stbrMain, 0, clientHeight - statusHeight, clientWidth, statusHeight);

    LayoutInput in;
    in.outerWidth = clientWidth + kFrameAllowanceWidth;
    in.outerHeight = clientHeight + kFrameAllowanceHeight;
    in.clientWidth = clientWidth;
    in.clientHeight = clientHeight;
    in.brakkaMode = m_state.bBRAKKAMode;
    in.places.fraGeneral = twipsGeometry(fraGeneral);
    in.places.fraBRAKKA = twipsGeometry(fraBRAKKA);
    in.places.fraItem = twipsGeometry(fraItem);
    in.places.txtOption = twipsGeometry(txtOption);
    in.places.chkConnQUOR = twipsGeometry(chkConnQUOR);
    in.places.cmbCtrls = twipsGeometry(cmbCtrls);
    in.places.grdItems = twipsGeometry(grdItems);
    in.stbrMainHeight = statusHeight;

    const std::optional<LayoutResult> out = ComputeLayout(in);
    if (!out)
        return;
    setTwipsGeometry(fraGeneral, out->places.fraGeneral);
    setTwipsGeometry(fraBRAKKA, out->places.fraBRAKKA);
    setTwipsGeometry(fraItem, out->places.fraItem);
    setTwipsGeometry(txtOption, out->places.txtOption);
    setTwipsGeometry(chkConnQUOR, out->places.chkConnQUOR);
    setTwipsGeometry(cmbCtrls, out->places.cmbCtrls);
    setTwipsGeometry(grdItems, out->places.grdItems);
    fraGeneral->setVisible(out->generalVisible);
    fraBRAKKA->setVisible(out->brakkaVisible);
    placeTrendUnderTable();
}

void frmMain::fitIntoScreen()
{
    // What the frame adds to the window's own size: known once the window is shown, until then
    // the designed border and caption (the designed allowance holds the menu bar as well).
    const QSize frame =
        isVisible() && frameGeometry() != geometry()
            ? frameGeometry().size() - size()
            : QSize(twipsToPixels(kFrameAllowanceWidth),
                    qMax(0, twipsToPixels(kFrameAllowanceHeight) - menuBar()->sizeHint().height()));
    const QRect outer(pos(), size() + frame);
    QScreen* screen = QGuiApplication::screenAt(outer.center());
    if (!screen)
        screen = this->screen();
    const QSize minimum = minimumSizeHint().expandedTo(minimumSize()) + frame;
    const QRect fitted = FitWindowRect(outer, screen->availableGeometry(), minimum);
    move(fitted.topLeft());
    resize(fitted.size() - frame);
}
