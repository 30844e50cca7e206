#include "platform/RealDialogs.h"
#include "tests/support/QtPrinters.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kQtsFilter = QStringLiteral("QTS ファイル (*.qts)|*.qts");

// Runs `step` on the next modal widget of type T once it shows (the dialogs run their own loop).
template <typename T>
void onModal(std::function<void(T*)> step)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(widget);
        }
    });
    timer->start();
}

// Types a name into the file dialog and presses its accept button.
void typeAndAccept(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    // As the accept button does (QFileDialog keeps its override protected).
    static_cast<QDialog*>(dialog)->accept();
}

class RealFileDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Whatever goes wrong, no dialog stays open.
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            while (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        watchdog.start(10000);
    }

    FileDialogRequest request(bool save) const
    {
        FileDialogRequest r;
        r.save = save;
        r.initialDirectory = dir.path();
        r.filter = kQtsFilter;
        r.defaultSuffix = QStringLiteral("qts");
        r.flags = save ? 2654214u : 2621444u;
        return r;
    }

    QTemporaryDir dir;
    QTimer watchdog;
    RealDialogs real;
};

} // namespace

TEST(FileDialogHelpers, NameFilterTakesThePatternsFromTheDescription)
{
    EXPECT_EQ(qtNameFilter(kQtsFilter), QStringLiteral("QTS ファイル (*.qts)"));
    EXPECT_EQ(qtNameFilter(QStringLiteral("Text|*.txt;*.log")), QStringLiteral("Text (*.txt *.log)"));
    EXPECT_EQ(qtNameFilter(QStringLiteral("All (*)")), QStringLiteral("All (*)"));
}

TEST(FileDialogHelpers, ReadOnlyTargets)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.qts"));
    EXPECT_FALSE(isReadOnlyTarget(file));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    EXPECT_FALSE(isReadOnlyTarget(file));
    EXPECT_TRUE(isReadOnlyTarget(dir.filePath(QStringLiteral("missing/a.qts"))));
    if (::geteuid() != 0) {
        QFile::setPermissions(file, QFile::ReadOwner);
        EXPECT_TRUE(isReadOnlyTarget(file));
    }
}

TEST_F(RealFileDialog, OpenStartsInTheFolderAndAcceptsATypedMissingName)
{
    QString shownFolder;
    QString shownFilter;
    onModal<QFileDialog>([&](QFileDialog* dialog) {
        shownFolder = dialog->directory().path();
        shownFilter = dialog->selectedNameFilter();
        typeAndAccept(dialog, QStringLiteral("typed"));
    });
    const QString chosen = real.fileDialog(nullptr, request(false));
    EXPECT_EQ(QDir(shownFolder), QDir(dir.path()));
    EXPECT_EQ(shownFilter, QStringLiteral("QTS ファイル (*.qts)"));
    EXPECT_EQ(chosen, dir.filePath(QStringLiteral("typed.qts")));
}

TEST_F(RealFileDialog, SaveAsksBeforeReplacingAFile)
{
    const QString existing = dir.filePath(QStringLiteral("old.qts"));
    ASSERT_TRUE(QFile(existing).open(QIODevice::WriteOnly));
    QString question;
    onModal<QFileDialog>([&](QFileDialog* dialog) {
        onModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        typeAndAccept(dialog, QStringLiteral("old.qts"));
    });
    EXPECT_EQ(real.fileDialog(nullptr, request(true)), existing);
    EXPECT_TRUE(question.contains(QStringLiteral("old.qts"))) << question.toStdString();
}

TEST_F(RealFileDialog, SaveRefusesATargetThatCannotBeWritten)
{
    QString warning;
    onModal<QFileDialog>([&](QFileDialog* dialog) {
        onModal<QMessageBox>([&, dialog](QMessageBox* box) {
            warning = box->text();
            box->button(QMessageBox::Ok)->click();
            // The dialog stays open after the warning; the user gives up.
            QTimer::singleShot(0, dialog, &QFileDialog::reject);
        });
        typeAndAccept(dialog, QStringLiteral("missing/new.qts"));
    });
    EXPECT_EQ(real.fileDialog(nullptr, request(true)), QString());
    EXPECT_TRUE(warning.contains(QStringLiteral("read-only"))) << warning.toStdString();
}

TEST_F(RealFileDialog, CancelReturnsNoName)
{
    onModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(real.fileDialog(nullptr, request(false)), QString());
}
