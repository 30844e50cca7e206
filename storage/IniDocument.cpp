#include "storage/IniDocument.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LEBom[] = "\xFF\xFE";
constexpr char kUtf16BEBom[] = "\xFE\xFF";

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

// "name=value" in one allocation.
QByteArray keyLine(QByteArrayView name, QByteArrayView value)
{
    QByteArray line(name.size() + 1 + value.size(), Qt::Uninitialized);
    char* out = line.data();
    std::memcpy(out, name.data(), size_t(name.size()));
    out[name.size()] = '=';
    std::memcpy(out + name.size() + 1, value.data(), size_t(value.size()));
    return line;
}

std::string_view view(QByteArrayView text)
{
    return {text.data(), size_t(text.size())};
}

QByteArray decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return QString(decoder(bytes)).toUtf8();
}

QByteArray encodeUtf16(const QByteArray& utf8, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder(QString::fromUtf8(utf8));
}

} // namespace

IniDocument IniDocument::fromBytes(const QByteArray& bytes)
{
    IniDocument document;
    document.addSection({}, std::nullopt);

    QByteArray text;
    if (bytes.startsWith(kUtf8Bom)) {
        document.m_encoding = Encoding::Utf8Bom;
        text = bytes.sliced(3);
    } else if (bytes.startsWith(kUtf16LEBom)) {
        document.m_encoding = Encoding::Utf16LE;
        text = decodeUtf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16LE);
    } else if (bytes.startsWith(kUtf16BEBom)) {
        document.m_encoding = Encoding::Utf16BE;
        text = decodeUtf16(QByteArrayView(bytes).sliced(2), QStringConverter::Utf16BE);
    } else {
        text = bytes;
    }

    // CR LF, LF and a lone CR each end a line.
    const char* p = text.constData();
    const char* const end = p + text.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        document.appendLine(classify(QByteArray(p, q - p)));
        if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
    return document;
}

QByteArray IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines)
            size += line.removed ? 0 : line.text.size() + 2;
    }
    QByteArray out;
    out.reserve(size + 3);
    if (m_encoding == Encoding::Utf8Bom)
        out.append(kUtf8Bom);
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines) {
            if (!line.removed)
                out.append(line.text).append("\r\n", 2);
        }
    }
    if (m_encoding == Encoding::Utf16LE)
        return QByteArray(kUtf16LEBom) + encodeUtf16(out, QStringConverter::Utf16LE);
    if (m_encoding == Encoding::Utf16BE)
        return QByteArray(kUtf16BEBom) + encodeUtf16(out, QStringConverter::Utf16BE);
    return out;
}

std::optional<QByteArrayView> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const qsizetype index = firstSection(trimmed(section));
    if (index < 0)
        return std::nullopt;
    const Section& found = m_sections[index];
    const IniKeyIndex::Entry* entry = found.keys.find(view(trimmed(key)), found.nameAt());
    if (!entry)
        return std::nullopt;
    const Line& line = found.lines[entry->line];
    if (line.eq < 0)
        return std::nullopt;
    return unquoted(trimmed(QByteArrayView(line.text).sliced(line.eq + 1)));
}

QList<QByteArray> IniDocument::sectionNames() const
{
    QList<QByteArray> names;
    for (const Section& section : m_sections) {
        if (!section.removed && !section.name.isEmpty())
            names.append(section.name);
    }
    return names;
}

QList<QByteArray> IniDocument::keyNames(QByteArrayView section) const
{
    QList<QByteArray> names;
    const qsizetype index = firstSection(trimmed(section));
    if (index < 0)
        return names;
    for (const Line& line : m_sections[index].lines) {
        if (line.removed || line.kind != Kind::Named || line.eq < 0)
            continue;
        const std::string_view name = nameOf(line);
        if (!name.empty() && name[0] != ';')
            names.append(QByteArray(name.data(), qsizetype(name.size())));
    }
    return names;
}

bool IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArrayView sectionName = trimmed(section);
    const QByteArrayView keyName = trimmed(key);
    const QByteArrayView text = withoutLeadingBlanks(value);

    const qsizetype index = firstSection(sectionName);
    Section* target = index >= 0 ? &m_sections[index] : nullptr;
    if (!target) {
        QByteArray header = '[' + sectionName.toByteArray() + ']';
        target = &addSection(sectionName.toByteArray(), classify(std::move(header)));
    }

    if (const IniKeyIndex::Entry* entry = target->keys.find(view(keyName), target->nameAt())) {
        Line& line = target->lines[entry->line];
        const std::string_view name = nameOf(line);
        QByteArray replaced = keyLine(QByteArrayView(name.data(), qsizetype(name.size())), text);
        if (replaced == line.text)
            return false;
        line.eq = qsizetype(name.size());
        line.text = std::move(replaced);
        return true;
    }

    // After the section's last non-blank line, so blank lines keep separating it from the next.
    auto& lines = target->lines;
    qsizetype position = qsizetype(lines.size());
    while (position > 0 && (lines[position - 1].removed || lines[position - 1].kind == Kind::Blank))
        --position;
    lines.insert(lines.begin() + position, classify(keyLine(keyName, text)));
    target->keys.addNew(view(keyName), position);
    return true;
}

