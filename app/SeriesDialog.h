#pragma once

#include "storage/TagSeries.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QSpinBox;

// Asks for a series of tag names, and variables if wanted, for the selected rows: Fill Series
// renames the rows, Duplicate Rows appends copies of them. OK hands the request on; a refusal
// is shown and the dialog stays open, so the pattern can be mended.
class SeriesDialog final : public QDialog
{
    Q_OBJECT

public:
    enum class Kind
    {
        Fill,
        Duplicate
    };
    // Carries out the request for `copies` copies (1 for Fill Series): nothing when done, else
    // the refusal to show.
    using Apply = std::function<std::optional<QString>(const SeriesRequest& request, qint32 copies)>;

    SeriesDialog(Kind kind, qint32 selectedRows, Apply apply, QWidget* parent);
    Q_DISABLE_COPY_MOVE(SeriesDialog)

    void cmdOK_Click();

    QLineEdit* txtTagPattern = nullptr;
    QLineEdit* txtVariablePattern = nullptr;
    QSpinBox* spnStart = nullptr;
    QSpinBox* spnStep = nullptr;
    // Duplicate Rows only.
    QSpinBox* spnCopies = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    Apply m_apply;
};
