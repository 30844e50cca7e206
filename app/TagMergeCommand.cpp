#include "app/TagMergeCommand.h"

#include "storage/TagMergeFile.h"

#include <QIODevice>

int runTagMerge(const QString& base, const QString& ours, const QString& theirs, const QString& target,
                QIODevice& out, QIODevice& err)
{
    const QString written = target.isEmpty() ? ours : target;
    const TagMergeOutcome outcome = mergeTagFiles(base, ours, theirs, written);
    const auto print = [](QIODevice& device, const QString& line) {
        device.write((line + QLatin1Char('\n')).toUtf8());
    };
    switch (outcome.result) {
    case TagMergeOutcome::Result::Clean:
        return 0;
    case TagMergeOutcome::Result::Conflicts:
        for (const QString& message : outcome.messages)
            print(out, QStringLiteral("conflict: ") + message);
        return 1;
    case TagMergeOutcome::Result::Failed:
        break;
    }
    for (const QString& message : outcome.messages)
        print(err, message);
    return 2;
}
