#include "app/CaptionFit.h"
#include "app/LayoutRules.h"
#include "app/frmMain.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

namespace {

// Captions keep this far from their container's right edge, as the frames' fields do.
constexpr int kRightMarginTwips = 120;

// The rows a control draws its caption in: a label's text hangs from its top, a button's
// caption is centred in it.
QRect captionBand(const QWidget* control)
{
    QRect band = control->geometry();
    if (qobject_cast<const QLabel*>(control))
        band.setHeight(std::min(band.height(), QFontMetrics(control->font()).height()));
    return band;
}

// How far right a control may reach: up to the next control beside its caption, or the
// container's margin. A field that starts below the caption's rows does not limit it.
int roomOf(const QWidget* control)
{
    const QRect band = captionBand(control);
    int right = control->parentWidget()->width() - twipsToPixels(kRightMarginTwips);
    for (const QObject* child : control->parentWidget()->children()) {
        const auto* other = qobject_cast<const QWidget*>(child);
        if (!other || other == control)
            continue;
        const QRect g = other->geometry();
        if (g.x() > band.x() && g.top() <= band.bottom() && g.bottom() >= band.top())
            right = std::min(right, g.x());
    }
    return right - band.x();
}

// What a control takes of its width for itself (indicator, frame, margins), beside its text.
int chromeOf(QWidget* control)
{
    QStyleOptionButton style;
    style.initFrom(control);
    if (auto* option = qobject_cast<QRadioButton*>(control)) {
        style.text = option->text();
        return control->width() -
               control->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, control).width();
    }
    if (qobject_cast<QPushButton*>(control))
        return control->width() -
               control->style()->subElementRect(QStyle::SE_PushButtonContents, &style, control).width();
    return control->width() - control->contentsRect().width();
}

// The texts a control shows: a Connect box also shows "Disconnect". Blanks at the end need no room.
QStringList captionsOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return {label->text().trimmed()};
    const auto* button = static_cast<const QAbstractButton*>(control);
    if (button->isCheckable() && qobject_cast<const QPushButton*>(control))
        return {button->text(), QStringLiteral("Disconnect")};
    return {button->text()};
}

void fitCaption(QWidget* control, bool mayWiden)
{
    const int chrome = chromeOf(control);
    const QStringList captions = captionsOf(control);
    const auto neededAt = [&](qreal pointSize) {
        QFont font = control->font();
        font.setPointSizeF(pointSize);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& caption : captions)
            widest = std::max(widest, metrics.horizontalAdvance(caption));
        return chrome + widest + 1;
    };
    const int room = mayWiden ? roomOf(control) : control->width();
    const CaptionFit fit = FitCaption(control->width(), room, control->font().pointSizeF(), neededAt);
    if (fit.pointSize != control->font().pointSizeF()) {
        QFont font = control->font();
        font.setPointSizeF(fit.pointSize);
        control->setFont(font);
    }
    control->resize(fit.width, control->height());
}

} // namespace

// Captions keep their designed places but are never cut off, whatever the font the system
// gives: a label or an option button takes free room beside it, and a caption that still does
// not fit gets a smaller font. Buttons keep their width, which the layout relies on.
void frmMain::fitCaptions()
{
    for (QLabel* label : lblMain)
        fitCaption(label, true);
    for (QRadioButton* option : {optProvider[0], optProvider[1], optLyra[0], optLyra[1]})
        fitCaption(option, true);
    for (QPushButton* button : {chkConnQUOR, chkConnTULO, chkConnBRAKKA, cmdAddItem, cmdDelete})
        fitCaption(button, false);
}
