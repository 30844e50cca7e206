#pragma once

#include "fuzz/FuzzCheck.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagFileCheck.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileWriter.h"
#include "storage/TagTableCheck.h"
#include "tags/TagDocument.h"
#include "tags/TagGridModel.h"

#include <QList>
#include <QStringList>

// What every way into the tag table keeps: the table's rows are numbered from 1 on, no name
// repeats another without regard to letter case or holds a forbidden character, every cell can
// be saved, and the table saved to a tag setting file reads back the same.

inline QList<QStringList> storedRowsOf(const TagGridModel& table)
{
    QList<QStringList> rows;
    for (qint32 row = 1; row < table.Rows(); ++row) {
        FUZZ_CHECK(table.TextMatrix(row, 0) == QString::number(row));
        QStringList cells;
        for (qint32 col = 1; col < 11; ++col)
            cells.append(table.TextMatrix(row, col));
        rows.append(cells);
    }
    return rows;
}

inline void checkTableKeepsTheRules(const TagDocument& document)
{
    const TagGridModel& table = document.table();
    TagRowCheck check(table);
    for (qint32 row = 1; row < table.Rows(); ++row)
        FUZZ_CHECK(check.problemsOf(row).isEmpty());
    FUZZ_CHECK(!storageProblem(table, &document.connection()));

    const QString saved = QStringLiteral("/fuzz/table.qts");
    ProfileFileCache::instance().setMemoryFile(saved, QByteArray());
    FUZZ_CHECK(TagFileWriter::write(document, saved).outcome == TagFileWriteResult::Outcome::Written);
    TagDocument back;
    QString error;
    FUZZ_CHECK(readTagDocument(saved, back, error));
    FUZZ_CHECK(storedRowsOf(back.table()) == storedRowsOf(table));
    FUZZ_CHECK(checkTagFileContent(saved).problems.isEmpty());
}

// A document with a few clean rows, as the window holds one before an import or a paste.
inline void fillCleanRows(TagDocument& document)
{
    const QList<QStringList> rows = {
        {QStringLiteral("Motor"), QStringLiteral("I1"), QString(), QString(), QString(), QString(), QString(),
         QString(), QString(), QString()},
        {QStringLiteral("Pump"), QStringLiteral("I2"), QStringLiteral("opt"), QStringLiteral("a"), QString(),
         QString(), QString(), QString(), QString(), QString()},
        {QStringLiteral("Fan"), QStringLiteral("I3"), QString(), QString(), QString(), QString(), QString(),
         QString(), QString(), QStringLiteral("g")}};
    FUZZ_CHECK(!document.appendRows(QStringLiteral("Fill"), rows));
    document.resetHistory();
}
