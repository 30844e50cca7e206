#include "storage/CodePage.h"

#include "storage/ProfileText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <iconv.h>
#include <map>

// Whole conversions; nothing, or a result that does not convert back, where a part of the
// input does not convert.
class CodePage::Converter
{
public:
    virtual ~Converter() = default;
    virtual std::optional<QString> decode(QByteArrayView bytes) = 0;
    virtual std::optional<QByteArray> encode(QStringView text) = 0;
};

namespace {

// The longest byte sequence of one character in the code pages of Windows programs.
constexpr qsizetype kMaxCharacterBytes = 4;

class QtConverter final : public CodePage::Converter
{
public:
    explicit QtConverter(const QByteArray& name)
        : m_decoder(name.constData(), kFlags), m_encoder(name.constData(), kFlags)
    {
    }
    bool isValid() const { return m_decoder.isValid() && m_encoder.isValid(); }

    // What Qt's converter cannot convert it replaces, and a converter that met one such error
    // keeps reporting it: its results are taken as they come, and the round trips CodePage
    // makes tell a replacement from the real thing.
    std::optional<QString> decode(QByteArrayView bytes) override { return m_decoder.decode(bytes); }
    std::optional<QByteArray> encode(QStringView text) override { return m_encoder.encode(text); }

private:
    static constexpr QStringConverter::Flags kFlags = QStringConverter::Flag::Stateless;
    QStringDecoder m_decoder;
    QStringEncoder m_encoder;
};

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char kHostUtf16[] = "UTF-16LE";
#else
constexpr char kHostUtf16[] = "UTF-16BE";
#endif

class IconvConverter final : public CodePage::Converter
{
public:
    explicit IconvConverter(const QByteArray& name)
        : m_toUtf16(iconv_open(kHostUtf16, name.constData())),
          m_fromUtf16(iconv_open(name.constData(), kHostUtf16))
    {
    }
    ~IconvConverter() override
    {
        for (iconv_t descriptor : {m_toUtf16, m_fromUtf16}) {
            if (descriptor != kInvalid)
                iconv_close(descriptor);
        }
    }
    Q_DISABLE_COPY_MOVE(IconvConverter)
    bool isValid() const { return m_toUtf16 != kInvalid && m_fromUtf16 != kInvalid; }

