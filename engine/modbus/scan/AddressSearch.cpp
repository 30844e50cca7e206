#include "engine/modbus/scan/AddressSearch.h"

#include <algorithm>

namespace modbusscan {

AddressSearch::AddressSearch(int first, int last, int maxBlock) : m_maxBlock(std::max(maxBlock, 1))
{
    m_total = std::max(last - first + 1, 0);
    for (int start = first; start <= last; start += m_maxBlock) {
        Cursor cursor;
        cursor.pos = start;
        cursor.end = std::min(start + m_maxBlock, last + 1);
        cursor.step = m_maxBlock;
        // No address is missing before the block: its first read is a whole block.
        cursor.lastMissing = start - m_maxBlock;
        m_cursors.emplace(start, cursor);
    }
}

bool AddressSearch::splits(int exceptionCode)
{
    return exceptionCode == 0x02 || exceptionCode == 0x03 || exceptionCode == 0x04;
}

Span AddressSearch::nextSpan(const Cursor& cursor) const
{
    if (cursor.hunting)
        return {cursor.pos, (cursor.hi - cursor.pos) / 2};
    return {cursor.pos, std::min(cursor.step, cursor.end - cursor.pos)};
}

std::optional<Span> AddressSearch::next()
{
    for (auto& [id, cursor] : m_cursors) {
        if (cursor.reading)
            continue;
        cursor.reading = true;
        const Span span = nextSpan(cursor);
        m_asked.insert(Span::key(span), id);
        return span;
    }
    return std::nullopt;
}

int AddressSearch::takeAsked(const Span& span)
{
    const auto asked = m_asked.find(Span::key(span));
    if (asked == m_asked.end())
        return -1;
    const int id = *asked;
    m_asked.erase(asked);
    const auto cursor = m_cursors.find(id);
    if (cursor == m_cursors.end())
        return -1;
    cursor->second.reading = false;
    return id;
}

void AddressSearch::served(const Span& span, const QList<quint16>& values)
{
    const int id = takeAsked(span);
    if (id < 0)
        return;
    record(span.first, span.last(), Status::Served, QString(), 0, values.mid(0, span.count));
    Cursor& cursor = m_cursors.at(id);
    if (!cursor.hunting)
        cursor.step = std::min(cursor.step * 2, m_maxBlock);
    cursor.pos = span.first + span.count;
    if (cursor.hunting && cursor.hi - cursor.pos == 1)
        found(cursor);
    moveOn(id, cursor.pos);
}

void AddressSearch::rejected(const Span& span, int exceptionCode, const QString& reason)
{
    const int id = takeAsked(span);
    if (id < 0)
        return;
    Cursor& cursor = m_cursors.at(id);
    if (!splits(exceptionCode)) {
        // It says nothing of where a missing address is: the span is what it is, and the reading
        // goes on after it.
        record(span.first, span.last(), Status::Exception, reason, exceptionCode);
        cursor.hunting = false;
        moveOn(id, span.first + span.count);
        return;
    }
    cursor.exceptionCode = exceptionCode;
    cursor.reason = reason;
    cursor.hunting = true;
    cursor.hi = span.first + span.count;
    if (cursor.hi - cursor.pos == 1)
        found(cursor);
    moveOn(id, cursor.pos);
}

void AddressSearch::unanswered(const Span& span, Status status, const QString& reason)
{
    const int id = takeAsked(span);
    if (id < 0)
        return;
    record(span.first, span.last(), status, reason);
    m_cursors.at(id).hunting = false;
    moveOn(id, span.first + span.count);
}

void AddressSearch::found(Cursor& cursor)
{
    record(cursor.pos, cursor.pos, Status::Exception, cursor.reason, cursor.exceptionCode);
    cursor.step = std::clamp(cursor.pos - cursor.lastMissing, 1, m_maxBlock);
    cursor.lastMissing = cursor.pos;
    cursor.hunting = false;
    ++cursor.pos;
}

void AddressSearch::moveOn(int id, int to)
{
    Cursor& cursor = m_cursors.at(id);
    cursor.pos = to;
    if (cursor.pos >= cursor.end)
        m_cursors.erase(id);
}

void AddressSearch::abandon(Status status, const QString& reason, int exceptionCode)
{
    for (const auto& [id, cursor] : m_cursors)
        record(cursor.pos, cursor.end - 1, status, reason, exceptionCode);
    m_cursors.clear();
    m_asked.clear();
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