bool IniDocument::removeKey(QByteArrayView section, QByteArrayView key)
{
    const auto sections = m_sectionIndex.find(view(trimmed(section)));
    if (sections == m_sectionIndex.end())
        return false;
    const std::string_view keyName = view(trimmed(key));
    for (const qsizetype index : sections->second) {
        Section& target = m_sections[index];
        IniKeyIndex::Entry* entry = target.keys.find(keyName, target.nameAt());
        if (!entry)
            continue;
        const qsizetype removed = entry->line;
        target.lines[removed].removed = true;
        ++target.removedLines;
        if (--entry->count == 0) {
            target.keys.erase(entry);
        } else {
            for (qsizetype i = removed + 1; i < qsizetype(target.lines.size()); ++i) {
                const Line& line = target.lines[i];
                if (!line.removed && line.kind == Kind::Named &&
                    IniNames::caseFoldEqual(nameOf(line), keyName)) {
                    entry->line = i;
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
    const qsizetype index = sections->second.front();
    Section& target = m_sections[index];
    const bool hadLines =
        std::any_of(target.lines.begin(), target.lines.end(), [](const Line& line) { return !line.removed; });
    target.lines.clear();
    target.keys.clear();
    target.removedLines = 0;
    if (index == 0)
        return hadLines; // the lines before the first header: no header to remove
    target.removed = true;
    sections->second.erase(sections->second.begin());
    if (sections->second.empty())
        m_sectionIndex.erase(sections);
    return true;
}

IniDocument::Line IniDocument::classify(QByteArray text)
{
    Line line;
    line.text = std::move(text);
    const QByteArrayView content = trimmed(line.text);
    if (content.isEmpty()) {
        line.kind = Kind::Blank;
    } else if (content[0] == '[' && content.lastIndexOf(']') > 0) {
        line.kind = Kind::Header;
    } else {
        line.kind = Kind::Named;
        line.eq = line.text.indexOf('=');
    }
    return line;
}

std::string_view IniDocument::nameOf(const Line& line)
{
    switch (line.kind) {
    case Kind::Header: {
        const QByteArrayView content = trimmed(line.text);
        return view(trimmed(content.sliced(1, content.lastIndexOf(']') - 1)));
    }
    case Kind::Named:
        return view(
            trimmed(line.eq >= 0 ? QByteArrayView(line.text).first(line.eq) : QByteArrayView(line.text)));
    case Kind::Blank:
        break;
    }
    return {};
}

void IniDocument::appendLine(Line line)
{
    if (line.kind == Kind::Header) {
        const std::string_view name = nameOf(line);
        addSection(QByteArray(name.data(), qsizetype(name.size())), std::move(line));
        return;
    }
    Section& section = m_sections.back();
    const qsizetype position = qsizetype(section.lines.size());
    const Kind kind = line.kind;
    section.lines.push_back(std::move(line));
    if (kind == Kind::Named)
        section.keys.add(nameOf(section.lines.back()), position, section.nameAt());
}

IniDocument::Section& IniDocument::addSection(QByteArray name, std::optional<Line> header)
{
    Section section;
    if (header)
        section.lines.push_back(std::move(*header));
    m_sectionIndex[std::string(view(name))].push_back(qsizetype(m_sections.size()));
    section.name = std::move(name);
    m_sections.push_back(std::move(section));
    return m_sections.back();
}

qsizetype IniDocument::firstSection(QByteArrayView trimmedName) const
{
    const auto found = m_sectionIndex.find(view(trimmedName));
    return found == m_sectionIndex.end() ? -1 : found->second.front();
}

void IniDocument::rebuildKeys(Section& section)
{
    section.keys.clear();
    for (qsizetype i = 0; i < qsizetype(section.lines.size()); ++i) {
        const Line& line = section.lines[i];
        if (line.removed || line.kind != Kind::Named)
            continue;
        section.keys.add(nameOf(line), i, section.nameAt());
    }
}

void IniDocument::dropRemovedLines(Section& section)
{
    std::erase_if(section.lines, [](const Line& line) { return line.removed; });
    section.removedLines = 0;
    rebuildKeys(section);
}
