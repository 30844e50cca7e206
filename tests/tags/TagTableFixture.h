#pragma once

#include "tags/GridControl.h"
#include "tests/support/MainWindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

// A shown, loaded main window whose tag table is driven through its real widgets: the
// picker and the Add and Delete buttons, clicks on grid cells and in-place edits.
class TagTableFixture : public MainWindowFixture
{
protected:
    // Loads and shows the window; Add and Delete are enabled as after a connection.
    frmMain& openWindow(bool enableButtons = true)
    {
        frmMain& w = loadWindow();
        w.resize(700, 600);
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        if (enableButtons)
            w.EnableItemButtons(true);
        return w;
    }

    void TearDown() override
    {
        // An editor left open by a failed case is committed while the window still lives.
        if (window)
            grid().finishEdit();
        MainWindowFixture::TearDown();
    }

    GridControl& grid() const { return *window->grdItems; }

    // Puts a variable and an option into the picker and presses Add.
    void add(const QString& variable, const QString& option = QString())
    {
        window->cmbVars->setEditText(variable);
        window->txtVarOpt->setText(option);
        QTest::mouseClick(window->cmdAddItem, Qt::LeftButton);
    }

    // A shown window with the tags Tag1 .. TagN on the variables V1 .. VN, their options
    // `optionPrefix` and the row's number (none without a prefix), no change pending.
    frmMain& withTags(int count, const QString& optionPrefix = QString())
    {
        frmMain& w = openWindow();
        for (int i = 1; i <= count; ++i)
            add(QStringLiteral("V%1").arg(i),
                optionPrefix.isEmpty() ? QString() : optionPrefix + QString::number(i));
        w.setChanged(false);
        dialogs.clear();
        return w;
    }

    void pressDelete() { QTest::mouseClick(window->cmdDelete, Qt::LeftButton); }

    // Clicks cell (row, col) of the grid, grid numbering (data rows from 1).
    void click(qint32 row, qint32 col)
    {
        GridControl& g = grid();
        const QModelIndex cell = g.model()->index(row - 1, col);
        g.scrollTo(cell);
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(cell).center());
    }

    // The open in-place editor; closed editors linger until their deferred deletion.
    QLineEdit* editor() const
    {
        for (QLineEdit* line : grid().viewport()->findChildren<QLineEdit*>()) {
            if (line->isVisible())
                return line;
        }
        return nullptr;
    }

    // Enters cell (row, col), opens its editor with F2, types `text` over the old one
    // and finishes with Enter. False when no editor opened.
    bool edit(qint32 row, qint32 col, const QString& text)
    {
        click(row, col);
        QTest::keyClick(&grid(), Qt::Key_F2);
        QLineEdit* line = editor();
        if (!line)
            return false;
        line->selectAll();
        if (text.isEmpty())
            QTest::keyClick(line, Qt::Key_Backspace);
        else if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; }))
            QTest::keyClicks(line, text);
        else
            line->insert(text); // key clicks carry Latin-1 text only

        QTest::keyClick(line, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return true;
    }

    QStringList column(qint32 col) const
    {
        QStringList texts;
        for (qint32 row = 1; row < grid().Rows(); ++row)
            texts.append(grid().TextMatrix(row, col));
        return texts;
    }
    QStringList numbers() const { return column(0); }
    QStringList names() const { return column(1); }

    // The message boxes shown so far, as "text" lines, then forgets them.
    QStringList takeTexts()
    {
        const QStringList texts = dialogs.texts();
        dialogs.clear();
        return texts;
    }
};
