#include "app/TrendPanel.h"

#include "platform/Dialogs.h"
#include "storage/TrendCsv.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

FileDialogRequest csvSaveDialog()
{
    FileDialogRequest request;
    request.save = true;
    request.filter = QStringLiteral("CSV (*.csv)|*.csv");
    request.defaultSuffix = QStringLiteral("csv");
    request.flags = OfnFlags::HideReadOnly | OfnFlags::Explorer | OfnFlags::LongNames |
                    OfnFlags::OverwritePrompt | OfnFlags::NoReadOnlyReturn;
    return request;
}

} // namespace

TrendPanel::TrendPanel(QWidget* parent, TrendRecorder::Clock clock)
    : QWidget(parent), m_recorder(std::move(clock)),
      m_chooseFile([this](const FileDialogRequest& request) { return dialogs().fileDialog(this, request); })
{
    setObjectName(QStringLiteral("TrendPanel"));
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(4, 4, 4, 4));

    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    m_timeAxis->setTickCount(6);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_valueAxis = new QValueAxis(m_chart);
    m_valueAxis->setLabelFormat(QStringLiteral("%g"));
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);

    chtTrend = new QChartView(m_chart, this);
    chtTrend->setObjectName(QStringLiteral("chtTrend"));
    chtTrend->setRenderHint(QPainter::Antialiasing);
    chtTrend->setContextMenuPolicy(Qt::ActionsContextMenu);

    actExportTrendCsv = new QAction(QStringLiteral("Export Trend as CSV..."), this);
    actExportTrendCsv->setObjectName(QStringLiteral("actExportTrendCsv"));
    connect(actExportTrendCsv, &QAction::triggered, this, &TrendPanel::exportCsv);
    chtTrend->addAction(actExportTrendCsv);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chtTrend);
    fitAxes();
}

void TrendPanel::setTags(const QList<TrendTag>& tags)
{
    m_recorder.setTags(tags);
    createSeries();
    QList<qsizetype> all;
    for (qsizetype i = 0; i < m_series.size(); ++i)
        all.append(i);
    showSamples(all);
}

void TrendPanel::addValues(const QList<VariableValue>& values)
{
    showSamples(m_recorder.add(values));
}

void TrendPanel::clear()
{
    m_recorder.clear();
    for (QLineSeries* series : std::as_const(m_series))
        series->clear();
    fitAxes();
}

void TrendPanel::setFileChooser(FileChooser chooser)
{
    m_chooseFile = std::move(chooser);
}

void TrendPanel::exportCsv()
{
    const QString path = m_chooseFile(csvSaveDialog());
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = TrendCsv::save(m_recorder, path))
        showMessageWithDetails(this, QStringLiteral("Failed to export the trend."), MsgIcon::Critical,
                               *failure);
}

void TrendPanel::createSeries()
{
    // Removing a series deletes it; the axes stay with the chart.
    m_chart->removeAllSeries();
    m_series.clear();
    for (const TrendTag& tag : m_recorder.tags()) {
        auto* series = new QLineSeries;
        series->setName(tag.tag);
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
        m_series.append(series);
    }
}

void TrendPanel::showSamples(const QList<qsizetype>& tagIndexes)
{
    QList<QPointF> points;
    for (const qsizetype index : tagIndexes) {
        points.clear();
        for (const TrendSample& sample : m_recorder.samples(index))
            points.append(QPointF(static_cast<qreal>(sample.msecs), sample.value));
        m_series.at(index)->replace(points);
    }
    fitAxes();
}

void TrendPanel::fitAxes()
{
    const QDateTime now = m_recorder.now();
    m_timeAxis->setRange(now.addMSecs(-TrendRecorder::kSpanMsecs), now);
    auto [low, high] = m_recorder.valueRange().value_or(std::pair(0.0, 1.0));
    if (low == high) {
        low -= 1;
        high += 1;
    }
    m_valueAxis->setRange(low, high);
    m_valueAxis->applyNiceNumbers();
}
