#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>
#include <unordered_map>

// A code page in which Windows programs write their INI files ("ANSI" text), converted by what
// the platform has: Qt's converters where Qt knows the name, else iconv of the C library.
// Conversions keep every byte: what does not decode to a character that encodes back to the
// same bytes travels as byte escapes (storage/ProfileText.h). Used from one thread.
class CodePage final
{
public:
    // The code page of that name, as Qt or iconv spell it ("CP932", "windows-1252"; a bare
    // number n stands for "CPn"); nullptr when neither knows it.
    static std::shared_ptr<CodePage> named(const QByteArray& name);
    // The code page of files that are not UTF-8: the one named by QUOR_ANSI_CODEPAGE when it is
    // set and known, otherwise the one of the user's locale.
    static std::shared_ptr<CodePage> ansi();
    // CP932 for a Japanese locale (LC_ALL, else LC_CTYPE, else LANG), CP1252 for any other.
    static QByteArray localeCodePageName();

    ~CodePage();
    Q_DISABLE_COPY_MOVE(CodePage)

    const QByteArray& name() const { return m_name; }

    // The text of the bytes; a byte that does not start such a character becomes its escape.
    QString decode(QByteArrayView bytes);
    // The bytes of the text, each escape as its byte; nothing when the code page cannot hold
    // the text so that it decodes to the same text again.
    std::optional<QByteArray> encode(QStringView text);

    class Converter;

private:
    CodePage(QByteArray name, std::unique_ptr<Converter> converter);
    bool roundTrips(const QString& text, QByteArrayView bytes);
    QString decodeByCharacter(QByteArrayView bytes);
    // The character of a few bytes, or nothing when they are not one character that encodes
    // back to them. Remembered: a file with many odd bytes asks about the same ones again.
    const std::optional<QString>& character(QByteArrayView piece);

    QByteArray m_name;
    std::unique_ptr<Converter> m_converter;
    std::unordered_map<quint64, std::optional<QString>> m_characters;
};
