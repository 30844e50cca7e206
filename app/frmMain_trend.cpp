// The Trend panel under the tag table: the live values of the selected tags over time.
#include "app/TrendPanel.h"
#include "app/frmMain.h"
#include "tags/GridControl.h"
#include "tags/TagColumns.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>

namespace {

// A chart of more lines than this is unreadable, and each line costs a series.
constexpr qsizetype kMostTrendedTags = 16;

} // namespace

void frmMain::createTrend()
{
    mnuView->addSeparator();
    mnuViewTrend = mnuView->addAction(QStringLiteral("&Trend"));
    mnuViewTrend->setObjectName(QStringLiteral("mnuViewTrend"));
    mnuViewTrend->setCheckable(true);
    // The panel's own action, once there is a panel; until then the item stands for it.
    mnuViewExportTrend = mnuView->addAction(QStringLiteral("Export Trend as CSV..."));
    mnuViewExportTrend->setObjectName(QStringLiteral("mnuViewExportTrend"));
    mnuViewExportTrend->setEnabled(false);

    connect(mnuViewTrend, &QAction::triggered, this, &frmMain::mnuViewTrend_Click);
    connect(mnuViewExportTrend, &QAction::triggered, this, [this] {
        if (m_trend)
            m_trend->exportCsv();
    });
    connect(grdItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmMain::followTrendTags);
}

TrendPanel& frmMain::trendPanel()
{
    // Made when first shown: a chart takes long to make, and most runs never show one.
    if (!m_trend) {
        m_trend = new TrendPanel(grdItems->parentWidget());
        m_trend->setObjectName(QStringLiteral("pnlTrend"));
        m_trend->hide();
        m_trend->setFileChooser([this](const FileDialogRequest& request) { return chooseFile(request); });
        connect(this, &frmMain::liveValuesRead, m_trend, &TrendPanel::addValues);
    }
    return *m_trend;
}

void frmMain::mnuViewTrend_Click()
{
    const bool on = mnuViewTrend->isChecked();
    TrendPanel& trend = trendPanel();
    trend.setVisible(on);
    trend.actExportTrendCsv->setEnabled(on);
    mnuViewExportTrend->setEnabled(on);
    followTrendTags();
    // The values come from the live-value poller, which reads the selected rows.
    if (on && !mnuViewLiveValues->isChecked()) {
        mnuViewLiveValues->setChecked(true);
        mnuViewLiveValues_Click();
    }
    Form_Resize();
}

void frmMain::followTrendTags()
{
    if (!m_trend || !m_trend->isVisible())
        return;
    QList<TrendTag> tags;
    for (const qint32 row : grdItems->selectedRows()) {
        if (tags.size() == kMostTrendedTags)
            break;
        tags.append({grdItems->TextMatrix(row, kTagNameColumn), grdItems->TextMatrix(row, kVarNameColumn)});
    }
    m_trend->setTags(tags);
}

void frmMain::placeTrendUnderTable()
{
    if (!m_trend || !m_trend->isVisible())
        return;
    // The panel takes the lower part of the table's place, two fifths of it at most.
    const QRect table = grdItems->geometry();
    const int height = qMin(table.height() * 2 / 5, 320);
    grdItems->setGeometry(table.x(), table.y(), table.width(), table.height() - height);
    m_trend->setGeometry(table.x(), table.y() + table.height() - height, table.width(), height);
}
