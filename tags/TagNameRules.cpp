#include "tags/TagNameRules.h"

#include "tags/TagColumns.h"
#include "tags/TagGridModel.h"

const QStringList& forbiddenTagNameCharacters()
{
    static const QStringList characters = {QStringLiteral("\\"), QStringLiteral("!"), QStringLiteral("#"),
                                           QStringLiteral("$"),  QStringLiteral(":"), QStringLiteral(",")};
    return characters;
}

QString firstForbiddenCharacter(const QString& name)
{
    for (const QString& ch : forbiddenTagNameCharacters()) {
        if (name.contains(ch, Qt::CaseSensitive))
            return ch;
    }
    return {};
}

bool isDuplicateTagName(const TagGridModel& table, qint32 row, qint32 col)
{
    const qint32 rows = table.Rows();
    if (rows <= 2)
        return false;
    const QStringView name = table.textAt(row, col);
    for (qint32 other = 1; other < rows; ++other) {
        if (other != row && table.textAt(other, kTagNameColumn).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString duplicateTagNameMessage(const QString& name)
{
    return QStringLiteral("[") + name + QStringLiteral("] is a duplicate.");
}

QString forbiddenCharacterMessage(const QString& ch)
{
    return QStringLiteral("This character") + QStringLiteral(" \"") + ch + QStringLiteral(" \" ") +
           QStringLiteral("cannot be used as a TagName.");
}

QString defaultTagName(qint32 number, const std::function<bool(const QString&)>& taken)
{
    for (qint64 n = number;; ++n) {
        QString name = QStringLiteral("Tag") + QString::number(n);
        if (!taken(name))
            return name;
    }
}

QString variableAsTagName(const QString& variable)
{
    QString name = variable;
    for (QChar& c : name) {
        if (c == QLatin1Char('.') || c.isSpace() || c.category() == QChar::Other_Control ||
            forbiddenTagNameCharacters().contains(QString(c)))
            c = QLatin1Char('_');
    }
    return name;
}

QString freeTagName(const QString& name, const std::function<bool(const QString&)>& taken)
{
    if (!taken(name))
        return name;
    for (qint64 n = 2;; ++n) {
        QString numbered = name + QLatin1Char('_') + QString::number(n);
        if (!taken(numbered))
            return numbered;
    }
}
