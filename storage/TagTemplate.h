#pragma once

#include "engine/clsCtrlParameter.h"
#include "storage/TagFileFormat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class TagGridModel;
struct InstanceTable;

// A text of a template: literal text and placeholders "{Column}" that the values of one
// instance row fill, the column named as the instance table's header names it. "{{" and "}}"
// stand for the braces themselves; any other "}" is text.
class PlaceholderText final
{
public:
    // The text with its placeholders; nothing, and `problem` set, when a placeholder names no
    // column of `instances` or a "{" is not closed.
    static std::optional<PlaceholderText> parse(const QString& text, const InstanceTable& instances,
                                                QString& problem);

    // The text with the values of one instance row.
    QString fill(const QStringList& values) const;
    // The columns its placeholders name.
    void addColumnsTo(QList<qsizetype>& columns) const;

private:
    struct Piece
    {
        QString text;
        qsizetype column = -1; // a placeholder's column; -1 for literal text
    };
    QList<Piece> m_pieces;
};

// A tag table with its connection in which placeholders stand for the values of an instance row:
// the connection texts (Controller, Provider, Machine, Option) and every stored cell of every row
// may hold them. The connection kind ("Type") and the number of rows are the template's.
class TagTemplate final
{
public:
    // The template of a table and its connection; `problems` gets one line per text whose
    // placeholders cannot be filled, "NAME: Controller: ..." or "NAME:Tag3: Var Name: ...", NAME
    // the template's name as given.
    TagTemplate(const TagGridModel& table, const clsCtrlParameter& connection, const InstanceTable& instances,
                const QString& name, QStringList& problems);
    ~TagTemplate();
    Q_DISABLE_COPY_MOVE(TagTemplate)

    // The connection and the table of one instance row.
    clsCtrlParameter connectionFor(const QStringList& values) const;
    std::unique_ptr<TagGridModel> tableFor(const QStringList& values) const;
    // The columns that any placeholder names, each once, in column order.
    const QList<qsizetype>& usedColumns() const { return m_usedColumns; }

private:
    using Row = std::array<PlaceholderText, TagFileFormat::kStoredColumns>;

    qint32 m_type = 0;
    std::array<PlaceholderText, 4> m_connection;
    std::vector<Row> m_rows;
    QList<qsizetype> m_usedColumns;
};
