#include "storage/PrivateProfile.h"

#include "storage/ProfileFileCache.h"

#include <QList>
#include <algorithm>
#include <cstring>
#include <limits>

namespace PrivateProfile {

namespace {

quint32 copyText(QByteArrayView text, quint32 size, QByteArray& buffer)
{
    buffer.clear();
    if (size == 0)
        return 0;
    const qsizetype count = qMin(text.size(), qsizetype(size) - 1);
    buffer.reserve(count + 1);
    buffer.append(text.first(count)).append('\0');
    return quint32(count);
}

quint32 copyList(const QList<QByteArray>& names, quint32 size, QByteArray& buffer)
{
    buffer.clear();
    if (size == 0)
        return 0;
    for (const QByteArray& name : names)
        buffer.append(name).append('\0');
    if (buffer.size() + 1 <= qsizetype(size)) {
        const auto count = quint32(buffer.size());
        buffer.append('\0');
        return count;
    }
    if (size < 2) {
        buffer = QByteArray(1, '\0');
        return 0;
    }
    buffer.truncate(size - 2);
    buffer.append('\0').append('\0');
    return size - 2;
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

bool holdsLineBreakOrNul(TextView text)
{
    if (!text)
        return false;
    const auto isBreakOrNul = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
    const char* p = text->data();
    const char* const end = p + text->size();
    // Eight bytes at a time: only a word holding a byte below 14 can hold CR, LF or NUL.
    constexpr quint64 kOnes = 0x0101010101010101ull;
    constexpr quint64 kHighBits = 0x8080808080808080ull;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (((word - kOnes * 14) & ~word & kHighBits) != 0 && std::any_of(p, p + 8, isBreakOrNul))
            return true;
    }
    return std::any_of(p, end, isBreakOrNul);
}

// A key line is read up to its first '='; a line starting with '[' and holding a ']' after
// it is a section header.
bool readsAsAnotherLine(QByteArrayView key, QByteArrayView value)
{
    if (key.contains('='))
        return true;
    while (!key.isEmpty() && (key.front() == ' ' || key.front() == '\t'))
        key = key.sliced(1);
    return key.startsWith('[') && (key.indexOf(']') > 0 || value.contains(']'));
}

// The store keeps a line's length in 32 bits.
bool tooLong(TextView section, TextView key, TextView value)
{
    constexpr qsizetype kMaxLine = std::numeric_limits<qint32>::max() - 8;
    const auto size = [](TextView text) { return text ? text->size() : 0; };
    return size(section) > kMaxLine || size(key) + size(value) > kMaxLine;
}

std::optional<QByteArrayView> viewOf(const Text& text)
{
    return text ? std::optional<QByteArrayView>(*text) : std::nullopt;
}

} // namespace

bool clearInto(ProfileFileCache::Entry& file)
{
    if (file.keepOut)
        return false;
    if (file.document.clear() || !file.stamp.exists)
        file.changed = true;
    return true;
}

qint32 toInteger(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && uchar(text[i]) <= ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    quint32 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i]);
        if (digit >= base)
            break;
        value = value * quint32(base) + quint32(digit);
    }
    return qint32(negative ? 0u - value : value);
}

bool writeInto(ProfileFileCache::Entry& file, TextView section, TextView key, TextView value, bool plain)
{
    if (!section)
        return false;
    if (!plain && (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value)))
        return false;
    if (file.keepOut || tooLong(section, key, value))
        return false;
    bool changed = false;
    if (!key) {
        changed = file.document.removeSection(*section);
    } else if (!value) {
        changed = file.document.removeKey(*section, *key);
    } else {
        const bool held = (plain && !file.document.encoding().mayHoldSurrogates()) ||
                          file.document.holdsWrite(*section, *key, *value);
        if (!held || readsAsAnotherLine(*key, *value))
            return false;
        changed = file.document.setValue(*section, *key, *value);
    }
    // Removing from a missing file leaves an empty file behind, as on Windows.
    if (changed || !file.stamp.exists)
        file.changed = true;
    return true;
}

QByteArrayView cleanedDefault(QByteArrayView text)
{
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.sliced(1, text.size() - 2);
    return text;
}

quint32 getString(const ProfileFileCache::Entry* file, const Text& section, const Text& key,
                  const Text& defaultText, QByteArray& buffer, quint32 size)
{
    if (!section)
        return copyList(file ? file->document.sectionNames() : QList<QByteArray>(), size, buffer);
    if (!key) {
        const QList<QByteArray> names = file ? file->document.keyNames(*section) : QList<QByteArray>();
        if (!names.isEmpty())
            return copyList(names, size, buffer);
    } else if (file) {
        if (const auto value = file->document.value(*section, *key))
            return copyText(*value, size, buffer);
    }
    return copyText(defaultText ? cleanedDefault(*defaultText) : QByteArrayView(), size, buffer);
}

quint32 GetPrivateProfileStringA(const Text& section, const Text& key, const Text& defaultText,
                                 QByteArray& buffer, quint32 size, const QString& fileName)
{
    return getString(ProfileFileCache::instance().entry(fileName), section, key, defaultText, buffer, size);
}

qint32 GetPrivateProfileIntA(const Text& section, const Text& key, qint32 defaultValue,
                             const QString& fileName)
{
    QByteArray buffer;
    const quint32 count = GetPrivateProfileStringA(section, key, QByteArray(), buffer, 200000, fileName);
    if (count == 0)
        return defaultValue;
    return toInteger(QByteArrayView(buffer).first(buffer.indexOf('\0')));
}

bool WritePrivateProfileStringA(const Text& section, const Text& key, const Text& value,
                                const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    if (!section && !key && !value)
        return ProfileFileCache::instance().flush(fileName);
    if (!section)
        return false;
    return writeInto(*ProfileFileCache::instance().entry(fileName), viewOf(section), viewOf(key),
                     viewOf(value));
}

} // namespace PrivateProfile
