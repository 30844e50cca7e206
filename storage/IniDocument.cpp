#include "storage/IniDocument.h"

#include <algorithm>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QByteArrayView withoutLeadingBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    return text.sliced(begin);
}

QByteArrayView unquoted(QByteArrayView text)
{
    const qsizetype n = text.size();
    if (n >= 2 && (text[0] == '"' || text[0] == '\'') && text[n - 1] == text[0])
        return text.sliced(1, n - 2);
    return text;
}

std::string_view view(QByteArrayView text)
{
    return {text.data(), size_t(text.size())};
}

QByteArrayView byteView(std::string_view text)
{
    return {text.data(), qsizetype(text.size())};
}

// True when `part` points into `block`: appending to the block may move it.
bool liesIn(QByteArrayView part, const QByteArray& block)
{
    return !part.isEmpty() && part.data() >= block.constData() &&
           part.data() < block.constData() + block.size();
}

// The end of the line starting at `p`: the first CR or LF, or `end`.
const char* lineEnd(const char* p, const char* end)
{
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
    const char* stop = lf ? lf : end;
    const auto* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(stop - p)));
    return cr ? cr : stop;
}

} // namespace

IniDocument::IniDocument()
{
    addSection({}, std::nullopt);
}

IniDocument IniDocument::fromBytes(const QByteArray& bytes)
{
    IniDocument document;
    document.m_encoding = FileEncoding::detect(bytes, document.m_text);

    // CR LF, LF and a lone CR each end a line. Counting the LFs first lets each section's
    // lines take their room at once.
    const char* const start = document.m_text.constData();
    const char* p = start;
    const char* const end = p + document.m_text.size();
    qsizetype linesLeft = std::count(p, end, '\n') + 1;
    while (p < end) {
        const char* q = lineEnd(p, end);
        document.appendLine(document.classify(p - start, qint32(q - p), false), linesLeft);
        linesLeft = qMax<qsizetype>(linesLeft - 1, 0); // lines ended by a lone CR were not counted
        if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
    return document;
}

std::optional<QByteArray> IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines)
            size += line.removed ? 0 : line.length + 2;
    }
    QByteArray text(size, Qt::Uninitialized);
    char* out = text.data();
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines) {
            if (line.removed)
                continue;
            const QByteArrayView lineText = textOf(line);
            if (!lineText.isEmpty())
                std::memcpy(out, lineText.data(), size_t(lineText.size()));
            out += lineText.size();
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    return m_encoding.encode(text);
}

bool IniDocument::writeTo(const std::function<bool(QByteArrayView)>& write) const
{
    if (m_encoding.mayHoldSurrogates()) {
        const std::optional<QByteArray> bytes = toBytes();
        return bytes && write(*bytes);
    }
    // The text is the file's bytes.
    constexpr qsizetype kPiece = 256 * 1024;
    QByteArray piece;
    piece.reserve(kPiece);
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines) {
            if (line.removed)
                continue;
            const QByteArrayView text = textOf(line);
            if (piece.size() + text.size() + 2 > kPiece && !piece.isEmpty()) {
                if (!write(piece))
                    return false;
                piece.resize(0);
            }
            const qsizetype at = piece.size();
            piece.resize(at + text.size() + 2);
            char* out = piece.data() + at;
            if (!text.isEmpty())
                std::memcpy(out, text.data(), size_t(text.size()));
            out[text.size()] = '\r';
            out[text.size() + 1] = '\n';
        }
    }
    return piece.isEmpty() || write(piece);
}

std::optional<QByteArrayView> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const qsizetype index = firstSection(trimmed(section));
    if (index < 0)
        return std::nullopt;
    const Section& found = m_sections[size_t(index)];
    const IniKeyIndex::Entry* entry = keysOf(found).find(view(trimmed(key)), nameAt(found));
    if (!entry)
        return std::nullopt;
    const Line& line = found.lines[size_t(entry->line)];
    if (line.eq < 0)
        return std::nullopt;
    return unquoted(trimmed(textOf(line).sliced(line.eq + 1)));
}

QList<QByteArray> IniDocument::sectionNames() const
{
    QList<QByteArray> names;
    for (const Section& section : m_sections) {
        if (section.removed || section.lines.empty() || section.lines.front().kind != Kind::Header)
            continue;
        const std::string_view name = nameOf(section.lines.front());
        if (!name.empty())
            names.append(byteView(name).toByteArray());
    }
    return names;
}

QList<QByteArray> IniDocument::keyNames(QByteArrayView section) const
{
    QList<QByteArray> names;
    const qsizetype index = firstSection(trimmed(section));
    if (index < 0)
        return names;
    for (const Line& line : m_sections[size_t(index)].lines) {
        if (line.removed || line.kind != Kind::Named || line.eq < 0)
            continue;
        const std::string_view name = nameOf(line);
        if (!name.empty() && name[0] != ';')
            names.append(byteView(name).toByteArray());
    }
    return names;
}

