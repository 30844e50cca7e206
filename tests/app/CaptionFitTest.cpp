#include "app/frmMain.h"
#include "app/modMain.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

// Every caption shows whole: its text fits the part of its control that no later control
// covers. The test program also runs in a Japanese locale and at a scale factor of 2.
namespace {

// The part of a control that the user sees: later siblings are drawn over it.
QRect visiblePart(const QWidget* control)
{
    QRect visible = control->geometry();
    const QObjectList& siblings = control->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i) {
        const auto* later = qobject_cast<const QWidget*>(siblings.at(i));
        if (!later || !later->isVisibleTo(control->parentWidget()) || !later->geometry().intersects(visible))
            continue;
        // Covered from the right or from below, whichever leaves more of it.
        QRect left = visible;
        left.setRight(later->x() - 1);
        QRect above = visible;
        above.setBottom(later->y() - 1);
        const auto area = [](const QRect& r) { return r.isValid() ? r.width() * r.height() : 0; };
        visible = area(left) >= area(above) ? left : above;
    }
    return visible.translated(-control->pos());
}

// Where the control draws its caption, in its own coordinates.
QRect captionArea(QWidget* control)
{
    if (auto* option = qobject_cast<QRadioButton*>(control)) {
        QStyleOptionButton style;
        style.initFrom(option);
        style.text = option->text();
        return option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton style;
        style.initFrom(button);
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &style, button);
    }
    return control->contentsRect();
}

class Captions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.show();
        QCoreApplication::processEvents();
    }
    AppState state;
    frmMain window{state};
};

TEST_F(Captions, EveryCaptionFitsWhereItIsSeen)
{
    QList<QWidget*> controls = {window.optProvider[0], window.optProvider[1], window.optLyra[0],
                                window.optLyra[1],     window.chkConnQUOR,    window.chkConnTULO,
                                window.chkConnBRAKKA,  window.cmdAddItem,     window.cmdDelete};
    for (QLabel* label : window.lblMain)
        controls.append(label);
    for (QWidget* control : controls) {
        const QString name = control->objectName();
        const QRect area = captionArea(control).intersected(visiblePart(control));
        const QFontMetrics metrics(control->font());
        QStringList captions;
        if (auto* label = qobject_cast<QLabel*>(control))
            captions = {label->text()};
        else
            captions = {static_cast<QAbstractButton*>(control)->text()};
        if (qobject_cast<QPushButton*>(control) && static_cast<QPushButton*>(control)->isCheckable())
            captions.append(QStringLiteral("Disconnect"));
        for (const QString& caption : captions) {
            // Trailing blanks may be cut; every visible character must show.
            const QRect text = metrics.boundingRect(caption.trimmed());
            EXPECT_LE(metrics.horizontalAdvance(caption.trimmed()), area.width())
                << name.toStdString() << " \"" << caption.toStdString() << "\" in "
                << control->font().family().toStdString();
            EXPECT_LE(text.height(), area.height()) << name.toStdString();
        }
        // Fitting never makes a caption hard to read.
        EXPECT_GE(control->font().pointSizeF(), 7.0) << name.toStdString();
        // A label's text starts at its top, where the designed place puts it.
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_TRUE(label->alignment() & Qt::AlignTop) << name.toStdString();
        }
    }
}

TEST_F(Captions, TabReachesEveryOptionButtonInItsDesignedPlace)
{
    for (bool brakka : {false, true}) {
        AppState runState;
        runState.bBRAKKAMode = brakka;
        frmMain w(runState);
        w.show();
        QCoreApplication::processEvents();
        QWidget* first = brakka ? static_cast<QWidget*>(w.optLyra[0]) : w.optProvider[0];
        QApplication::setActiveWindow(&w);
        first->setFocus(Qt::TabFocusReason);
        QStringList visited = {first->objectName()};
        for (int i = 0; i < 25; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
        }
        const QStringList expected =
            brakka ? QStringList{QStringLiteral("optLyra_0"), QStringLiteral("optLyra_1"),
                                 QStringLiteral("cmbServer")}
                   : QStringList{QStringLiteral("chkConnQUOR"), QStringLiteral("optProvider_1"),
                                 QStringLiteral("cmbConn")};
        EXPECT_GE(visited.indexOf(expected.at(1)), 0) << visited.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(visited.indexOf(expected.at(1)) - 1, visited.indexOf(expected.at(0)))
            << visited.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
