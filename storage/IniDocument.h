#pragma once

#include "storage/FileEncoding.h"
#include "storage/IniKeyIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The lines of one INI file, parsed once and changed in place.
//
// A line is a section header ("[name]", blanks allowed around it and around the name, text
// after the last ']' ignored), a named line (a key line "name=value", or a bare name without
// '=' that reads as missing but is filled in when its name is written), or a blank line.
// Names and values are read without the blanks and tabs around them, and a value enclosed in
// matching quotes without them. Lines before the first header form a section without a name.
// Where a name occurs twice, look-ups and writes use the first occurrence.
//
// The document works in the store's text (storage/ProfileText.h); the file's encoding
// (storage/FileEncoding.h) converts on the way in and out. Every line that no change touches
// is written back with the same bytes (line ends become CR LF). The text read stays in one
// block that the lines point into; changed and added lines go to a second block.
class IniDocument final
{
public:
    IniDocument();
    static IniDocument fromBytes(const QByteArray& bytes);
    // The file's bytes in its encoding; nothing when the encoding cannot give the text back.
    std::optional<QByteArray> toBytes() const;
    // The same bytes handed to `write` piece by piece; false when there are none or `write`
    // failed. A UTF-8 file is written without building it whole.
    bool writeTo(const std::function<bool(QByteArrayView)>& write) const;
    const FileEncoding& encoding() const { return m_encoding; }
    // The file's text as read, in the store's text; empty after clear().
    const QByteArray& textAsRead() const { return m_text; }

    // The value of a key, or nothing when the section, the key or its '=' is missing. The view
    // stays valid until the next change.
    std::optional<QByteArrayView> value(QByteArrayView section, QByteArrayView key) const;
    // The names of the sections in file order, unnamed sections left out.
    QList<QByteArray> sectionNames() const;
    // The key names of a section in file order; names starting with ';' are left out.
    QList<QByteArray> keyNames(QByteArrayView section) const;

    // True when the lines setValue would write read back from the file's bytes as written:
    // the file's encoding holds them, in their place between line breaks.
    bool holdsWrite(QByteArrayView section, QByteArrayView key, QByteArrayView value) const;

    // Each change returns true when the document changed.
    // Replaces the key's value in its line, or adds the key after the last non-blank line of
    // its section, or adds the section at the end. Blanks before the value are dropped.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    // Removes the first line of that key in the first section of that name that has it.
    bool removeKey(QByteArrayView section, QByteArrayView key);
    // Removes the first section of that name: its header and every line up to the next one.
    bool removeSection(QByteArrayView section);
    // Removes every line: every section, whatever its name, and the lines before the first one.
    bool clear();

private:
    enum class Kind : quint8
    {
        Blank,
        Header,
        Named
    };
    struct Line
    {
        qsizetype offset = 0; // into m_text, or into m_added for an added line
        qint32 length = 0;    // without the line break
        qint32 eq = -1;       // position of the first '=' of a named line
        Kind kind = Kind::Blank;
        bool added = false;
        bool removed = false;
    };
    struct Section
    {
        bool removed = false;
        qsizetype removedLines = 0;
        std::vector<Line> lines; // the header line first, when there is one
        // Built at the first look-up in the section: sections nobody asks about cost nothing.
        mutable IniKeyIndex keys;
        mutable bool indexed = false;
    };

    QByteArrayView textOf(const Line& line) const;
    std::string_view nameOf(const Line& line) const;
    auto nameAt(const Section& section) const
    {
        return [this, &section](qint32 line) { return nameOf(section.lines[size_t(line)]); };
    }
    Line classify(qsizetype offset, qint32 length, bool added) const;
    // A line "name=value" (or "[name]" for a header) added to m_added.
    Line addedLine(QByteArrayView name, QByteArrayView value, bool header);
    void appendLine(const Line& line, qsizetype linesLeft);
    IniKeyIndex& keysOf(const Section& section) const;
    Section& addSection(std::string_view name, std::optional<Line> header);
    // The index of the first section of that name, or -1.
    qsizetype firstSection(QByteArrayView trimmedName) const;
    void forgetSectionLookup() const;
    void rebuildKeys(const Section& section) const;
    void dropRemovedLines(Section& section);

    FileEncoding m_encoding;
    QByteArray m_text;               // the file's text as read
    QByteArray m_added;              // the text of lines added or changed since
    std::vector<Section> m_sections; // the unnamed leading section first
    std::unordered_map<std::string, std::vector<qsizetype>, IniNames::CaseFoldHash, IniNames::CaseFoldEqual>
        m_sectionIndex;
    // The last section looked up: callers mostly ask for one section many times in a row.
    mutable std::string m_lookedUpName;
    mutable qsizetype m_lookedUpIndex = -2; // -2: nothing looked up
};
