#include "app/ScriptCommands.h"

#include "app/GitSetup.h"
#include "app/TagMergeCommand.h"
#include "app/VersionText.h"
#include "platform/AppInfo.h"
#include "storage/TagCsv.h"
#include "storage/TagFileCheck.h"
#include "storage/TagFileDiff.h"
#include "storage/TagFileReader.h"

#include <QCommandLineParser>
#include <QIODevice>
#include <QSaveFile>

namespace {

constexpr int kClean = 0;
constexpr int kFound = 1;
constexpr int kFailed = 2;

const QString kCheck = QStringLiteral("check");
const QString kExportCsv = QStringLiteral("export-csv");
const QString kDiff = QStringLiteral("diff");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kMerge = QStringLiteral("merge");
const QString kGitSetup = QStringLiteral("git-setup");
const QString kOutput = QStringLiteral("o");

const char* const kDescription =
    "Halvo2 QUOR Online Tag Editor.\n"
    "Without these options the window starts: QuorTagEditor [BRAKKA] [FILE.qts]\n"
    "\n"
    "For scripts, without a window:\n"
    "  QuorTagEditor --check FILE.qts...\n"
    "      Prints one line per problem; exit 0 clean, 1 problems, 2 a file cannot be read.\n"
    "  QuorTagEditor --export-csv FILE.qts [OUT.csv]\n"
    "      Writes the tag table as CSV to OUT.csv or to standard output.\n"
    "  QuorTagEditor --diff OLD.qts NEW.qts\n"
    "      Prints what changed; exit 0 equal, 1 different, 2 a file cannot be read.\n"
    "  QuorTagEditor --merge BASE OURS THEIRS [-o OUT]\n"
    "      Merges by tag name into OUT (default OURS), the merge driver for git; exit 0 clean,\n"
    "      1 conflicts (written between conflict markers), 2 a file cannot be read.\n"
    "  QuorTagEditor --git-setup [FOLDER]\n"
    "      Sets up the git repository of FOLDER (default: the current one) to diff and merge\n"
    "      .qts files with this program.";

void print(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
}

void printLines(QIODevice& device, const QStringList& lines)
{
    for (const QString& line : lines)
        print(device, line + QLatin1Char('\n'));
}

int usageError(QIODevice& err, const QString& message)
{
    print(err, QStringLiteral("QuorTagEditor: %1\nSee QuorTagEditor --help.\n").arg(message));
    return kFailed;
}

int check(const QStringList& files, QIODevice& out)
{
    int code = kClean;
    for (const QString& file : files) {
        const TagFileCheckResult result = checkTagFile(file);
        printLines(out, result.problems);
        if (result.unreadable)
            code = kFailed;
        else if (!result.problems.isEmpty() && code == kClean)
            code = kFound;
    }
    return code;
}

std::optional<TagFileContent> readOrReport(const QString& file, QIODevice& err)
{
    QString error;
    std::optional<TagFileContent> content = readTagFileContent(file, error);
    if (!content)
        print(err, QStringLiteral("%1: cannot be read: %2\n").arg(file, error));
    return content;
}

int exportCsv(const QString& file, const QString& target, QIODevice& out, QIODevice& err)
{
    const std::optional<TagFileContent> content = readOrReport(file, err);
    if (!content)
        return kFailed;
    const QByteArray csv = TagCsv::fromTable(content->document->table());
    if (target.isEmpty())
        return out.write(csv) == csv.size() ? kClean : kFailed;
    QSaveFile save(target);
    if (save.open(QIODevice::WriteOnly) && save.write(csv) == csv.size() && save.commit())
        return kClean;
    print(err, QStringLiteral("%1: cannot be written: %2\n").arg(target, save.errorString()));
    return kFailed;
}

int diff(const QString& before, const QString& after, QIODevice& out, QIODevice& err)
{
    const std::optional<TagFileContent> a = readOrReport(before, err);
    const std::optional<TagFileContent> b = readOrReport(after, err);
    if (!a || !b)
        return kFailed;
    const QStringList lines = diffTagFiles(*a, *b);
    printLines(out, lines);
    return lines.isEmpty() ? kClean : kFound;
}

} // namespace

bool isScriptCommand(const QString& firstArgument)
{
    for (const QString& name : {kCheck, kExportCsv, kDiff, kHelp, kVersion, kMerge, kGitSetup}) {
        if (firstArgument == QStringLiteral("--") + name)
            return true;
    }
    return false;
}

int runScriptCommand(const QStringList& arguments, QIODevice& out, QIODevice& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addOptions({{kCheck, QStringLiteral("Check tag setting files.")},
                       {kExportCsv, QStringLiteral("Export the tag table of a tag setting file as CSV.")},
                       {kDiff, QStringLiteral("Compare two tag setting files.")},
                       {kHelp, QStringLiteral("Show this help.")},
                       {kVersion, QStringLiteral("Show the version.")},
                       {kMerge, QStringLiteral("Merge tag setting files by tag name.")},
                       {kGitSetup, QStringLiteral("Set up a git repository for tag setting files.")},
                       {kOutput, QStringLiteral("The merged file (--merge)."), QStringLiteral("OUT")}});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("The files of the command."),
                                 QStringLiteral("[files...]"));
    if (!parser.parse(arguments))
        return usageError(err, parser.errorText());

    QStringList chosen;
    for (const QString& name : {kCheck, kExportCsv, kDiff, kHelp, kVersion, kMerge, kGitSetup}) {
        if (parser.isSet(name))
            chosen.append(QStringLiteral("--") + name);
    }
    if (chosen.size() != 1)
        return usageError(err, QStringLiteral("give exactly one of --check, --export-csv, --diff, --merge, "
                                              "--git-setup, --help, --version"));
    if (parser.isSet(kOutput) && !parser.isSet(kMerge))
        return usageError(err, QStringLiteral("-o is for --merge only"));

    const QStringList files = parser.positionalArguments();
    if (parser.isSet(kHelp)) {
        // The usage line names the program, not the path it was started by.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(QLatin1Char('\n')),
                     QStringLiteral("Usage: QuorTagEditor [options] [files...]"));
        print(out, help);
        return kClean;
    }
    if (parser.isSet(kVersion)) {
        print(out, VersionText(AppInfo::versionMajor(), AppInfo::versionMinor(), AppInfo::versionRevision()) +
                       QLatin1Char('\n'));
        return kClean;
    }
    if (parser.isSet(kCheck)) {
        if (files.isEmpty())
            return usageError(err, QStringLiteral("--check needs at least one file"));
        return check(files, out);
    }
    if (parser.isSet(kExportCsv)) {
        if (files.isEmpty() || files.size() > 2)
            return usageError(
                err, QStringLiteral("--export-csv needs a file and, if wanted, the CSV file to write"));
        return exportCsv(files.first(), files.value(1), out, err);
    }
    if (parser.isSet(kMerge)) {
        if (files.size() != 3)
            return usageError(err, QStringLiteral("--merge needs the files BASE, OURS and THEIRS"));
        return runTagMerge(files.at(0), files.at(1), files.at(2), parser.value(kOutput), out, err);
    }
    if (parser.isSet(kGitSetup)) {
        if (files.size() > 1)
            return usageError(err, QStringLiteral("--git-setup takes at most one folder"));
        return setUpGitForTagFiles(files.value(0, QStringLiteral(".")), out, err);
    }
    if (files.size() != 2)
        return usageError(err, QStringLiteral("--diff needs two files"));
    return diff(files.at(0), files.at(1), out, err);
}
