#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The text the profile store works in: UTF-8, widened so that it also carries lone UTF-16
// surrogates, each as the three bytes UTF-8 gives its code point. A file's bytes that its
// encoding cannot decode travel as the surrogates U+DC00 to U+DCFF, one per byte, so they
// survive the way through QString and are written back as they were.
namespace ProfileText {

// UTF-8 in the strict sense: no overlong form, no surrogate, nothing above U+10FFFF.
bool isUtf8(QByteArrayView bytes);
// True when the text holds a lone surrogate.
bool holdsSurrogate(QByteArrayView text);

// The text as a QString; `mayHoldSurrogates` false promises strict UTF-8 (the faster way).
QString toString(QByteArrayView text, bool mayHoldSurrogates = true);

// The bytes of `string` written at `out`, which has room for 3 bytes per UTF-16 unit; the
// number of bytes written. `plain`, when given, tells whether the text is free of line breaks,
// NULs and lone surrogates: strict UTF-8 that fits in one line.
qsizetype write(QStringView string, char* out, bool* plain = nullptr);
QByteArray fromString(QStringView string);
// Replaces `out` with the text of `string`, keeping its capacity; true when it is plain.
bool assign(QStringView string, QByteArray& out);

// UTF-8 bytes, each byte that is not part of a well-formed sequence carried as its escape.
QByteArray fromUtf8KeepingBytes(QByteArrayView bytes);
// The opposite: escapes become their bytes again (other lone surrogates stay as they are).
QByteArray toUtf8KeepingBytes(QByteArrayView text);

// The surrogate that carries an undecodable byte, and back.
constexpr char16_t byteEscape(uchar byte)
{
    return char16_t(0xDC00 + byte);
}
constexpr bool isByteEscape(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDCFF;
}

} // namespace ProfileText
