#include "storage/InstanceTable.h"

#include "storage/DelimitedText.h"
#include "storage/TagCsv.h"

#include <QHash>

namespace {

const QString kFileColumn = QStringLiteral("File");

// Why a File value names no file of the output folder, or nothing.
std::optional<QString> fileNameProblem(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("File is empty");
    if (value == QLatin1String(".") || value == QLatin1String(".."))
        return QStringLiteral("File \"%1\" is no file name").arg(value);
    if (value.front().isSpace() || value.back().isSpace())
        return QStringLiteral("File \"%1\" begins or ends with a blank").arg(value);
    for (const QChar c : value) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return QStringLiteral("File \"%1\" holds a path separator; it names a file of the output folder")
                .arg(value);
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("File \"%1\" holds a control character").arg(value);
    }
    return std::nullopt;
}

class InstanceReader final
{
public:
    explicit InstanceReader(const QString& name) : m_name(name) {}

    InstanceTableRead read(const QByteArray& bytes)
    {
        TagCsv::ParseError notText;
        const std::optional<QString> text = TagCsv::textOf(bytes, notText);
        if (!text)
            return refused(notText.line, notText.reason);
        const DelimitedText::Split split =
            DelimitedText::split(*text, QLatin1Char(','), DelimitedText::EmptyLines::Skipped);
        if (split.error)
            return refused(split.error->line, split.error->reason);
        if (split.records.isEmpty())
            return refused(1, QStringLiteral("the header row is missing"));
        if (!readHeader(split.records.first()))
            return std::move(m_read);
        if (split.records.size() == 1)
            return refused(split.records.first().line,
                           QStringLiteral("no instance row follows the header row"));
        for (qsizetype r = 1; r < split.records.size(); ++r)
            m_read.table.rows.append(rowOf(split.records.at(r)));
        return std::move(m_read);
    }

private:
    QString located(qint64 line, const QString& reason) const
    {
        return QStringLiteral("%1:%2: %3").arg(m_name).arg(line).arg(reason);
    }

    InstanceTableRead refused(qint64 line, const QString& reason)
    {
        refuse(line, reason);
        return std::move(m_read);
    }

    void refuse(qint64 line, const QString& reason) { m_read.problem = located(line, reason); }

    bool readHeader(const DelimitedText::Record& header)
    {
        InstanceTable& table = m_read.table;
        for (const QString& field : header.fields) {
            const QString column = field.trimmed();
            if (!column.isEmpty() && table.columnOf(column)) {
                refuse(header.line,
                       QStringLiteral("the header row names the column \"%1\" twice").arg(column));
                return false;
            }
            table.columns.append(column);
        }
        const std::optional<qsizetype> file = table.columnOf(kFileColumn);
        if (!file) {
            refuse(header.line,
                   QStringLiteral("the header row has no column \"File\", which names the files"));
            return false;
        }
        m_fileColumn = *file;
        return true;
    }

    InstanceRow rowOf(const DelimitedText::Record& record)
    {
        InstanceRow row{record.line, record.fields, QString(), std::nullopt};
        const qsizetype columns = m_read.table.columns.size();
        if (record.fields.size() != columns) {
            row.problem = located(record.line, QStringLiteral("it holds %1 fields, the header row %2")
                                                   .arg(record.fields.size())
                                                   .arg(columns));
            return row;
        }
        const QString& value = record.fields.at(m_fileColumn);
        if (std::optional<QString> reason = fileNameProblem(value)) {
            row.problem = located(record.line, *reason);
            return row;
        }
        row.fileName = value;
        if (!row.fileName.endsWith(QLatin1String(".qts"), Qt::CaseInsensitive))
            row.fileName += QLatin1String(".qts");
        const QString key = row.fileName.toCaseFolded();
        if (const auto earlier = m_lineOfFile.constFind(key); earlier != m_lineOfFile.cend())
            row.problem = located(
                record.line,
                QStringLiteral("File \"%1\" names the file of line %2 again").arg(value).arg(*earlier));
        else
            m_lineOfFile.insert(key, record.line);
        return row;
    }

    QString m_name;
    InstanceTableRead m_read;
    qsizetype m_fileColumn = 0;
    QHash<QString, qint64> m_lineOfFile;
};

} // namespace

std::optional<qsizetype> InstanceTable::columnOf(QStringView name) const
{
    const QStringView wanted = name.trimmed();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (!columns.at(i).isEmpty() && columns.at(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

InstanceTableRead readInstanceTable(const QByteArray& bytes, const QString& name)
{
    return InstanceReader(name).read(bytes);
}
