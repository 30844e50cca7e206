#include "engine/modbus/scan/AddressSearch.h"

#include <algorithm>

namespace modbusscan {

AddressSearch::AddressSearch(int first, int last, int maxBlock)
{
    maxBlock = std::max(maxBlock, 1);
    m_total = std::max(last - first + 1, 0);
    for (int start = first; start <= last; start += maxBlock)
        m_ready.push_back(add({start, std::min(maxBlock, last - start + 1)}, State::Ready));
}

bool AddressSearch::splits(int exceptionCode)
{
    return exceptionCode == 0x02 || exceptionCode == 0x03 || exceptionCode == 0x04;
}

std::optional<Span> AddressSearch::next()
{
    while (!m_ready.empty()) {
        const int node = m_ready.front();
        m_ready.pop_front();
        if (m_nodes[node].state != State::Ready)
            continue;
        m_nodes[node].state = State::Asked;
        m_asked.insert(Span::key(m_nodes[node].span), node);
        return m_nodes[node].span;
    }
    return std::nullopt;
}

void AddressSearch::served(const Span& span, const QList<quint16>& values)
{
    const int node = nodeOf(span);
    if (node < 0)
        return;
    Result result;
    result.first = span.first;
    result.last = span.last();
    result.status = Status::Served;
    result.values = values.mid(0, span.count);
    resolve(node, result);
    release(node, true);
}

void AddressSearch::rejected(const Span& span, int exceptionCode, const QString& reason)
{
    const int node = nodeOf(span);
    if (node < 0)
        return;
    if (span.count > 1 && splits(exceptionCode)) {
        m_nodes[node].state = State::Done;
        split(node, exceptionCode, reason);
    } else {
        Result result;
        result.first = span.first;
        result.last = span.last();
        result.status = Status::Exception;
        result.exceptionCode = exceptionCode;
        result.reason = reason;
        resolve(node, result);
    }
    release(node, false);
}

void AddressSearch::unanswered(const Span& span, Status status, const QString& reason)
{
    const int node = nodeOf(span);
    if (node < 0)
        return;
    Result result;
    result.first = span.first;
    result.last = span.last();
    result.status = status;
    result.reason = reason;
    resolve(node, result);
    release(node, false);
}

void AddressSearch::abandon(Status status, const QString& reason, int exceptionCode)
{
    m_ready.clear();
    m_asked.clear();
    for (int node = 0; node < m_nodes.size(); ++node) {
        // Split blocks are Done; their halves hold the addresses.
        if (m_nodes[node].state == State::Done)
            continue;
        Result result;
        result.first = m_nodes[node].span.first;
        result.last = m_nodes[node].span.last();
        result.status = status;
        result.reason = reason;
        result.exceptionCode = exceptionCode;
        resolve(node, result);
    }
}

QList<Result> AddressSearch::takeResults()
{
    return std::exchange(m_results, {});
}

int AddressSearch::nodeOf(const Span& span)
{
    const auto found = m_asked.find(Span::key(span));
    if (found == m_asked.end())
        return -1;
    const int node = *found;
    m_asked.erase(found);
    return node;
}

int AddressSearch::add(const Span& span, State state)
{
    m_nodes.append({span, state, -1, 0, {}, -1});
    return int(m_nodes.size() - 1);
}

void AddressSearch::split(int node, int exceptionCode, const QString& reason)
{
    const Span span = m_nodes[node].span;
    const int half = span.count / 2;
    const int first = add({span.first, half}, State::Ready);
    const int second = add({span.first + half, span.count - half}, State::Waiting);
    m_nodes[second].sibling = first;
    m_nodes[second].blockException = exceptionCode;
    m_nodes[second].blockReason = reason;
    m_nodes[first].follower = second;
    // The halves go first, so that a block is done before the next one starts.
    m_ready.push_front(first);
}

void AddressSearch::release(int node, bool servedWhole)
{
    const int follower = m_nodes[node].follower;
    if (follower < 0 || m_nodes[follower].state != State::Waiting)
        return;
    Node& second = m_nodes[follower];
    if (!servedWhole) {
        second.state = State::Ready;
        m_ready.push_front(follower);
        return;
    }
    // The block was rejected and its first half served: the rejected address is in this half.
    if (second.span.count == 1) {
        Result result;
        result.first = second.span.first;
        result.last = second.span.first;
        result.status = Status::Exception;
        result.exceptionCode = second.blockException;
        result.reason = second.blockReason;
        resolve(follower, result);
        return;
    }
    second.state = State::Done;
    split(follower, second.blockException, second.blockReason);
}

void AddressSearch::resolve(int node, Result result)
{
    m_nodes[node].state = State::Done;
    m_resolved += result.last - result.first + 1;
    m_results.append(std::move(result));
}

} // namespace modbusscan
