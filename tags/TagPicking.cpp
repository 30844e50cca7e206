#include "tags/TagPicking.h"

#include "engine/ConnectionOptions.h"
#include "tags/TagNameRules.h"
#include "tags/TagTableIndex.h"

#include <QSet>

namespace {

// A variable may have many tags; a message names the first few.
constexpr qsizetype kTagsNamed = 5;

QString tagList(const QStringList& tags)
{
    if (tags.size() <= kTagsNamed)
        return tags.join(QStringLiteral(", "));
    return tags.first(kTagsNamed).join(QStringLiteral(", ")) +
           QStringLiteral(" and %1 more").arg(tags.size() - kTagsNamed);
}

} // namespace

bool namesNoVariable(const QString& text)
{
    return text.isEmpty() || text.compare(ConnectionOptions::kSelectPrompt, Qt::CaseInsensitive) == 0;
}

QStringList newTagRows(const TagTableIndex& table, qint32 rows, const QStringList& variables,
                       const QString& option, TagNaming naming)
{
    // Names given to the earlier rows of the same batch are taken for the later ones.
    QSet<QString> given;
    const auto taken = [&](const QString& name) {
        return given.contains(name.toCaseFolded()) || table.holdsName(name);
    };
    const QChar tab = QLatin1Char('\t');
    QStringList texts;
    texts.reserve(variables.size());
    qint32 number = rows;
    for (const QString& variable : variables) {
        const QString name = naming == TagNaming::Numbered ? defaultTagName(number, taken)
                                                           : freeTagName(variableAsTagName(variable), taken);
        given.insert(name.toCaseFolded());
        texts.append(QString::number(number) + tab + name + tab + variable + tab + option);
        ++number;
    }
    return texts;
}

QString tagCountText(qint64 tags)
{
    return tags == 1 ? QStringLiteral("1 tag") : QStringLiteral("%1 tags").arg(tags);
}

QString tagsAddedText(qint64 added)
{
    return added == 1 ? QStringLiteral("1 tag added.") : QStringLiteral("%1 tags added.").arg(added);
}

QString alreadyTaggedToolTip(const QStringList& tags)
{
    return QStringLiteral("Already tagged: ") + tagList(tags);
}

QString addAgainQuestion(const QString& variable, const QStringList& tags)
{
    return QStringLiteral("The variable \"%1\" is already tagged as %2.\nAdd it once more?")
        .arg(variable, tagList(tags));
}

QString addManyAgainQuestion(qsizetype tagged, qsizetype chosen)
{
    if (tagged == chosen)
        return QStringLiteral("All %1 chosen variables are already tagged.\nAdd them once more?").arg(chosen);
    return QStringLiteral("%1 of the %2 chosen variables are already tagged.\n"
                          "Add them once more? No adds only the other %3.")
        .arg(tagged)
        .arg(chosen)
        .arg(chosen - tagged);
}

QString addManyAgainDetails(const TagTableIndex& table, const QStringList& tagged)
{
    QStringList lines;
    lines.reserve(tagged.size());
    for (const QString& variable : tagged)
        lines.append(variable + QStringLiteral(": ") + tagList(table.tagsOf(variable)));
    return lines.join(QLatin1Char('\n'));
}