bool IniDocument::holdsWrite(QByteArrayView section, QByteArrayView key, QByteArrayView value) const
{
    const QByteArrayView sectionName = trimmed(section);
    const QByteArrayView keyName = trimmed(key);
    QByteArray lines;
    const qsizetype index = firstSection(sectionName);
    if (index < 0)
        lines.append('[').append(sectionName).append("]\r\n");
    // An existing key keeps the spelling of its line.
    QByteArrayView name = keyName;
    if (index >= 0) {
        const Section& found = m_sections[size_t(index)];
        if (const IniKeyIndex::Entry* entry = keysOf(found).find(view(keyName), nameAt(found)))
            name = byteView(nameOf(found.lines[size_t(entry->line)]));
    }
    lines.append(name).append('=').append(withoutLeadingBlanks(value)).append("\r\n");
    return m_encoding.holds(lines);
}

bool IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArrayView sectionName = trimmed(section);
    const QByteArrayView keyName = trimmed(key);
    const QByteArrayView text = withoutLeadingBlanks(value);

    qsizetype index = firstSection(sectionName);
    if (index < 0) {
        const Line header = addedLine(sectionName, {}, true);
        addSection(nameOf(header), header);
        index = qsizetype(m_sections.size()) - 1;
    }
    Section& target = m_sections[size_t(index)];

    const quint32 hash = IniKeyIndex::hashOf(view(keyName));
    if (IniKeyIndex::Entry* entry = keysOf(target).find(view(keyName), hash, nameAt(target))) {
        Line& line = target.lines[size_t(entry->line)];
        const QByteArrayView old = textOf(line);
        const QByteArrayView name = byteView(nameOf(line));
        if (old.size() == name.size() + 1 + text.size() && old.startsWith(name) && old[name.size()] == '=' &&
            old.sliced(name.size() + 1) == text)
            return false;
        line = addedLine(name, text, false);
        return true;
    }

    // After the section's last non-blank line, so blank lines keep separating it from the next.
    auto& lines = target.lines;
    qsizetype position = qsizetype(lines.size());
    while (position > 0 && (lines[position - 1].removed || lines[position - 1].kind == Kind::Blank))
        --position;
    lines.insert(lines.begin() + position, addedLine(keyName, text, false));
    target.keys.addNew(hash, qint32(position));
    return true;
}

bool IniDocument::removeKey(QByteArrayView section, QByteArrayView key)
{
    const auto sections = m_sectionIndex.find(view(trimmed(section)));
    if (sections == m_sectionIndex.end())
        return false;
    const std::string_view keyName = view(trimmed(key));
    for (const qsizetype index : sections->second) {
        Section& target = m_sections[size_t(index)];
        IniKeyIndex::Entry* entry = keysOf(target).find(keyName, nameAt(target));
        if (!entry)
            continue;
        const qsizetype removed = entry->line;
        target.lines[size_t(removed)].removed = true;
        ++target.removedLines;
        if (--entry->count == 0) {
            target.keys.erase(entry);
        } else {
            for (qsizetype i = removed + 1; i < qsizetype(target.lines.size()); ++i) {
                const Line& line = target.lines[size_t(i)];
                if (!line.removed && line.kind == Kind::Named &&
                    IniNames::caseFoldEqual(nameOf(line), keyName)) {
                    entry->line = qint32(i);
                    break;
                }
            }
        }
        if (target.removedLines > 32 && target.removedLines * 2 > qsizetype(target.lines.size()))
            dropRemovedLines(target);
        return true;
    }
    return false;
}

bool IniDocument::removeSection(QByteArrayView section)
{
    const auto sections = m_sectionIndex.find(view(trimmed(section)));
    if (sections == m_sectionIndex.end())
        return false;
    forgetSectionLookup();
    const qsizetype index = sections->second.front();
    Section& target = m_sections[size_t(index)];
    const bool hadLines =
        std::any_of(target.lines.begin(), target.lines.end(), [](const Line& line) { return !line.removed; });
    target.lines.clear();
    target.keys.clear();
    target.indexed = true;
    target.removedLines = 0;
    if (index == 0)
        return hadLines; // the lines before the first header: no header to remove
    target.removed = true;
    sections->second.erase(sections->second.begin());
    if (sections->second.empty())
        m_sectionIndex.erase(sections);
    return true;
}

bool IniDocument::clear()
{
    const bool hadLines = std::any_of(m_sections.begin(), m_sections.end(), [](const Section& section) {
        return std::any_of(section.lines.begin(), section.lines.end(),
                           [](const Line& line) { return !line.removed; });
    });
    forgetSectionLookup();
    m_sections.clear();
    m_sectionIndex.clear();
    m_text.clear();
    m_added.clear();
    addSection({}, std::nullopt);
    return hadLines;
}

QByteArrayView IniDocument::textOf(const Line& line) const
{
    const QByteArray& block = line.added ? m_added : m_text;
    return QByteArrayView(block.constData() + line.offset, line.length);
}

