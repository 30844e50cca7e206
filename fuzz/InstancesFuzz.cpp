// Arbitrary bytes as the instance table of --generate, with a template whose connection and tags
// hold placeholders, in UTF-8 or in CP932. A generation with problems yields no file; one
// without yields a file per row, each named as a file of the output folder (no two alike
// without regard to letter case), each passing the check, each with the row's values in place
// of the placeholders.

#include "fuzz/FuzzCheck.h"
#include "storage/InstanceTable.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagFileCheck.h"
#include "storage/TagFileReader.h"
#include "storage/TagGenerate.h"
#include "tags/TagDocument.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdint>

namespace {

// "Pump" in CP932 before the tags' names in the second template.
const QByteArray kTemplate = "[QuorTagSetting]\r\nType=1\r\nController={Controller}\r\nProvider=P\r\n"
                             "Machine={machine}\r\nOption=Timeout=500\r\n"
                             "Tag1={Line}_Speed,{Controller}.Speed,{{raw}},,,,,,,\r\n"
                             "Tag2=\x83\x76_{Line},I2,,,,,,,,{Machine}\r\nTagDataCnt=2\r\n";

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    qputenv("QUOR_ANSI_CODEPAGE", "CP932");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray instances(reinterpret_cast<const char*>(data), qsizetype(size));
    // Odd sizes take the template in UTF-8.
    const QByteArray pattern = size % 2 ? QByteArray(kTemplate).replace("\x83\x76", "P") : kTemplate;
    const GenerationPlan plan =
        planGeneration({pattern, QStringLiteral("t.qts"), instances, QStringLiteral("i.csv")});
    FUZZ_CHECK(!plan.templateError);
    if (!plan.problems.isEmpty()) {
        FUZZ_CHECK(plan.files.isEmpty());
        return 0;
    }
    const InstanceTableRead read = readInstanceTable(instances, QStringLiteral("i.csv"));
    FUZZ_CHECK(!read.problem && read.table.rows.size() == plan.files.size());
    const qsizetype line = *read.table.columnOf(u"Line");
    const qsizetype controller = *read.table.columnOf(u"Controller");
    QSet<QString> names;
    for (qsizetype i = 0; i < plan.files.size(); ++i) {
        const GeneratedFile& file = plan.files.at(i);
        const QStringList& values = read.table.rows.at(i).values;
        FUZZ_CHECK(file.fileName.endsWith(QLatin1String(".qts"), Qt::CaseInsensitive));
        FUZZ_CHECK(!file.fileName.contains(QLatin1Char('/')) && !file.fileName.contains(QLatin1Char('\\')));
        FUZZ_CHECK(!names.contains(file.fileName.toCaseFolded()));
        names.insert(file.fileName.toCaseFolded());

        const QString path = QStringLiteral("/fuzz/generated.qts");
        ProfileFileCache::instance().setMemoryFile(path, file.bytes);
        FUZZ_CHECK(checkTagFileContent(path).problems.isEmpty());
        TagDocument document;
        QString error;
        FUZZ_CHECK(readTagDocument(path, document, error));
        FUZZ_CHECK(document.table().Rows() == 3);
        FUZZ_CHECK(document.table().TextMatrix(1, 1) == values.at(line) + QStringLiteral("_Speed"));
        FUZZ_CHECK(document.table().TextMatrix(1, 3) == QStringLiteral("{raw}"));
        FUZZ_CHECK(document.connection().m_strControllerName == values.at(controller));
    }
    return 0;
}
