#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <QHash>
#include <QList>
#include <deque>
#include <optional>

// The search for the addresses a device serves in one table, between two addresses: it reads
// blocks as large as a request may be. Where the device rejects a block, the block holds an
// address it lacks: the first such address is found by halving the part after the addresses
// known to be served (each half read is either served, and its values kept, or holds it), and the
// rest of the block after it is read as a block again. A device that serves the whole range costs
// no more requests than a plain block read of it; each address it lacks costs about one request
// for every halving of a block, which is close to the least any search can do, as a rejection
// says only that some address of the block is missing. It knows nothing of devices: the caller
// reads the spans it hands out and tells it what came back.
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
    // A block known to hold an address the device lacks: the first one lies in [lo, hi), the
    // addresses before lo are served, and the block ends before `end`.
    struct Hunt
    {
        int lo = 0;
        int hi = 0;
        int end = 0;
        // The rejection that told of it.
        int exceptionCode = 0;
        QString reason;
        bool probing = false;
    };
    // A span handed out: a block read whole, or a probe of a hunt.
    struct Asked
    {
        Span span;
        int hunt = -1;
    };

    void readAsBlock(int first, int end);
    void hunt(int lo, int end, int exceptionCode, const QString& reason);
    // The hunt has narrowed its address down to one, or moves on.
    void settle(int hunt);
    std::optional<Asked> takeAsked(const Span& span);
    void record(int first, int last, Status status, const QString& reason, int exceptionCode = 0,
                const QList<quint16>& values = {});

    int m_maxBlock = 1;
    qint64 m_total = 0;
    qint64 m_resolved = 0;
    std::deque<Span> m_blocks;
    QHash<quint64, Asked> m_asked;
    QHash<int, Hunt> m_hunts;
    int m_nextHunt = 0;
    QList<Result> m_results;
};

} // namespace modbusscan
