#pragma once

#include <QRadioButton>

// An option button that keeps its own place in the tab order. Qt takes the tab stop from the
// other buttons of a group whenever one of them gets the focus; the designed tab order gives
// every option button a place of its own, so the stops are given back.
class OptionButton final : public QRadioButton
{
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

protected:
    void focusInEvent(QFocusEvent* event) override;
};
