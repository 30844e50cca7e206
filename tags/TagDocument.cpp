#include "tags/TagDocument.h"

#include "tags/StoredRowLength.h"
#include "tags/TableEdits.h"
#include "tags/TagColumns.h"
#include "tags/TagNameRules.h"
#include "tags/TagPicking.h"
#include "tags/TagTableIndex.h"
#include "tags/VariableTextRules.h"

#include <QSet>
#include <QUndoStack>
#include <algorithm>

namespace {

constexpr qint32 kColumns = 11;
constexpr qint32 kVarOptColumn = 3;

const QStringList kColumnTitles = {
    QStringLiteral("No"), QStringLiteral("Tag Name"), QStringLiteral("Var Name"), QStringLiteral("Var Opt"),
    QStringLiteral("A"),  QStringLiteral("B"),        QStringLiteral("C"),        QStringLiteral("D"),
    QStringLiteral("E"),  QStringLiteral("F"),        QStringLiteral("G")};

// One step of the history: a change of the tag table.
class TableEditCommand final : public QUndoCommand
{
public:
    TableEditCommand(const QString& text, std::unique_ptr<TableEdit> edit)
        : QUndoCommand(text), m_edit(std::move(edit))
    {
    }
    Q_DISABLE_COPY_MOVE(TableEditCommand)

    void redo() override { m_edit->redo(); }
    void undo() override { m_edit->undo(); }

private:
    std::unique_ptr<TableEdit> m_edit;
};

} // namespace

TagDocument::TagDocument(QObject* parent)
    : QObject(parent), m_table(new TagGridModel(kColumns, this)), m_index(new TagTableIndex(*m_table, this)),
      m_history(new QUndoStack(this))
{
    for (qint32 col = 0; col < kColumns; ++col)
        m_table->setTextMatrix(0, col, kColumnTitles.at(col));
    connect(m_history, &QUndoStack::indexChanged, this, &TagDocument::followHistory);
    connect(m_history, &QUndoStack::cleanChanged, this, &TagDocument::followHistory);
}

TagDocument::~TagDocument()
{
    // The history goes first: its steps refer to the table.
    delete m_history;
}

void TagDocument::setChanged(bool changed)
{
    m_bChangedOutsideTable = changed;
    if (!changed)
        m_history->setClean();
    m_bChanged = changed || !m_history->isClean();
}

void TagDocument::clearRows()
{
    m_table->setRows(1);
    resetHistory();
}

void TagDocument::resetHistory()
{
    m_bChangedOutsideTable = m_bChanged;
    m_history->clear();
    m_bChanged = m_bChangedOutsideTable;
}

void TagDocument::followHistory()
{
    m_bChanged = m_bChangedOutsideTable || !m_history->isClean();
    emit historyMoved();
}

void TagDocument::push(const QString& step, std::unique_ptr<TableEdit> edit)
{
    m_history->push(new TableEditCommand(step, std::move(edit)));
    m_bChanged = true;
}

bool TagDocument::step(void (QUndoStack::*move)())
{
    try {
        (m_history->*move)();
        return true;
    } catch (...) {
        resetHistory();
        return false;
    }
}

bool TagDocument::undo()
{
    return step(&QUndoStack::undo);
}

bool TagDocument::redo()
{
    return step(&QUndoStack::redo);
}

std::optional<QString> TagDocument::lengthProblem(qint32 row,
                                                  const std::function<QString(qint32)>& cellAt) const
{
    QStringList cells;
    cells.reserve(kColumns - kTagNameColumn);
    for (qint32 col = kTagNameColumn; col < kColumns; ++col)
        cells.append(cellAt(col));
    const std::optional<LongRow> longRow = longStoredRow(cells);
    if (!longRow)
        return std::nullopt;
    return rowTooLongMessage(cells.first(), row, kColumnTitles.at(kTagNameColumn + longRow->longest),
                             longRow->bytes);
}

