#pragma once

#include "platform/ComboBoxes.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileWriter.h"
#include "tags/GridControl.h"
#include "tags/TagDocument.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TableRows.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

// The main-window fixture with what the file and settings tests share: connections made as
// the user makes them (through the fake engine), tag rows, file bytes and a restart.
class StorageWindow : public MainWindowFixture
{
protected:
    static inline const QString kSimProvider = QStringLiteral("QuorProv.Sim.Ethernet");

    // Connects the QUOR way with the given fields; the unsaved-change prompt is answered No.
    void connectQuor(const QString& controller, const QString& provider = kSimProvider,
                     const QString& machine = QString(), const QString& option = QString())
    {
        window->optProvider[0]->setChecked(true);
        setComboText(window->cmbCtrl, controller);
        setComboText(window->cmbProvs, provider);
        window->txtMachine->setText(machine);
        window->txtOption->setText(option);
        answerNoIfChanged();
        window->chkConnQUOR->setChecked(true);
        waitForEngine();
        ASSERT_TRUE(window->connectedController()) << controller.toStdString();
    }

    // Connects the TULO way; the fake engine names the new controller `reportedName`.
    void connectTulo(const QString& connectParameter, const QString& reportedName)
    {
        window->optProvider[1]->setChecked(true);
        setComboText(window->cmbConn, connectParameter);
        engine->controllerName = reportedName;
        answerNoIfChanged();
        window->chkConnTULO->setChecked(true);
        waitForEngine();
        engine->controllerName.clear();
        ASSERT_TRUE(window->connectedController());
    }

    // Connects the BRAKKA way (model 0 = Lyra7, 1 = Lyra8).
    void connectBrakka(int model, const QString& server, const QString& timeout, const QString& reportedName)
    {
        window->optLyra[model]->setChecked(true);
        setComboText(window->cmbServer, server);
        window->txtTimeout->setText(timeout);
        engine->controllerName = reportedName;
        answerNoIfChanged();
        window->chkConnBRAKKA->setChecked(true);
        waitForEngine();
        engine->controllerName.clear();
        ASSERT_TRUE(window->connectedController());
    }

    void disconnect()
    {
        for (QPushButton* box : {window->chkConnQUOR, window->chkConnTULO, window->chkConnBRAKKA})
            box->setChecked(false);
        ASSERT_FALSE(window->connectedController());
    }

    // Appends a data row numbered as the grid numbers it, with up to ten stored cells.
    void addRow(const QStringList& cells)
    {
        GridControl& grid = *window->grdItems;
        const qint32 row = grid.Rows();
        grid.setRows(row + 1);
        grid.setTextMatrix(row, 0, QString::number(row));
        for (int i = 0; i < cells.size(); ++i)
            grid.setTextMatrix(row, i + 1, cells.at(i));
    }

    // Every column of every data row.
    QList<QStringList> tableRows() const { return ::tableRows(window->grdItems->table()); }

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // The file the window saved at `saved`, read into a document by the reader and written by the
    // writer over a file holding `before` (none: a new file), is the same bytes: the window's save
    // and the writer's write of the same table are one.
    void expectWriterWritesWhatTheWindowSaved(const QString& saved, const std::optional<QByteArray>& before)
    {
        TagDocument document;
        QString error;
        ASSERT_TRUE(readTagDocument(saved, document, error)) << error.toStdString();
        const QString copy = appPath(QStringLiteral("written-by-writer%1.qts").arg(++m_writerCopies));
        if (before)
            writeBytes(copy, *before);
        const TagFileWriteResult result = TagFileWriter::write(document, copy);
        EXPECT_EQ(result.outcome, TagFileWriteResult::Outcome::Written) << result.message.toStdString();
        EXPECT_EQ(bytesOf(copy), bytesOf(saved));
    }

    // Ends the run as closing the window does (unsaved changes discarded) and starts a new
    // one on the same application folder: nothing but the files is carried over.
    frmMain& restart()
    {
        window->show();
        dialogs.answerNext(MsgAnswer::No);
        window->close();
        EXPECT_FALSE(window->isVisible());
        window.reset();
        state.settings.colRecent.Clear();
        state.objEngine = engine->createEngine();
        state.objWorkspace = state.objEngine->Workspaces()->Item(0);
        dialogs.clear();
        return loadWindow();
    }

private:
    int m_writerCopies = 0;

    void answerNoIfChanged()
    {
        if (window->changed())
            dialogs.answerNext(MsgAnswer::No);
    }
};
