#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <QHash>
#include <QList>
#include <deque>
#include <optional>

// The search for the addresses a device serves in one table, between two addresses: it reads
// blocks as large as a request may be and, where the device rejects a block, splits it in halves
// until the addresses it rejects are found. A device that serves the whole range costs no more
// requests than a plain block read of it. Where the first half of a rejected block is served, the
// second must hold what was rejected: it is split at once, without being read whole, and a single
// address so found is rejected without a request of its own. It knows nothing of devices: the
// caller reads the spans it hands out and tells it what came back.
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

    // Whether an exception code may come from some addresses of a block only, so that halves of
    // it may be served: an illegal data address, a value such as a count it will not take, or a
    // failure of the device at an address. Not an illegal function (the whole table), nor a
    // gateway's word that the unit is not there.
    static bool splits(int exceptionCode);

private:
    enum class State
    {
        Ready,
        // Read once its first half has answered: the answer may tell about it without a read.
        Waiting,
        Asked,
        Done
    };
    struct Node
    {
        Span span;
        State state = State::Ready;
        // The second half of a split block: its first half, and the exception of the block.
        int sibling = -1;
        int blockException = 0;
        QString blockReason;
        // Waiting halves that follow this node's answer.
        int follower = -1;
    };

    // The node of a span that was asked for and not yet answered; -1 for any other.
    int nodeOf(const Span& span);
    int add(const Span& span, State state);
    void split(int node, int exceptionCode, const QString& reason);
    // The first half has answered: its follower is read, or known to hold a rejected address.
    void release(int node, bool servedWhole);
    void resolve(int node, Result result);

    qint64 m_total = 0;
    qint64 m_resolved = 0;
    QList<Node> m_nodes;
    std::deque<int> m_ready;
    QHash<quint64, int> m_asked;
    QList<Result> m_results;
};

} // namespace modbusscan
