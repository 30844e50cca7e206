#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>
#include <optional>

class CodePage;

// How an INI file's bytes become the store's text (storage/ProfileText.h) and back, every byte
// kept: a file that is valid UTF-8 is UTF-8; one with a byte-order mark is UTF-8 or UTF-16 as
// the mark says; any other was written in the ANSI code page of a Windows program
// (CodePage::ansi()). A file written back in its encoding with nothing changed gives the same
// bytes.
class FileEncoding final
{
public:
    // A new file's encoding: UTF-8.
    FileEncoding() = default;
    // The encoding of `bytes`, and their text into `text`.
    static FileEncoding detect(const QByteArray& bytes, QByteArray& text);

    // The file's bytes for that text; nothing when the encoding cannot give the text back
    // (text that holds() refused).
    std::optional<QByteArray> encode(const QByteArray& text) const;
    // True when the text, written into the file, reads back as the same text.
    bool holds(QByteArrayView text) const;
    // False when the text is strict UTF-8, as the text of a plain UTF-8 file is.
    bool mayHoldSurrogates() const { return m_kind != Kind::Utf8; }
    // "UTF-8", "UTF-16LE", "UTF-16BE" or the code page's name.
    QByteArray name() const;

private:
    enum class Kind
    {
        Utf8,          // strict UTF-8: the text is the file's bytes
        Utf8KeptBytes, // UTF-8 after a byte-order mark, undecodable bytes escaped
        Utf16LE,
        Utf16BE,
        CodePage
    };

    QByteArray decode(QByteArrayView body) const;

    Kind m_kind = Kind::Utf8;
    bool m_bom = false;
    std::shared_ptr<CodePage> m_codePage;
    QByteArray m_tail; // the odd last byte of a UTF-16 file
};