    std::optional<QString> decode(QByteArrayView bytes) override
    {
        const std::optional<QByteArray> units = convert(m_toUtf16, bytes);
        if (!units)
            return std::nullopt;
        return QString(reinterpret_cast<const QChar*>(units->constData()), units->size() / 2);
    }
    std::optional<QByteArray> encode(QStringView text) override
    {
        return convert(m_fromUtf16,
                       QByteArrayView(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    }

private:
    static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

    // Nothing on an invalid or incomplete sequence, or on a conversion iconv calls irreversible.
    static std::optional<QByteArray> convert(iconv_t descriptor, QByteArrayView input)
    {
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        QByteArray output(input.size() * 2 + 16, Qt::Uninitialized);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = size_t(input.size());
        size_t done = 0;
        for (;;) {
            char* out = output.data() + done;
            size_t outLeft = size_t(output.size()) - done;
            const size_t result = inLeft > 0 ? iconv(descriptor, &in, &inLeft, &out, &outLeft)
                                             : iconv(descriptor, nullptr, nullptr, &out, &outLeft);
            const int error = errno;
            done = size_t(output.size()) - outLeft;
            if (result != size_t(-1)) {
                if (result > 0)
                    return std::nullopt;
                if (inLeft == 0)
                    break;
                continue;
            }
            if (error != E2BIG)
                return std::nullopt;
            output.resize(output.size() * 2);
        }
        output.truncate(qsizetype(done));
        return output;
    }

    iconv_t m_toUtf16;
    iconv_t m_fromUtf16;
};

// The code pages of Windows programs hold ASCII as ASCII, and so does UTF-8: a file that keeps
// only its ASCII text reads the same either way. Qt's table for code page 932 swaps three
// control characters (0x1A, 0x1C, 0x7F), so such a converter is passed over.
bool keepsAscii(CodePage::Converter& converter)
{
    for (char16_t unit = 0; unit < 0x80; ++unit) {
        const char byte = char(unit);
        const std::optional<QString> text = converter.decode(QByteArrayView(&byte, 1));
        const std::optional<QByteArray> bytes = converter.encode(QStringView(&unit, 1));
        if (!text || *text != QChar(unit) || !bytes || *bytes != QByteArrayView(&byte, 1))
            return false;
    }
    return true;
}

std::unique_ptr<CodePage::Converter> converterFor(const QByteArray& name)
{
    if (auto qt = std::make_unique<QtConverter>(name); qt->isValid() && keepsAscii(*qt))
        return qt;
    if (auto c = std::make_unique<IconvConverter>(name); c->isValid() && keepsAscii(*c))
        return c;
    return nullptr;
}

} // namespace

CodePage::CodePage(QByteArray name, std::unique_ptr<Converter> converter)
    : m_name(std::move(name)), m_converter(std::move(converter))
{
}

CodePage::~CodePage() = default;

std::shared_ptr<CodePage> CodePage::named(const QByteArray& name)
{
    QByteArray spelled = name.trimmed();
    if (spelled.isEmpty())
        return nullptr;
    bool number = false;
    spelled.toUInt(&number);
    if (number)
        spelled.prepend("CP");
    static std::map<QByteArray, std::shared_ptr<CodePage>> known;
    if (const auto found = known.find(spelled); found != known.end())
        return found->second;
    std::unique_ptr<Converter> converter = converterFor(spelled);
    if (!converter)
        return nullptr;
    std::shared_ptr<CodePage> page(new CodePage(spelled, std::move(converter)));
    known.emplace(spelled, page);
    return page;
}

std::shared_ptr<CodePage> CodePage::ansi()
{
    if (std::shared_ptr<CodePage> configured = named(qgetenv("QUOR_ANSI_CODEPAGE")))
        return configured;
    return named(localeCodePageName());
}

QByteArray CodePage::localeCodePageName()
{
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray locale = qgetenv(variable);
        if (!locale.isEmpty())
            return locale.startsWith("ja") ? "CP932" : "CP1252";
    }
    return "CP1252";
}

QString CodePage::decode(QByteArrayView bytes)
{
    if (std::optional<QString> text = m_converter->decode(bytes); text && roundTrips(*text, bytes))
        return *text;
    // Line by line, so that one odd byte sends only its own line the slow way.
    QString text;
    text.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype lineEnd = bytes.indexOf('\n');
        const QByteArrayView line = bytes.first(lineEnd < 0 ? bytes.size() : lineEnd + 1);
        std::optional<QString> decoded = m_converter->decode(line);
        if (decoded && roundTrips(*decoded, line))
            text.append(*decoded);
        else
            text.append(decodeByCharacter(line));
        bytes = bytes.sliced(line.size());
    }
    return text;
}

std::optional<QByteArray> CodePage::encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool escape = i < text.size() && ProfileText::isByteEscape(text[i].unicode());
        if (i < text.size() && !escape)
            continue;
        if (i > runStart) {
            const std::optional<QByteArray> run = m_converter->encode(text.sliced(runStart, i - runStart));
            if (!run)
                return std::nullopt;
            bytes.append(*run);
        }
        if (escape)
            bytes.append(char(text[i].unicode() - 0xDC00));
        runStart = i + 1;
    }
    // A converter that writes a look-alike for a character it lacks, or an escaped byte that
    // joins its neighbour into another character, would not give the text back.
    if (decode(bytes) != text)
        return std::nullopt;
    return bytes;
}

bool CodePage::roundTrips(const QString& text, QByteArrayView bytes)
{
    const std::optional<QByteArray> back = m_converter->encode(text);
    return back && *back == bytes;
}

QString CodePage::decodeByCharacter(QByteArrayView bytes)
{
    QString text;
    qsizetype p = 0;
    while (p < bytes.size()) {
        bool decoded = false;
        for (qsizetype length = 1; length <= kMaxCharacterBytes && p + length <= bytes.size(); ++length) {
            if (const std::optional<QString>& found = character(bytes.sliced(p, length))) {
                text.append(*found);
                p += length;
                decoded = true;
                break;
            }
        }
        if (!decoded)
            text.append(QChar(ProfileText::byteEscape(uchar(bytes[p++]))));
    }
    return text;
}

const std::optional<QString>& CodePage::character(QByteArrayView piece)
{
    quint64 key = quint64(piece.size()) << 32;
    for (qsizetype i = 0; i < piece.size(); ++i)
        key |= quint64(uchar(piece[i])) << (8 * i);
    if (const auto found = m_characters.find(key); found != m_characters.end())
        return found->second;
    // Bounded: the pieces of one file, not of every file ever read.
    if (m_characters.size() > 65536)
        m_characters.clear();
    std::optional<QString> text = m_converter->decode(piece);
    if (text && (text->isEmpty() || !roundTrips(*text, piece)))
        text.reset();
    return m_characters.emplace(key, std::move(text)).first->second;
}
