#pragma once

#include "storage/ProfileText.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

// A property a fuzz target found broken: the run stops and libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// A file that was not UTF-8 and is valid UTF-8 after a save, with more than ASCII in it, reads
// as UTF-8 next time: a limit of telling the encodings apart, not a fault of the save.
inline bool readsAsUtf8Now(const QByteArray& before, const QByteArray& after)
{
    return !ProfileText::isUtf8(before) && ProfileText::isUtf8(after) &&
           std::any_of(after.begin(), after.end(), [](char c) { return uchar(c) >= 0x80; });
}

// One fuzz input as several files: the parts between the lines "%%%%". Missing parts are empty.
inline QList<QByteArray> splitFuzzInput(const QByteArray& bytes, qsizetype parts)
{
    static const QByteArray separator = "\n%%%%\n";
    QList<QByteArray> files;
    qsizetype from = 0;
    while (files.size() < parts - 1) {
        const qsizetype at = bytes.indexOf(separator, from);
        if (at < 0)
            break;
        files.append(bytes.mid(from, at - from));
        from = at + separator.size();
    }
    files.append(bytes.mid(from));
    while (files.size() < parts)
        files.append(QByteArray());
    return files;
}
