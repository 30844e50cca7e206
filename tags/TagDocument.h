#pragma once

#include "engine/clsCtrlParameter.h"
#include "tags/TagGridModel.h"
#include "tags/TagPicking.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QUndoStack;
class TableEdit;
class TagTableIndex;

// One tag table as the program edits it: the rows, the file it belongs to, the connection
// the file records, the unsaved-change flag and the undo history. Every change of the rows
// is one operation here and one step of the history; the window, the command line and the
// tests all edit a table through it. Views follow the table's model signals and
// historyMoved().
class TagDocument final : public QObject
{
    Q_OBJECT

public:
    // The tag table of the window: 11 columns, the header row with the column titles.
    explicit TagDocument(QObject* parent = nullptr);
    ~TagDocument() override;
    Q_DISABLE_COPY_MOVE(TagDocument)

    // The rows in the grid's numbering: header row 0, data rows 1 .. Rows() - 1.
    TagGridModel& table() { return *m_table; }
    const TagGridModel& table() const { return *m_table; }
    // The rows looked up by variable and by tag name.
    const TagTableIndex& index() const { return *m_index; }
    QUndoStack& history() const { return *m_history; }

    // ---- Unsaved changes (m_bChanged)
    bool changed() const { return m_bChanged; }
    // True: a change outside the table's history (a connection, an opened file) is
    // unsaved. False: everything counts as saved, as after a save.
    void setChanged(bool changed);
    // Marks the table changed until the history next moves.
    void markChanged() { m_bChanged = true; }

    // ---- The file (the run's current file path) and what it records
    const QString& filePath() const { return m_strFilePath; }
    void setFilePath(const QString& path) { m_strFilePath = path; }
    // Set when the current file could not be read (or was refused), so that a plain Save
    // asks for a name instead of writing over it.
    bool pathUnread() const { return m_bPathUnread; }
    void setPathUnread(bool unread) { m_bPathUnread = unread; }
    // The connection the table was built on, as its file keeps it.
    const clsCtrlParameter& connection() const { return m_connection; }
    void setConnection(const clsCtrlParameter& connection) { m_connection = connection; }

    // ---- Replacing the rows (not undoable: the history is forgotten)
    // Leaves the header row only.
    void clearRows();
    // Forgets the history; the unsaved-change flag stays as it is.
    void resetHistory();

    // ---- Operations, each one step of the history called `step`. A refused one returns the
    // warning of the first rule it breaks and leaves the table as it was.
    // Incoming rows are held to the rules here unless the caller already held them to the
    // same rules (a planned paste or a checked import, which name the row that fails): on a
    // large table the second pass would cost as much as the change.
    enum class RowCheck
    {
        Check,
        CheckedByCaller
    };
    // Appends one tag per variable, each with `option`, numbered as Add numbers them and named
    // as Add names them or after the variable.
    std::optional<QString> addTags(const QString& step, const QStringList& variables, const QString& option,
                                   TagNaming naming = TagNaming::Numbered);
    // Appends rows given as their ten stored cells (Tag Name to G).
    std::optional<QString> appendRows(const QString& step, const QList<QStringList>& rows,
                                      RowCheck check = RowCheck::Check);
    // Removes data rows (any order); the rows after them are renumbered.
    void removeRows(const QString& step, std::vector<qint32> rows);
    // Gives the block of cells that begins at (row, col) new texts, rows of equal length.
    std::optional<QString> setCells(const QString& step, qint32 row, qint32 col,
                                    const QList<QStringList>& cells, RowCheck check = RowCheck::Check);
    // Gives data rows texts of their own from column `col` on (each row once, in any order),
    // as one step. The caller has held them to the rules (a planned series).
    void setRowCells(const QString& step, qint32 col, const QList<std::pair<qint32, QStringList>>& rows);
    // Keeps an edit typed into cell (row, col), whose text went from `before` to what the
    // table holds now. A tag name that breaks a rule is put back to `before` and refused.
    std::optional<QString> keepCellEdit(const QString& step, qint32 row, qint32 col, const QString& before);

    // Undoes or redoes one step. A step that fails half-way leaves no history to trust: it is
    // forgotten and false returned.
    bool undo();
    bool redo();

signals:
    // The history moved (a step made, undone or redone, or the history saved or forgotten).
    void historyMoved();

private:
    void push(const QString& step, std::unique_ptr<TableEdit> edit);
    bool step(void (QUndoStack::*move)());
    void followHistory();
    // The refusal of data row `row` when the row of the cells `cellAt` gives for the columns
    // Tag Name to G is longer than a tag setting file holds, or nothing.
    std::optional<QString> lengthProblem(qint32 row, const std::function<QString(qint32)>& cellAt) const;
    // The first rule that rows to be written at data rows `firstRow` on, in the stored
    // columns from `firstColumn` on, would break.
    std::optional<QString> incomingProblem(const QList<QStringList>& rows, qint32 firstRow,
                                           qint32 firstColumn) const;

    TagGridModel* m_table;
    TagTableIndex* m_index;
    QUndoStack* m_history;
    QString m_strFilePath;
    bool m_bPathUnread = false;
    clsCtrlParameter m_connection;
    // Set while the table is not where the history was last saved, or a change outside the
    // table is unsaved.
    bool m_bChanged = false;
    bool m_bChangedOutsideTable = false;
};
