#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <QHash>
#include <QList>
#include <map>
#include <optional>

// The search for the addresses a device serves in one table, between two addresses. It reads
// blocks as large as a request may be, each block from its start on: where the device rejects a
// read, the read holds an address it lacks, and the first such address is found by halving the
// part after the addresses known to be served (each half read is either served, its values kept,
// or holds it). The next read after a missing address is about as long as the distance from the
// missing address before it, growing twice as long after each served read: a device with a few
// scattered gaps is read in long blocks, a range it lacks wholly one address a request. A device
// that serves the whole range costs no more requests than a plain block read of it. It knows
// nothing of devices: the caller reads the spans it hands out and tells it what came back.
namespace modbusscan {

struct Span
{
    int first = 0;
    int count = 0;
    int last() const { return first + count - 1; }
    // One number for the span, to find it by.
    static quint64 key(const Span& span)
    {
        return (quint64(quint32(span.first)) << 32) | quint32(span.count);
    }
};

class AddressSearch final
{
public:
    AddressSearch(int first, int last, int maxBlock);

    // The next span to read; none while every span left waits for another's answer.
    std::optional<Span> next();
    // The answers to spans that next() handed out.
    void served(const Span& span, const QList<quint16>& values);
    void rejected(const Span& span, int exceptionCode, const QString& reason);
    void unanswered(const Span& span, Status status, const QString& reason);
    // Gives up on everything not yet read or answered, as the status says (a unit that is silent).
    void abandon(Status status, const QString& reason, int exceptionCode = 0);

    bool finished() const { return m_resolved == m_total; }
    qint64 resolved() const { return m_resolved; }
    qint64 total() const { return m_total; }
    // The results found since the last call, their unit and table left to the caller.
    QList<Result> takeResults();

    // Whether an exception code may come from some addresses of a block only, so that parts of
    // it may be served: an illegal data address, a value such as a count it will not take, or a
    // failure of the device at an address. Not an illegal function (the whole table), nor a
    // gateway's word that the unit is not there.
    static bool splits(int exceptionCode);

private:
    // One block, read from its start on: the addresses before `pos` are done, and the read after
    // them is `step` long. While hunting, the first address the device lacks lies in [pos, hi).
    struct Cursor
    {
        int pos = 0;
        int end = 0;
        int step = 1;
        bool hunting = false;
        int hi = 0;
        // The rejection that started the hunt.
        int exceptionCode = 0;
        QString reason;
        // The missing address found last, for the length of the next read.
        int lastMissing = 0;
        bool reading = false;
    };

    // The span the cursor reads next.
    Span nextSpan(const Cursor& cursor) const;
    // A missing address is found at the cursor: recorded, and the reading goes on after it.
    void found(Cursor& cursor);
    // Done with the span the cursor read; the cursor goes when its block is done.
    void moveOn(int id, int to);
    void record(int first, int last, Status status, const QString& reason, int exceptionCode = 0,
                const QList<quint16>& values = {});
    // The cursor that asked for the span, taken off the spans asked for; -1 for none.
    int takeAsked(const Span& span);

    int m_maxBlock = 1;
    qint64 m_total = 0;
    qint64 m_resolved = 0;
    // By block, in address order, so that the first blocks are done first.
    std::map<int, Cursor> m_cursors;
    QHash<quint64, int> m_asked;
    QList<Result> m_results;
};

} // namespace modbusscan