std::optional<QString> TagDocument::incomingProblem(const QList<QStringList>& rows, qint32 firstRow,
                                                    qint32 firstColumn) const
{
    const auto lastRow = static_cast<qint32>(firstRow + rows.size() - 1);
    const auto cellOf = [firstColumn](const QStringList& cells, qint32 col) -> std::optional<QString> {
        if (col < firstColumn || col - firstColumn >= cells.size())
            return std::nullopt;
        return cells.at(col - firstColumn);
    };
    const bool namesCome = firstColumn <= kTagNameColumn && !rows.isEmpty() &&
                           rows.first().size() > kTagNameColumn - firstColumn;
    QSet<QString> names;
    if (namesCome) {
        // The names of the rows written over go; every other row's name stays taken.
        for (qint32 row = 1; row < m_table->Rows(); ++row) {
            if (row < firstRow || row > lastRow)
                names.insert(m_table->textAt(row, kTagNameColumn).toString().toCaseFolded());
        }
    }
    qint32 row = firstRow;
    for (const QStringList& cells : rows) {
        // Cells that do not come keep the table's texts.
        const auto cellAt = [&](qint32 col) {
            const std::optional<QString> incoming = cellOf(cells, col);
            return incoming ? *incoming : row < m_table->Rows() ? m_table->TextMatrix(row, col) : QString();
        };
        if (std::optional<QString> problem = lengthProblem(row, cellAt))
            return problem;
        ++row;
        if (const std::optional<QString> name = cellOf(cells, kTagNameColumn)) {
            const QString folded = name->toCaseFolded();
            if (names.contains(folded))
                return duplicateTagNameMessage(*name);
            const QString ch = firstForbiddenCharacter(*name);
            if (!ch.isEmpty())
                return forbiddenCharacterMessage(ch);
            names.insert(folded);
        }
        if (std::optional<QString> problem =
                variableTextProblem(cellOf(cells, kVarNameColumn).value_or(QString()),
                                    cellOf(cells, kVarOptColumn).value_or(QString())))
            return problem;
    }
    return std::nullopt;
}

std::optional<QString> TagDocument::addTags(const QString& step, const QStringList& variables,
                                            const QString& option, TagNaming naming)
{
    for (const QString& variable : variables) {
        if (std::optional<QString> problem = variableTextProblem(variable, option))
            return problem;
    }
    const QStringList texts = newTagRows(*m_index, m_table->Rows(), variables, option, naming);
    qint32 row = m_table->Rows();
    for (const QString& text : texts) {
        // The row's number, then its tag name, variable and option.
        const QStringList cells = text.split(QLatin1Char('\t'));
        if (std::optional<QString> problem =
                lengthProblem(row++, [&](qint32 col) { return cells.value(col); }))
            return problem;
    }
    push(step, appendRowTexts(*m_table, texts));
    return std::nullopt;
}

std::optional<QString> TagDocument::appendRows(const QString& step, const QList<QStringList>& rows,
                                               RowCheck check)
{
    if (check == RowCheck::Check) {
        if (std::optional<QString> problem = incomingProblem(rows, m_table->Rows(), kTagNameColumn))
            return problem;
    }
    push(step, appendStoredRows(*m_table, rows));
    return std::nullopt;
}

void TagDocument::removeRows(const QString& step, std::vector<qint32> rows)
{
    // The edit takes its rows ascending and each once.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    push(step, ::removeRows(*m_table, std::move(rows)));
}

std::optional<QString> TagDocument::setCells(const QString& step, qint32 row, qint32 col,
                                             const QList<QStringList>& cells, RowCheck check)
{
    if (check == RowCheck::Check) {
        if (std::optional<QString> problem = incomingProblem(cells, row, col))
            return problem;
    }
    push(step, ::setCells(*m_table, row, col, cells));
    return std::nullopt;
}

void TagDocument::setRowCells(const QString& step, qint32 col,
                              const QList<std::pair<qint32, QStringList>>& rows)
{
    std::vector<std::unique_ptr<TableEdit>> edits;
    edits.reserve(static_cast<size_t>(rows.size()));
    for (const auto& [row, cells] : rows)
        edits.push_back(::setCells(*m_table, row, col, {cells}));
    push(step, combinedEdits(std::move(edits)));
}

std::optional<QString> TagDocument::keepCellEdit(const QString& step, qint32 row, qint32 col,
                                                 const QString& before)
{
    const QString after = m_table->TextMatrix(row, col);
    if (col == kTagNameColumn) {
        std::optional<QString> problem;
        if (isDuplicateTagName(*m_table, row, col))
            problem = duplicateTagNameMessage(after);
        else if (const QString ch = firstForbiddenCharacter(after); !ch.isEmpty())
            problem = forbiddenCharacterMessage(ch);
        if (problem) {
            m_table->setTextMatrix(row, col, before);
            return problem;
        }
    }
    // An edit that left the text as it was is no step.
    if (after != before)
        push(step, ::setCells(*m_table, row, col, {{before}}, {{after}}));
    return std::nullopt;
}
