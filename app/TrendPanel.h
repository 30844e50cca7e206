#pragma once

#include "tags/TrendRecorder.h"

#include <QWidget>
#include <functional>

class QAction;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
struct FileDialogRequest;

// The trend of the followed tags' live values over the last ten minutes: one line per tag,
// named by the tag in the legend, time across (the last ten minutes up to now), and a value
// axis that fits the values held. It knows no window: its owner tells it the tags, hands it
// every batch of values read, and offers its export action where it likes (the chart's context
// menu offers it too).
class TrendPanel final : public QWidget
{
    Q_OBJECT

public:
    // Asks for the file to export to; "" when the user cancelled.
    using FileChooser = std::function<QString(const FileDialogRequest&)>;

    // `clock` tells the present time; the system clock unless given.
    explicit TrendPanel(QWidget* parent = nullptr, TrendRecorder::Clock clock = {});
    Q_DISABLE_COPY_MOVE(TrendPanel)

    // Follows these tags, in this order; samples of the tags that stay are kept.
    void setTags(const QList<TrendTag>& tags);
    // Takes the values of the followed tags' variables (matched by the variable's name) and
    // moves the time axis on to now.
    void addValues(const QList<VariableValue>& values);
    // Forgets every sample; the tags stay.
    void clear();

    // "Export Trend as CSV...": asks for a file and writes every sample held to it; a file that
    // cannot be written is reported in a message box.
    void exportCsv();
    // Replaces how the file is asked for (the file dialog of the dialog seam, by default), so
    // that the window can start it in its last folder.
    void setFileChooser(FileChooser chooser);

    const TrendRecorder& recorder() const { return m_recorder; }
    QChart* chart() const { return m_chart; }

    QChartView* chtTrend = nullptr;
    QAction* actExportTrendCsv = nullptr;

private:
    void createSeries();
    void showSamples(const QList<qsizetype>& tagIndexes);
    void fitAxes();

    TrendRecorder m_recorder;
    FileChooser m_chooseFile;
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
    // One for each followed tag, in the recorder's order.
    QList<QLineSeries*> m_series;
};
