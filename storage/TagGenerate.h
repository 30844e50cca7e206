#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Tag setting files generated from a template: one file per row of an instance table
// (storage/InstanceTable.h), the template's placeholders (storage/TagTemplate.h) filled with the
// row's values. Works on the files' bytes alone; the command line reads and writes the files.

struct GenerationInput
{
    QByteArray templateBytes;
    QString templateName; // as given, for the messages
    QByteArray instanceBytes;
    QString instancesName;
};

struct GeneratedFile
{
    qint64 line = 0;  // the instance row's line
    QString fileName; // its File value, ending in ".qts"
    QByteArray bytes; // the tag setting file, in the template's character encoding
};

struct GenerationPlan
{
    // Why the template cannot be read as the window reads a tag setting file; nothing else is
    // done then.
    std::optional<QString> templateError;
    // One line per problem: those of the template as the command line's check finds them and
    // of its placeholders, then those of the instance table and of each instance row's file in
    // line order, naming the row's line, its file, the tag and the field.
    QStringList problems;
    // A file for each instance row, when no problem was found.
    QList<GeneratedFile> files;
};

// Why an instance row's file must not be written (it names the template, or a file that exists),
// or nothing; given the row's file name.
using GeneratedFileCheck = std::function<std::optional<QString>(const QString& fileName)>;

// Generates the files: each checked as the command line's check checks a file (tag names that
// repeat without regard to letter case or hold a forbidden character, cells a tag setting file
// cannot store), each value it takes held by the template's character encoding.
GenerationPlan planGeneration(const GenerationInput& input, const GeneratedFileCheck& fileCheck = {});
