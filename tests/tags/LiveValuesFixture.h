#pragma once

#include "engine/ValuePoller.h"
#include "platform/ComboBoxes.h"
#include "tags/LiveTagRows.h"
#include "tests/support/FakeValues.h"
#include "tests/support/TableRows.h"
#include "tests/support/WaitFor.h"
#include "tests/tags/TagTableFixture.h"

#include <QAction>
#include <QSet>

// A shown window whose engine offers live values from a FakeValues, connected the QUOR way to
// "Line1", with tags on variables the values script.
class LiveValuesFixture : public TagTableFixture
{
protected:
    void SetUp() override
    {
        TagTableFixture::SetUp();
        state.objValues.add(FakeValues::sourceOf(values));
    }

    // Tag1 .. TagN on V1 .. VN, each an int16 of value i; nothing unsaved.
    frmMain& connectedWith(int rows)
    {
        frmMain& w = openWindow(false);
        connect();
        QList<QStringList> table;
        for (int i = 1; i <= rows; ++i) {
            const QString variable = QStringLiteral("V%1").arg(i);
            values->set(variable, qint64(i), QStringLiteral("int16"));
            QStringList cells{QStringLiteral("Tag%1").arg(i), variable};
            while (cells.size() < 10)
                cells.append(QString());
            table.append(cells);
        }
        EXPECT_EQ(w.document().appendRows(QStringLiteral("Rows"), table), std::nullopt);
        w.setChanged(false);
        dialogs.clear();
        return w;
    }

    void connect()
    {
        window->cmbCtrl->setEditText(QStringLiteral("Line1"));
        setComboText(window->cmbProvs, QStringLiteral("QuorProv.Sim.Ethernet"));
        QTest::mouseClick(window->chkConnQUOR, Qt::LeftButton);
        waitForEngine();
        ASSERT_TRUE(window->connectedController());
    }

    void liveOn()
    {
        window->mnuViewLiveValues->trigger();
        ASSERT_TRUE(window->mnuViewLiveValues->isChecked());
    }

    // The text of a live cell, grid numbering of the rows.
    QString live(qint32 row, LiveColumnsModel::LiveColumn column) const
    {
        const LiveColumnsModel& model = grid().liveColumns();
        return model.index(row - 1, model.columnOf(column)).data().toString();
    }

    QSet<QString> namesRead() const
    {
        QSet<QString> names;
        for (const QStringList& read : values->reads)
            names.unite(QSet<QString>(read.begin(), read.end()));
        return names;
    }

    std::shared_ptr<FakeValues> values = FakeValues::create();
};
