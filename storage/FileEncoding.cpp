#include "storage/FileEncoding.h"

#include "storage/CodePage.h"
#include "storage/ProfileText.h"

#include <QString>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LEBom[] = "\xFF\xFE";
constexpr char kUtf16BEBom[] = "\xFE\xFF";

QString fromUtf16(QByteArrayView units, bool bigEndian)
{
    QString text(units.size() / 2, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto first = uchar(units[2 * i]);
        const auto second = uchar(units[2 * i + 1]);
        out[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return text;
}

QByteArray toUtf16(const QString& text, bool bigEndian)
{
    QByteArray units(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        units[2 * i] = char(bigEndian ? unit >> 8 : unit & 0xFF);
        units[2 * i + 1] = char(bigEndian ? unit & 0xFF : unit >> 8);
    }
    return units;
}

// The store's own text is well formed: what QString makes of it gives the same bytes again.
bool isWellFormed(QByteArrayView text)
{
    return ProfileText::fromString(ProfileText::toString(text)) == text;
}

} // namespace

FileEncoding FileEncoding::detect(const QByteArray& bytes, QByteArray& text)
{
    FileEncoding encoding;
    QByteArrayView body = bytes;
    if (bytes.startsWith(kUtf8Bom)) {
        encoding.m_kind = Kind::Utf8KeptBytes;
        encoding.m_bom = true;
        body = body.sliced(3);
    } else if (bytes.startsWith(kUtf16LEBom) || bytes.startsWith(kUtf16BEBom)) {
        encoding.m_kind = bytes.startsWith(kUtf16LEBom) ? Kind::Utf16LE : Kind::Utf16BE;
        encoding.m_bom = true;
        body = body.sliced(2);
        if (body.size() % 2 != 0) {
            encoding.m_tail = body.last(1).toByteArray();
            body.chop(1);
        }
    } else if (ProfileText::isUtf8(bytes)) {
        text = bytes;
        return encoding;
    } else if ((encoding.m_codePage = CodePage::ansi())) {
        encoding.m_kind = Kind::CodePage;
    } else {
        encoding.m_kind = Kind::Utf8KeptBytes;
    }
    text = encoding.decode(body);
    return encoding;
}

QByteArray FileEncoding::decode(QByteArrayView body) const
{
    switch (m_kind) {
    case Kind::Utf8:
        break;
    case Kind::Utf8KeptBytes:
        return ProfileText::fromUtf8KeepingBytes(body);
    case Kind::Utf16LE:
    case Kind::Utf16BE:
        return ProfileText::fromString(fromUtf16(body, m_kind == Kind::Utf16BE));
    case Kind::CodePage:
        return ProfileText::fromString(m_codePage->decode(body));
    }
    return body.toByteArray();
}

std::optional<QByteArray> FileEncoding::encode(const QByteArray& text) const
{
    switch (m_kind) {
    case Kind::Utf8:
        break;
    case Kind::Utf8KeptBytes:
        return (m_bom ? QByteArray(kUtf8Bom) : QByteArray()) + ProfileText::toUtf8KeepingBytes(text);
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        const bool bigEndian = m_kind == Kind::Utf16BE;
        return QByteArray(bigEndian ? kUtf16BEBom : kUtf16LEBom) +
               toUtf16(ProfileText::toString(text), bigEndian) + m_tail;
    }
    case Kind::CodePage:
        return m_codePage->encode(ProfileText::toString(text));
    }
    return text;
}

bool FileEncoding::holds(QByteArrayView text) const
{
    switch (m_kind) {
    case Kind::Utf8:
        break;
    case Kind::Utf8KeptBytes:
        return decode(ProfileText::toUtf8KeepingBytes(text)) == text;
    case Kind::Utf16LE:
    case Kind::Utf16BE:
        return isWellFormed(text);
    case Kind::CodePage:
        return isWellFormed(text) && m_codePage->encode(ProfileText::toString(text)).has_value();
    }
    return ProfileText::isUtf8(text);
}

QByteArray FileEncoding::name() const
{
    switch (m_kind) {
    case Kind::Utf16LE:
        return "UTF-16LE";
    case Kind::Utf16BE:
        return "UTF-16BE";
    case Kind::CodePage:
        return m_codePage->name();
    case Kind::Utf8:
    case Kind::Utf8KeptBytes:
        break;
    }
    return "UTF-8";
}
