#include "storage/ProfileText.h"

#include <QStringDecoder>
#include <cstring>

namespace ProfileText {

namespace {

// The length of the well-formed UTF-8 sequence at `p`, or 0 when none starts there.
int sequenceLength(const uchar* p, const uchar* end)
{
    const uchar lead = p[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p < length || p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

const uchar* bytesOf(QByteArrayView text)
{
    return reinterpret_cast<const uchar*>(text.data());
}

// The start of the next lone surrogate's three bytes at or after `p`, or `end`.
const uchar* nextSurrogate(const uchar* p, const uchar* end)
{
    while (end - p >= 3) {
        const void* found = std::memchr(p, 0xED, size_t(end - p - 2));
        if (!found)
            break;
        p = static_cast<const uchar*>(found);
        if (p[1] >= 0xA0 && p[1] <= 0xBF && (p[2] & 0xC0) == 0x80)
            return p;
        ++p;
    }
    return end;
}

// QString::fromUtf8 drops a byte-order mark at the start; a value may well begin with U+FEFF.
QString fromUtf8(const uchar* p, qsizetype size)
{
    static QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                              QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(p, size));
}

char16_t surrogateAt(const uchar* p)
{
    return char16_t(0xD000 | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
}

char* writeThreeBytes(char16_t unit, char* out)
{
    *out++ = char(0xE0 | (unit >> 12));
    *out++ = char(0x80 | ((unit >> 6) & 0x3F));
    *out++ = char(0x80 | (unit & 0x3F));
    return out;
}

} // namespace

bool isUtf8(QByteArrayView bytes)
{
    const uchar* p = bytesOf(bytes);
    const uchar* const end = p + bytes.size();
    constexpr quint64 kHighBits = 0x8080808080808080ull;
    while (p < end) {
        // ASCII 32 bytes at a time, then 8.
        while (end - p >= 32) {
            quint64 words[4];
            std::memcpy(words, p, 32);
            if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0)
                break;
            p += 32;
        }
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & kHighBits) == 0) {
                p += 8;
                continue;
            }
        }
        if (p == end)
            break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = sequenceLength(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

bool holdsSurrogate(QByteArrayView text)
{
    const uchar* end = bytesOf(text) + text.size();
    return nextSurrogate(bytesOf(text), end) != end;
}

QString toString(QByteArrayView text, bool mayHoldSurrogates)
{
    const uchar* p = bytesOf(text);
    const uchar* const end = p + text.size();
    const uchar* surrogate = mayHoldSurrogates ? nextSurrogate(p, end) : end;
    if (surrogate == end)
        return fromUtf8(p, text.size());
    QString string;
    string.reserve(text.size());
    while (p < end) {
        string.append(fromUtf8(p, surrogate - p));
        if (surrogate == end)
            break;
        string.append(QChar(surrogateAt(surrogate)));
        p = surrogate + 3;
        surrogate = nextSurrogate(p, end);
    }
    return string;
}

qsizetype write(QStringView string, char* out, bool* plain)
{
    char* const start = out;
    bool clean = true;
    const char16_t* p = string.utf16();
    const char16_t* const end = p + string.size();
    while (p < end) {
        // Four units at a time while they are ASCII and none is a control character.
        while (end - p >= 4) {
            quint64 units;
            std::memcpy(&units, p, 8);
            if ((units & 0xFF80FF80FF80FF80ull) != 0 ||
                ((units - 0x0020002000200020ull) & 0x8000800080008000ull) != 0)
                break;
            out[0] = char(p[0]);
            out[1] = char(p[1]);
            out[2] = char(p[2]);
            out[3] = char(p[3]);
            p += 4;
            out += 4;
        }
        if (p == end)
            break;
        const char16_t unit = *p++;
        if (unit < 0x80) {
            clean = clean && unit != u'\r' && unit != u'\n' && unit != 0;
            *out++ = char(unit);
        } else if (unit < 0x800) {
            *out++ = char(0xC0 | (unit >> 6));
            *out++ = char(0x80 | (unit & 0x3F));
        } else if (QChar::isHighSurrogate(unit) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t point = QChar::surrogateToUcs4(unit, *p++);
            *out++ = char(0xF0 | (point >> 18));
            *out++ = char(0x80 | ((point >> 12) & 0x3F));
            *out++ = char(0x80 | ((point >> 6) & 0x3F));
            *out++ = char(0x80 | (point & 0x3F));
        } else {
            clean = clean && !QChar::isSurrogate(unit);
            out = writeThreeBytes(unit, out);
        }
    }
    if (plain)
        *plain = clean;
    return out - start;
}

QByteArray fromString(QStringView string)
{
    QByteArray text(string.size() * 3, Qt::Uninitialized);
    text.truncate(write(string, text.data()));
    return text;
}

bool assign(QStringView string, QByteArray& out)
{
    bool plain = true;
    out.resize(string.size() * 3);
    out.resize(write(string, out.data(), &plain));
    return plain;
}

QByteArray fromUtf8KeepingBytes(QByteArrayView bytes)
{
    QByteArray text;
    text.reserve(bytes.size());
    const uchar* p = bytesOf(bytes);
    const uchar* const end = p + bytes.size();
    while (p < end) {
        const int length = sequenceLength(p, end);
        if (length > 0) {
            text.append(reinterpret_cast<const char*>(p), length);
            p += length;
        } else {
            char escape[3];
            writeThreeBytes(byteEscape(*p++), escape);
            text.append(escape, 3);
        }
    }
    return text;
}

QByteArray toUtf8KeepingBytes(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    const uchar* p = bytesOf(text);
    const uchar* const end = p + text.size();
    while (p < end) {
        const uchar* surrogate = nextSurrogate(p, end);
        bytes.append(reinterpret_cast<const char*>(p), surrogate - p);
        if (surrogate == end)
            break;
        const char16_t unit = surrogateAt(surrogate);
        if (isByteEscape(unit))
            bytes.append(char(unit - 0xDC00));
        else
            bytes.append(reinterpret_cast<const char*>(surrogate), 3);
        p = surrogate + 3;
    }
    return bytes;
}

} // namespace ProfileText
