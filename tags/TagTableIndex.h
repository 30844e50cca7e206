#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

class TagGridModel;

// The tag table looked up by variable and by tag name: which tags a variable already has,
// and whether a tag name is taken. It follows the table: rows appended at the end are
// indexed as they come; any other change is indexed again at the next question.
class TagTableIndex final : public QObject
{
    Q_OBJECT

public:
    explicit TagTableIndex(const TagGridModel& table, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TagTableIndex)

    // The tag names of the rows on `variable` (the exact name), in row order.
    QStringList tagsOf(const QString& variable) const;
    bool isTagged(const QString& variable) const { return !tagsOf(variable).isEmpty(); }
    // True when some row's tag name equals `name`, ignoring letter case.
    bool holdsName(const QString& name) const;

private:
    void invalidate() { m_built = false; }
    void index(int firstModelRow, int lastModelRow) const;
    void ensureBuilt() const;

    const TagGridModel& m_table;
    mutable QHash<QString, QStringList> m_tagsByVariable;
    mutable QSet<QString> m_foldedNames;
    mutable bool m_built = false;
};
