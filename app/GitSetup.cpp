#include "app/GitSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

const QByteArray kAttributesLine = "*.qts diff=qts merge=qts";

struct GitRun
{
    bool ran = false; // started and ended with exit code 0
    QString output;   // standard output without the line break at its end
    QString error;    // why it did not run, or what git said on standard error
};

GitRun runGit(const QString& folder, const QStringList& arguments)
{
    QProcess git;
    git.setWorkingDirectory(folder);
    git.start(QStringLiteral("git"), arguments);
    GitRun run;
    if (!git.waitForFinished(60000)) {
        run.error = QStringLiteral("git could not be run: %1").arg(git.errorString());
        return run;
    }
    run.output = QString::fromLocal8Bit(git.readAllStandardOutput()).trimmed();
    run.error = QString::fromLocal8Bit(git.readAllStandardError()).trimmed();
    run.ran = git.exitStatus() == QProcess::NormalExit && git.exitCode() == 0;
    return run;
}

// The program's path as a word of the shell that git runs the drivers with.
QString shellWord(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

void say(QIODevice& device, const QString& line)
{
    device.write((line + QLatin1Char('\n')).toUtf8());
}

// Adds the attributes line unless the file has it; nothing, or why the file could not be changed.
std::optional<QString> addAttributes(const QString& path, bool& added)
{
    QFile file(path);
    QByteArray text;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return file.errorString();
        text = file.readAll();
        file.close();
    }
    for (const QByteArray& line : text.split('\n')) {
        if (line.trimmed() == kAttributesLine)
            return std::nullopt;
    }
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += text.contains("\r\n") ? "\r\n" : "\n";
    text += kAttributesLine + (text.contains("\r\n") ? "\r\n" : "\n");
    QSaveFile save(path);
    if (!save.open(QIODevice::WriteOnly) || save.write(text) != text.size() || !save.commit())
        return save.errorString();
    added = true;
    return std::nullopt;
}

} // namespace

int setUpGitForTagFiles(const QString& folder, QIODevice& out, QIODevice& err)
{
    const auto fail = [&err, &folder](const QString& reason) {
        say(err, QStringLiteral("%1: %2").arg(folder, reason));
        return 2;
    };
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("no such folder"));
    const GitRun top = runGit(folder, {QStringLiteral("rev-parse"), QStringLiteral("--show-toplevel")});
    if (!top.ran || top.output.isEmpty())
        return fail(QStringLiteral("not in a git repository with a working tree: ") + top.error);

    const QString attributes = QDir(top.output).filePath(QStringLiteral(".gitattributes"));
    bool added = false;
    if (const std::optional<QString> problem = addAttributes(attributes, added))
        return fail(QStringLiteral("%1 cannot be changed: %2").arg(attributes, *problem));
    if (added)
        say(out, QStringLiteral("Added \"%1\" to %2.").arg(QString::fromLatin1(kAttributesLine), attributes));

    const QString program = shellWord(QCoreApplication::applicationFilePath());
    const QList<std::pair<QString, QString>> settings = {
        // A file that cannot be read as a table (half merged, while a conflict is resolved) is
        // shown as it is: a textconv that fails makes the whole git diff fail.
        {QStringLiteral("diff.qts.textconv"),
         QStringLiteral("sh -c '\"$0\" --export-csv \"$1\" 2>/dev/null || cat \"$1\"' ") + program},
        {QStringLiteral("merge.qts.name"), QStringLiteral("merge of tag setting files by tag name")},
        {QStringLiteral("merge.qts.driver"), program + QStringLiteral(" --merge %O %A %B")}};
    bool set = false;
    for (const auto& [key, value] : settings) {
        const QString config = QStringLiteral("config");
        const QString local = QStringLiteral("--local");
        if (runGit(top.output, {config, local, QStringLiteral("--get"), key}).output == value)
            continue;
        const GitRun run = runGit(top.output, {config, local, key, value});
        if (!run.ran)
            return fail(QStringLiteral("git config %1 failed: %2").arg(key, run.error));
        say(out, QStringLiteral("Set %1 to \"%2\" in the repository's config.").arg(key, value));
        set = true;
    }
    if (!added && !set)
        say(out,
            QStringLiteral("The repository %1 is already set up for tag setting files.").arg(top.output));
    return 0;
}
