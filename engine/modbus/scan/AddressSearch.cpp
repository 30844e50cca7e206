#include "engine/modbus/scan/AddressSearch.h"

#include <algorithm>

namespace modbusscan {

AddressSearch::AddressSearch(int first, int last, int maxBlock) : m_maxBlock(std::max(maxBlock, 1))
{
    m_total = std::max(last - first + 1, 0);
    readAsBlock(first, last + 1);
}

bool AddressSearch::splits(int exceptionCode)
{
    return exceptionCode == 0x02 || exceptionCode == 0x03 || exceptionCode == 0x04;
}

void AddressSearch::readAsBlock(int first, int end)
{
    for (int start = first; start < end; start += m_maxBlock)
        m_blocks.push_back({start, std::min(m_maxBlock, end - start)});
}

std::optional<Span> AddressSearch::next()
{
    // The hunts go first, so that a block is done before the next one starts.
    for (auto it = m_hunts.begin(); it != m_hunts.end(); ++it) {
        Hunt& h = *it;
        if (h.probing)
            continue;
        h.probing = true;
        const Span probe{h.lo, (h.hi - h.lo) / 2};
        m_asked.insert(Span::key(probe), {probe, it.key()});
        return probe;
    }
    if (m_blocks.empty())
        return std::nullopt;
    const Span block = m_blocks.front();
    m_blocks.pop_front();
    m_asked.insert(Span::key(block), {block, -1});
    return block;
}

std::optional<AddressSearch::Asked> AddressSearch::takeAsked(const Span& span)
{
    const auto found = m_asked.find(Span::key(span));
    if (found == m_asked.end())
        return std::nullopt;
    const Asked asked = *found;
    m_asked.erase(found);
    return asked;
}

void AddressSearch::served(const Span& span, const QList<quint16>& values)
{
    const std::optional<Asked> asked = takeAsked(span);
    if (!asked)
        return;
    record(span.first, span.last(), Status::Served, QString(), 0, values.mid(0, span.count));
    if (asked->hunt < 0)
        return;
    Hunt& h = m_hunts[asked->hunt];
    h.probing = false;
    h.lo = span.first + span.count;
    settle(asked->hunt);
}

void AddressSearch::rejected(const Span& span, int exceptionCode, const QString& reason)
{
    const std::optional<Asked> asked = takeAsked(span);
    if (!asked)
        return;
    const bool narrows = splits(exceptionCode);
    if (asked->hunt < 0) {
        if (narrows && span.count > 1)
            hunt(span.first, span.first + span.count, exceptionCode, reason);
        else
            record(span.first, span.last(), Status::Exception, reason, exceptionCode);
        return;
    }
    Hunt& h = m_hunts[asked->hunt];
    h.probing = false;
    if (narrows) {
        h.hi = span.first + span.count;
        h.exceptionCode = exceptionCode;
        h.reason = reason;
    } else {
        // It says nothing of where the missing address is: the probe is what it is, and the rest
        // of the block is read anew.
        record(span.first, span.last(), Status::Exception, reason, exceptionCode);
        const int end = h.end;
        m_hunts.remove(asked->hunt);
        readAsBlock(span.first + span.count, end);
        return;
    }
    settle(asked->hunt);
}

void AddressSearch::unanswered(const Span& span, Status status, const QString& reason)
{
    const std::optional<Asked> asked = takeAsked(span);
    if (!asked)
        return;
    record(span.first, span.last(), status, reason);
    if (asked->hunt < 0)
        return;
    const int end = m_hunts.value(asked->hunt).end;
    m_hunts.remove(asked->hunt);
    readAsBlock(span.first + span.count, end);
}

void AddressSearch::hunt(int lo, int end, int exceptionCode, const QString& reason)
{
    const int id = m_nextHunt++;
    m_hunts.insert(id, {lo, end, end, exceptionCode, reason, false});
    settle(id);
}

void AddressSearch::settle(int id)
{
    const Hunt h = m_hunts.value(id);
    if (h.hi - h.lo > 1)
        return;
    m_hunts.remove(id);
    // The first missing address, found; what follows it is read as a block again.
    record(h.lo, h.lo, Status::Exception, h.reason, h.exceptionCode);
    readAsBlock(h.lo + 1, h.end);
}

void AddressSearch::abandon(Status status, const QString& reason, int exceptionCode)
{
    for (const Span& block : m_blocks)
        record(block.first, block.last(), status, reason, exceptionCode);
    for (const Asked& asked : std::as_const(m_asked)) {
        if (asked.hunt < 0)
            record(asked.span.first, asked.span.last(), status, reason, exceptionCode);
    }
    for (const Hunt& h : std::as_const(m_hunts))
        record(h.lo, h.end - 1, status, reason, exceptionCode);
    m_blocks.clear();
    m_asked.clear();
    m_hunts.clear();
}

QList<Result> AddressSearch::takeResults()
{
    return std::exchange(m_results, {});
}

void AddressSearch::record(int first, int last, Status status, const QString& reason, int exceptionCode,
                           const QList<quint16>& values)
{
    Result result;
    result.first = first;
    result.last = last;
    result.status = status;
    result.reason = reason;
    result.exceptionCode = exceptionCode;
    result.values = values;
    m_resolved += last - first + 1;
    m_results.append(std::move(result));
}

} // namespace modbusscan
