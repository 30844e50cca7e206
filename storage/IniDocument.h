#pragma once

#include "storage/IniKeyIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
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
// Every line that no change touches is written back with the same bytes (line ends become
// CR LF); a UTF-8 byte-order mark is kept, a UTF-16 file is read and written as UTF-16.
class IniDocument final
{
public:
    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The value of a key, or nothing when the section, the key or its '=' is missing. The view
    // stays valid until the next change.
    std::optional<QByteArrayView> value(QByteArrayView section, QByteArrayView key) const;
    // The names of the sections in file order, unnamed sections left out.
    QList<QByteArray> sectionNames() const;
    // The key names of a section in file order; names starting with ';' are left out.
    QList<QByteArray> keyNames(QByteArrayView section) const;

    // Each change returns true when the document changed.
    // Replaces the key's value in its line, or adds the key after the last non-blank line of
    // its section, or adds the section at the end. Blanks before the value are dropped.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    // Removes the first line of that key in the first section of that name that has it.
    bool removeKey(QByteArrayView section, QByteArrayView key);
    // Removes the first section of that name: its header and every line up to the next one.
    bool removeSection(QByteArrayView section);

private:
    enum class Encoding
    {
        Plain,
        Utf8Bom,
        Utf16LE,
        Utf16BE
    };
    enum class Kind : quint8
    {
        Blank,
        Header,
        Named
    };
    struct Line
    {
        QByteArray text;   // without its line break
        qsizetype eq = -1; // position of the first '=' of a named line
        Kind kind = Kind::Blank;
        bool removed = false;
    };
    struct Section
    {
        QByteArray name;
        bool removed = false;
        qsizetype removedLines = 0;
        std::vector<Line> lines; // the header line first, when there is one
        IniKeyIndex keys;
        auto nameAt() const
        {
            return [this](qsizetype line) { return nameOf(lines[line]); };
        }
    };

    static Line classify(QByteArray text);
    static std::string_view nameOf(const Line& line);
    void appendLine(Line line);
    Section& addSection(QByteArray name, std::optional<Line> header);
    // The index of the first section of that name, or -1.
    qsizetype firstSection(QByteArrayView trimmedName) const;
    void rebuildKeys(Section& section);
    void dropRemovedLines(Section& section);

    Encoding m_encoding = Encoding::Plain;
    std::vector<Section> m_sections; // the unnamed leading section first
    std::unordered_map<std::string, std::vector<qsizetype>, IniNames::CaseFoldHash, IniNames::CaseFoldEqual>
        m_sectionIndex;
};