std::string_view IniDocument::nameOf(const Line& line) const
{
    const QByteArrayView text = textOf(line);
    switch (line.kind) {
    case Kind::Header: {
        const QByteArrayView content = trimmed(text);
        return view(trimmed(content.sliced(1, content.lastIndexOf(']') - 1)));
    }
    case Kind::Named:
        return view(trimmed(line.eq >= 0 ? text.first(line.eq) : text));
    case Kind::Blank:
        break;
    }
    return {};
}

IniDocument::Line IniDocument::classify(qsizetype offset, qint32 length, bool added) const
{
    Line line;
    line.offset = offset;
    line.length = length;
    line.added = added;
    const QByteArrayView text = textOf(line);
    const QByteArrayView content = trimmed(text);
    if (content.isEmpty()) {
        line.kind = Kind::Blank;
    } else if (content[0] == '[' && content.lastIndexOf(']') > 0) {
        line.kind = Kind::Header;
    } else {
        line.kind = Kind::Named;
        const auto* eq = static_cast<const char*>(std::memchr(text.data(), '=', size_t(text.size())));
        line.eq = eq ? qint32(eq - text.data()) : -1;
    }
    return line;
}

IniDocument::Line IniDocument::addedLine(QByteArrayView name, QByteArrayView value, bool header)
{
    // A name or value read from the added lines themselves moves when the block grows.
    QByteArray nameCopy;
    QByteArray valueCopy;
    if (liesIn(name, m_added))
        name = nameCopy = name.toByteArray();
    if (liesIn(value, m_added))
        value = valueCopy = value.toByteArray();

    const qsizetype offset = m_added.size();
    const qsizetype length = name.size() + 1 + (header ? 1 : value.size());
    // Doubles at least: one line at a time must not copy the block each time.
    if (m_added.capacity() < offset + length)
        m_added.reserve(qMax(offset + length, 2 * m_added.capacity() + 256));
    m_added.resize(offset + length);
    char* out = m_added.data() + offset;
    const auto put = [&out](QByteArrayView text) {
        if (!text.isEmpty())
            std::memcpy(out, text.data(), size_t(text.size()));
        out += text.size();
    };
    put(header ? "[" : "");
    put(name);
    put(header ? "]" : "=");
    put(value);
    // A key line of a name that cannot read as anything else is named, its '=' after the name;
    // the search a read makes is left out.
    const bool plainName =
        name.isEmpty() || (name.front() != '[' && !isBlank(name.front()) && !name.contains('='));
    if (header || !plainName)
        return classify(offset, qint32(length), true);
    Line line;
    line.offset = offset;
    line.length = qint32(length);
    line.eq = qint32(name.size());
    line.kind = Kind::Named;
    line.added = true;
    return line;
}

void IniDocument::appendLine(const Line& line, qsizetype linesLeft)
{
    if (line.kind == Kind::Header) {
        // The section before is complete: it gives back what it took beyond its lines.
        std::vector<Line>& finished = m_sections.back().lines;
        if (finished.capacity() > finished.size() + 16)
            finished.shrink_to_fit();
        addSection(nameOf(line), line).lines.reserve(size_t(linesLeft));
        return;
    }
    m_sections.back().lines.push_back(line);
}

IniKeyIndex& IniDocument::keysOf(const Section& section) const
{
    if (!section.indexed)
        rebuildKeys(section);
    return section.keys;
}

IniDocument::Section& IniDocument::addSection(std::string_view name, std::optional<Line> header)
{
    forgetSectionLookup();
    Section section;
    if (header)
        section.lines.push_back(*header);
    m_sectionIndex[std::string(name)].push_back(qsizetype(m_sections.size()));
    m_sections.push_back(std::move(section));
    return m_sections.back();
}

qsizetype IniDocument::firstSection(QByteArrayView trimmedName) const
{
    if (m_lookedUpIndex != -2 && view(trimmedName) == m_lookedUpName)
        return m_lookedUpIndex;
    const auto found = m_sectionIndex.find(view(trimmedName));
    m_lookedUpName.assign(view(trimmedName));
    m_lookedUpIndex = found == m_sectionIndex.end() ? -1 : found->second.front();
    return m_lookedUpIndex;
}

void IniDocument::forgetSectionLookup() const
{
    m_lookedUpIndex = -2;
}

void IniDocument::rebuildKeys(const Section& section) const
{
    section.keys.clear();
    section.keys.reserve(
        size_t(std::count_if(section.lines.begin(), section.lines.end(),
                             [](const Line& line) { return !line.removed && line.kind == Kind::Named; })));
    for (qsizetype i = 0; i < qsizetype(section.lines.size()); ++i) {
        const Line& line = section.lines[size_t(i)];
        if (line.removed || line.kind != Kind::Named)
            continue;
        section.keys.add(nameOf(line), qint32(i), nameAt(section));
    }
    section.indexed = true;
}

void IniDocument::dropRemovedLines(Section& section)
{
    std::erase_if(section.lines, [](const Line& line) { return line.removed; });
    section.removedLines = 0;
    rebuildKeys(section);
}
