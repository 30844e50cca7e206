// Merges two versions of a tag setting file of 32,766 tags, each with 1,000 changes of its own
// (cell changes, additions and deletions), through the script command in the process
// (MergeCommand), beside the plainest code that reads the three files, takes THEIRS's changed
// lines into OURS's by tag name and writes the result (MergeFloor).
// Run by hand: build/bench_merge
#include "app/ScriptCommands.h"
#include "bench/BenchFigures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr qint32 kTags = 32766;
constexpr qint32 kChangesPerSide = 1000;
const QByteArray kHead = "[QuorTagSetting]\r\nType=1\r\nController=PLC1\r\nProvider=QuorProv.Sim.Ethernet\r\n"
                         "Machine=\r\nOption=\r\n";

QByteArray row(const QByteArray& name, const QByteArray& var, const QByteArray& option)
{
    return name + ",Controller.Var" + var + "," + option + ",a b,,Größe,,,,g";
}

QByteArray fileOf(const QList<QByteArray>& rows)
{
    QByteArray bytes = kHead;
    for (qsizetype i = 0; i < rows.size(); ++i)
        bytes += "Tag" + QByteArray::number(i + 1) + "=" + rows.at(i) + "\r\n";
    return bytes + "TagDataCnt=" + QByteArray::number(rows.size()) + "\r\n";
}

// The base rows with one side's changes: of each four tags from `offset` on, spread over the
// table, one gets a new Var Opt, and a tag is deleted and a new one added, a quarter each.
QList<QByteArray> changedRows(const QList<QByteArray>& base, qint32 offset, const QByteArray& side)
{
    QList<QByteArray> rows = base;
    const qint32 step = kTags / kChangesPerSide;
    for (qint32 change = kChangesPerSide - 1; change >= 0; --change) {
        const qint32 at = change * step + offset;
        const QByteArray n = QByteArray::number(at + 1);
        switch (change % 4) {
        case 0:
            rows.removeAt(at);
            break;
        case 1:
            rows.insert(at, row(side + n, n, "new"));
            break;
        default:
            rows[at] = row("Tag" + n, n, side);
            break;
        }
    }
    return rows;
}

struct MergeFiles
{
    QTemporaryDir dir;
    QString base, ours, theirs, merged;
};
MergeFiles* g_files = nullptr;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A new modification time makes the store read the files again, as in a new process.
void touchInputs(int& step)
{
    ++step;
    for (const QString& path : {g_files->base, g_files->ours, g_files->theirs}) {
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(step % 1000),
                             QFileDevice::FileModificationTime);
    }
}

void MergeCommand(benchmark::State& state)
{
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        touchInputs(step);
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        state.ResumeTiming();
        if (runScriptCommand({QStringLiteral("QuorTagEditor"), QStringLiteral("--merge"), g_files->base,
                              g_files->ours, g_files->theirs, QStringLiteral("-o"), g_files->merged},
                             out, err) != 0)
            state.SkipWithError((out.data() + err.data()).constData());
    }
    const QByteArray merged = readAll(g_files->merged);
    // Each side changed 500 tags, added 250 and deleted 250: the count is the base's.
    const auto holds = [&merged](const char* text, qsizetype times) { return merged.count(text) == times; };
    if (!merged.endsWith("\r\nTagDataCnt=" + QByteArray::number(kTags) + "\r\n") || !holds(",ours,", 500) ||
        !holds(",theirs,", 500) || !holds("=ours", 250) || !holds("=theirs", 250))
        state.SkipWithError("the merged file is not the merge of both sides");
    state.counters["tags"] = kTags;
}

// name -> line of the "Tag" lines of a file, and the names in file order.
QHash<QByteArray, QByteArray> linesByName(const QByteArray& bytes, QList<QByteArray>* order)
{
    QHash<QByteArray, QByteArray> lines;
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (!line.startsWith("Tag") || line.startsWith("TagDataCnt") || eq < 0)
            continue;
        const QByteArray value = line.mid(eq + 1).chopped(1);
        const QByteArray name = value.left(value.indexOf(','));
        lines.insert(name, value);
        if (order)
            order->append(name);
    }
    return lines;
}

void MergeFloor(benchmark::State& state)
{
    for (auto _ : state) {
        const auto base = linesByName(readAll(g_files->base), nullptr);
        QList<QByteArray> order;
        const auto ours = linesByName(readAll(g_files->ours), &order);
        QList<QByteArray> theirsOrder;
        const auto theirs = linesByName(readAll(g_files->theirs), &theirsOrder);
        QList<QByteArray> rows;
        rows.reserve(order.size());
        for (const QByteArray& name : order) {
            const QByteArray& mine = ours.value(name);
            const auto other = theirs.constFind(name);
            if (other == theirs.cend())
                continue;
            rows.append(base.value(name) == mine ? *other : mine);
        }
        for (const QByteArray& name : theirsOrder) {
            if (!base.contains(name) && !ours.contains(name))
                rows.append(theirs.value(name));
        }
        QFile file(g_files->merged + QStringLiteral(".floor"));
        if (!file.open(QIODevice::WriteOnly) || file.write(fileOf(rows)) < 0)
            state.SkipWithError("floor write failed");
    }
}

BENCHMARK(MergeCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MergeFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    MergeFiles files;
    g_files = &files;
    files.base = files.dir.filePath(QStringLiteral("base.qts"));
    files.ours = files.dir.filePath(QStringLiteral("ours.qts"));
    files.theirs = files.dir.filePath(QStringLiteral("theirs.qts"));
    files.merged = files.dir.filePath(QStringLiteral("merged.qts"));
    QList<QByteArray> base;
    for (qint32 i = 1; i <= kTags; ++i) {
        const QByteArray n = QByteArray::number(i);
        base.append(row("Tag" + n, n, "Opt \"" + n + "\""));
    }
    // The sides change tags of their own, two apart, so the merge is clean.
    for (const auto& [path, rows] :
         {std::pair{files.base, base}, std::pair{files.ours, changedRows(base, 1, "ours")},
          std::pair{files.theirs, changedRows(base, 3, "theirs")}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(fileOf(rows)) < 0)
            return 1;
    }
    return runBenchmarksWithFigures(
        argc, argv,
        {{"Merge of two versions of 32,766 tags, 1,000 changes each", "MergeCommand", "MergeFloor", 0, 150}});
}
