#include "app/ScriptCommands.h"

#include "app/GenerateCommand.h"
#include "app/GitSetup.h"
#include "app/ScanModbusCommand.h"
#include "app/ScriptOutput.h"
#include "app/TagMergeCommand.h"
#include "app/VersionText.h"
#include "platform/AppInfo.h"
#include "storage/RegularFiles.h"
#include "storage/TagCsv.h"
#include "storage/TagFileCheck.h"
#include "storage/TagFileDiff.h"
#include "storage/TagFileReader.h"

#include <QCommandLineParser>
#include <QIODevice>
#include <QSaveFile>

using namespace ScriptOutput;

namespace {

// What a command is given: the positional arguments, the parsed command line (for the options
// that change it) and where it prints.
struct ScriptCall
{
    const QStringList& files;
    const QCommandLineParser& parser;
    QIODevice& out;
    QIODevice& err;
};

// One command for scripts, chosen by its option.
struct ScriptCommand
{
    const char* name;      // the long option, without "--"
    const char* shortName; // a one-letter option, or ""
    const char* summary;   // its line in the option list of the help
    const char* usage;     // what follows the option in the help, with the lines that explain it;
                           // "" for none
    int (*run)(const ScriptCall&);
};

// An option that changes one command.
struct ScriptModifier
{
    const char* name;
    const char* command;
    const char* summary;
    const char* valueName; // the value it takes, or "" for none
};

// "--name", or "-n" for a one-letter name.
QString longOption(const char* name)
{
    return (qstrlen(name) == 1 ? QStringLiteral("-") : QStringLiteral("--")) + QLatin1String(name);
}

int usageError(QIODevice& err, const QString& message)
{
    print(err,
          QStringLiteral("QuorTagEditor: %1\nUsage: QuorTagEditor [BRAKKA] [FILE.qts] | --OPTION [FILES...]\n"
                         "See QuorTagEditor --help.\n")
              .arg(message));
    return kFailed;
}

int checkFiles(const ScriptCall& call)
{
    if (call.files.isEmpty())
        return usageError(call.err, QStringLiteral("--check needs at least one file"));
    int code = kClean;
    for (const QString& file : call.files) {
        const TagFileCheckResult result = checkTagFile(file);
        printLines(result.unreadable ? call.err : call.out, result.problems);
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

int exportTableAsCsv(const ScriptCall& call)
{
    if (call.files.isEmpty() || call.files.size() > 2)
        return usageError(call.err,
                          QStringLiteral("--export-csv needs a file and, if wanted, the CSV file to write"));
    const QString target = call.files.value(1);
    if (!target.isEmpty()) {
        if (const std::optional<QString> problem = RegularFiles::writeProblem(target)) {
            print(call.err, QStringLiteral("%1: cannot be written: %2\n").arg(target, *problem));
            return kFailed;
        }
    }
    const std::optional<TagFileContent> content = readOrReport(call.files.first(), call.err);
    if (!content)
        return kFailed;
    const QByteArray csv = TagCsv::fromTable(content->document->table());
    if (target.isEmpty()) {
        if (call.out.write(csv) == csv.size())
            return kClean;
        print(call.err,
              QStringLiteral("standard output cannot be written: %1\n").arg(call.out.errorString()));
        return kFailed;
    }
    QSaveFile save(target);
    if (save.open(QIODevice::WriteOnly) && save.write(csv) == csv.size() && save.commit())
        return kClean;
    print(call.err, QStringLiteral("%1: cannot be written: %2\n").arg(target, save.errorString()));
    return kFailed;
}

int diffFiles(const ScriptCall& call)
{
    if (call.files.size() != 2)
        return usageError(call.err, QStringLiteral("--diff needs two files"));
    const std::optional<TagFileContent> a = readOrReport(call.files.at(0), call.err);
    const std::optional<TagFileContent> b = readOrReport(call.files.at(1), call.err);
    if (!a || !b)
        return kFailed;
    const QStringList lines = diffTagFiles(*a, *b);
    printLines(call.out, lines);
    return lines.isEmpty() ? kClean : kFound;
}

int generateFiles(const ScriptCall& call)
{
    if (call.files.size() != 3)
        return usageError(
            call.err,
            QStringLiteral("--generate needs the template, the instance table and the output folder"));
    return runGenerate(call.files.at(0), call.files.at(1), call.files.at(2),
                       call.parser.isSet(QStringLiteral("force")), call.err);
}

int mergeFiles(const ScriptCall& call)
{
    if (call.files.size() != 3)
        return usageError(call.err, QStringLiteral("--merge needs the files BASE, OURS and THEIRS"));
    return runTagMerge(call.files.at(0), call.files.at(1), call.files.at(2),
                       call.parser.value(QStringLiteral("o")), call.out, call.err);
}

int setUpGit(const ScriptCall& call)
{
    if (call.files.size() > 1)
        return usageError(call.err, QStringLiteral("--git-setup takes at most one folder"));
    return setUpGitForTagFiles(call.files.value(0, QStringLiteral(".")), call.out, call.err);
}

int scanModbus(const ScriptCall& call)
{
    if (call.files.size() != 1)
        return usageError(call.err,
                          QStringLiteral("--scan-modbus needs one device: host[:port] or a serial device"));
    ScanOptionTexts texts;
    texts.target = call.files.first();
    texts.units = call.parser.value(QStringLiteral("unit"));
    texts.tables = call.parser.value(QStringLiteral("table"));
    texts.range = call.parser.value(QStringLiteral("range"));
    texts.rate = call.parser.value(QStringLiteral("rate"));
    texts.serial = call.parser.value(QStringLiteral("serial"));
    QString error;
    const std::optional<modbusscan::Request> request = scanRequestFrom(texts, error);
    if (!request)
        return usageError(call.err, error);
    return runModbusScan(*request, call.out, call.err);
}

int printHelp(const ScriptCall& call)
{
    // The usage line names the program, not the path it was started by.
    QString text = call.parser.helpText();
    text.replace(0, text.indexOf(QLatin1Char('\n')),
                 QStringLiteral("Usage: QuorTagEditor [options] [files...]"));
    print(call.out, text);
    return kClean;
}

int printVersion(const ScriptCall& call)
{
    print(call.out,
          VersionText(AppInfo::versionMajor(), AppInfo::versionMinor(), AppInfo::versionRevision()) +
              QLatin1Char('\n'));
    return kClean;
}

// The commands, in the order the help lists them. A new command is one entry here.
const ScriptCommand kCommands[] = {
    {"check", "", "Check tag setting files.",
     "FILE.qts...\n"
     "      Prints one line per problem, in row order; exit 0 clean, 1 problems, 2 a file cannot be\n"
     "      read.",
     checkFiles},
    {"export-csv", "", "Export the tag table of a tag setting file as CSV.",
     "FILE.qts [OUT.csv]\n"
     "      Writes the tag table as CSV to OUT.csv or to standard output.",
     exportTableAsCsv},
    {"diff", "", "Compare two tag setting files.",
     "OLD.qts NEW.qts\n"
     "      Prints what changed; exit 0 equal, 1 different, 2 a file cannot be read.",
     diffFiles},
    {"merge", "", "Merge tag setting files by tag name.",
     "BASE OURS THEIRS [-o OUT]\n"
     "      Merges by tag name into OUT (default OURS), the merge driver for git; exit 0 clean,\n"
     "      1 conflicts (written between conflict markers), 2 a file cannot be read.",
     mergeFiles},
    {"git-setup", "", "Set up a git repository for tag setting files.",
     "[FOLDER]\n"
     "      Sets up the git repository of FOLDER (default: the current one) to diff and merge\n"
     "      .qts files with this program.",
     setUpGit},
    {"generate", "", "Generate tag setting files from a template.",
     "TEMPLATE.qts INSTANCES.csv OUTFOLDER [--force]\n"
     "      Writes one tag setting file per row of INSTANCES.csv (UTF-8, a header row such as\n"
     "      File,Controller,Machine,Line) into OUTFOLDER, named by its File column. {Column} in the\n"
     "      template's Controller, Provider, Machine and Option and in its tag cells is the row's\n"
     "      value of that column; {{ and }} are the braces themselves. Every file is checked as\n"
     "      --check checks; nothing is written while a problem is found, and a file that exists\n"
     "      only with --force. Exit 0 written, 1 problems, 2 a file cannot be read or written.",
     generateFiles},
    {"scan-modbus", "", "Scan a Modbus device into a register map.",
     "TARGET [--unit N|A-B] [--table T,...] [--range A-B] [--rate R]\n"
     "      [--serial BAUD,DATA,PARITY,STOP]\n"
     "      Reads which addresses a Modbus device serves (TARGET: host[:port], or a serial device\n"
     "      such as /dev/ttyUSB0 for Modbus RTU) and writes the register map CSV of them to\n"
     "      standard output, its progress to standard error. Defaults: unit 1, every table\n"
     "      (coil, discrete, input, holding), addresses 0-9999, 50 requests a second (0: no\n"
     "      limit), 19200,8,E,1. With several units answering, names begin with U<unit>. Exit 0\n"
     "      something answered, 1 nothing did, 2 the device cannot be reached.",
     scanModbus},
    {"help", "h", "Show this help.", "", printHelp},
    {"version", "V", "Show the version.", "", printVersion},
};

const ScriptModifier kModifiers[] = {
    {"o", "merge", "With --merge: the merged file (default OURS).", "OUT"},
    {"force", "generate", "With --generate: write over files that exist.", ""},
    {"unit", "scan-modbus", "With --scan-modbus: the unit id, or a range A-B of them.", "N|A-B"},
    {"table", "scan-modbus", "With --scan-modbus: the tables, comma-separated.", "T,..."},
    {"range", "scan-modbus", "With --scan-modbus: the addresses (default 0-9999).", "A-B"},
    {"rate", "scan-modbus", "With --scan-modbus: requests a second (default 50; 0: no limit).", "R"},
    {"serial", "scan-modbus", "With --scan-modbus: the serial line.", "BAUD,DATA,PARITY,STOP"},
};

// Qt's own options of every window program: a first argument among them starts the window.
const char* const kWindowOptions[] = {
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",  "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-reverse",       "-session", "-style",
    "-stylesheet",  "-widgetcount",        "-display",       "-geometry"};

QString helpDescription()
{
    QString text =
        QStringLiteral("Halvo2 QUOR Online Tag Editor.\n"
                       "Without these options the window starts: QuorTagEditor [BRAKKA] [FILE.qts]\n"
                       "(Qt's own options such as -platform NAME or -style NAME may come first).\n"
                       "\n"
                       "For scripts, without a window:");
    for (const ScriptCommand& command : kCommands) {
        if (*command.usage)
            text += QStringLiteral("\n  QuorTagEditor %1 %2")
                        .arg(longOption(command.name), QLatin1String(command.usage));
    }
    return text;
}

QStringList namesOf(const ScriptCommand& command)
{
    QStringList names;
    if (*command.shortName)
        names.append(QLatin1String(command.shortName));
    names.append(QLatin1String(command.name));
    return names;
}

} // namespace

bool isScriptCommand(const QString& firstArgument)
{
    if (!firstArgument.startsWith(QLatin1Char('-')))
        return false;
    for (const char* option : kWindowOptions) {
        if (firstArgument == QLatin1String(option))
            return false;
    }
    // Every other option is one of the commands' or a mistake, which their parser reports.
    return true;
}

int runScriptCommand(const QStringList& arguments, QIODevice& out, QIODevice& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(helpDescription());
    for (const ScriptCommand& command : kCommands)
        parser.addOption({namesOf(command), QLatin1String(command.summary)});
    for (const ScriptModifier& modifier : kModifiers)
        parser.addOption({QLatin1String(modifier.name), QLatin1String(modifier.summary),
                          QLatin1String(modifier.valueName)});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("The files of the command."),
                                 QStringLiteral("[files...]"));
    if (!parser.parse(arguments))
        return usageError(err, parser.errorText());

    const ScriptCommand* chosen = nullptr;
    int given = 0;
    QStringList names;
    for (const ScriptCommand& command : kCommands) {
        names.append(longOption(command.name));
        if (parser.isSet(QLatin1String(command.name))) {
            chosen = &command;
            ++given;
        }
    }
    if (given != 1)
        return usageError(err, QStringLiteral("give exactly one of ") + names.join(QStringLiteral(", ")));
    for (const ScriptModifier& modifier : kModifiers) {
        if (parser.isSet(QLatin1String(modifier.name)) && qstrcmp(modifier.command, chosen->name) != 0)
            return usageError(err, QStringLiteral("%1 goes with %2 only")
                                       .arg(longOption(modifier.name), longOption(modifier.command)));
    }
    const QStringList files = parser.positionalArguments();
    return chosen->run({files, parser, out, err});
}
