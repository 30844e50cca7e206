#include "storage/TrendCsv.h"

#include "storage/TagCsv.h"
#include "tags/TrendRecorder.h"

#include <QLocale>
#include <QSaveFile>
#include <algorithm>

namespace TrendCsv {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");

namespace {

struct Row
{
    qint64 msecs;
    qsizetype tagIndex;
    double value;
};

QList<Row> rowsInTimeOrder(const TrendRecorder& recorder)
{
    QList<Row> rows;
    for (qsizetype i = 0; i < recorder.tags().size(); ++i) {
        for (const TrendSample& sample : recorder.samples(i))
            rows.append(Row{sample.msecs, i, sample.value});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.msecs < b.msecs; });
    return rows;
}

} // namespace

QByteArray fromRecorder(const TrendRecorder& recorder)
{
    QString text;
    TagCsv::appendRecord(text,
                         {QStringLiteral("Time (UTC)"), QStringLiteral("Tag"), QStringLiteral("Value")});
    for (const Row& row : rowsInTimeOrder(recorder)) {
        TagCsv::appendRecord(text, {QDateTime::fromMSecsSinceEpoch(row.msecs, Qt::UTC).toString(kTimeFormat),
                                    recorder.tags().at(row.tagIndex).tag,
                                    QString::number(row.value, 'f', QLocale::FloatingPointShortest)});
    }
    return text.toUtf8();
}

std::optional<QString> save(const TrendRecorder& recorder, const QString& path)
{
    const QByteArray csv = fromRecorder(recorder);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return std::nullopt;
    return QStringLiteral("%1: %2").arg(path, file.errorString());
}

} // namespace TrendCsv
