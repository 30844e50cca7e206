#include "storage/TagGenerate.h"

#include "storage/InstanceTable.h"
#include "storage/ProfileFileCache.h"
#include "storage/TagFileCheck.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileReader.h"
#include "storage/TagFileWriter.h"
#include "storage/TagTemplate.h"
#include "storage/clsProfile.h"
#include "tags/TagDocument.h"

#include <algorithm>
#include <array>

using namespace TagFileFormat;

namespace {

// The template and each file made from it live in the store's memory, never on disk: each file
// is written over a copy of the template, so it keeps the template's encoding.
const QString kTemplateCopy = QStringLiteral("/quor-generate/template.qts");
const QString kFileCopy = QStringLiteral("/quor-generate/instance.qts");

// Drops the store's memory copies when the generation ends.
struct MemoryCopies
{
    MemoryCopies() = default;
    Q_DISABLE_COPY_MOVE(MemoryCopies)
    ~MemoryCopies()
    {
        ProfileFileCache::instance().removeMemoryFile(kTemplateCopy);
        ProfileFileCache::instance().removeMemoryFile(kFileCopy);
    }
};

bool holdsLineBreakOrNul(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0);
    });
}

class Generator final
{
public:
    Generator(const GenerationInput& input, const GeneratedFileCheck& fileCheck)
        : m_input(input), m_fileCheck(fileCheck)
    {
    }

    GenerationPlan run()
    {
        ProfileFileCache::instance().setMemoryFile(kTemplateCopy, m_input.templateBytes);
        TagDocument templateDocument;
        QString error;
        if (!readTagDocument(kTemplateCopy, templateDocument, error)) {
            m_plan.templateError = error;
            return std::move(m_plan);
        }
        // The template's own problems would be every file's.
        for (const QString& problem : checkTagFileContent(kTemplateCopy).problems)
            m_plan.problems.append(m_input.templateName + problem.mid(kTemplateCopy.size()));
        const InstanceTableRead instances = readInstanceTable(m_input.instanceBytes, m_input.instancesName);
        if (instances.problem) {
            m_plan.problems.append(*instances.problem);
            return std::move(m_plan);
        }
        const TagTemplate pattern(templateDocument.table(), templateDocument.connection(), instances.table,
                                  m_input.templateName, m_plan.problems);
        if (!m_plan.problems.isEmpty())
            return std::move(m_plan);
        for (const InstanceRow& row : instances.table.rows) {
            if (row.problem)
                m_plan.problems.append(*row.problem);
            else
                generate(pattern, instances.table, row);
        }
        if (!m_plan.problems.isEmpty())
            m_plan.files.clear();
        return std::move(m_plan);
    }

private:
    void problem(const InstanceRow& row, const QString& text)
    {
        m_plan.problems.append(
            QStringLiteral("%1:%2: %3").arg(m_input.instancesName).arg(row.line).arg(text));
    }

    void generate(const TagTemplate& pattern, const InstanceTable& instances, const InstanceRow& row)
    {
        const qsizetype problemsBefore = m_plan.problems.size();
        if (m_fileCheck) {
            if (std::optional<QString> refusal = m_fileCheck(row.fileName))
                problem(row, *refusal);
        }
        ProfileFileCache::instance().setMemoryFile(kFileCopy, m_input.templateBytes);
        checkValues(pattern, instances, row);
        const clsCtrlParameter connection = pattern.connectionFor(row.values);
        const std::unique_ptr<TagGridModel> table = pattern.tableFor(row.values);
        checkFile(*table, connection, row);
        if (m_plan.problems.size() > problemsBefore)
            return;
        const TagFileWriteResult written = TagFileWriter::write(*table, connection, kFileCopy);
        if (written.outcome != TagFileWriteResult::Outcome::Written) {
            problem(row, row.fileName + QStringLiteral(": ") + written.message);
            return;
        }
        // Once a problem is known nothing is written: the files are not kept then.
        if (m_plan.problems.isEmpty())
            m_plan.files.append({row.line, row.fileName, ProfileFileCache::instance().memoryFile(kFileCopy)});
    }

    // Each value the row gives must be one the template's encoding holds.
    void checkValues(const TagTemplate& pattern, const InstanceTable& instances, const InstanceRow& row)
    {
        clsProfile file;
        file.setFileName(kFileCopy);
        for (const qsizetype column : pattern.usedColumns()) {
            const QString& value = row.values.at(column);
            if (holdsLineBreakOrNul(value) || file.EncodingHolds(value))
                continue;
            problem(row,
                    QStringLiteral("column \"%1\": the value \"%2\" holds a character that the template's "
                                   "character encoding (%3) cannot store")
                        .arg(instances.columns.at(column), value, file.EncodingName()));
        }
    }

    void checkFile(const TagGridModel& table, const clsCtrlParameter& connection, const InstanceRow& row)
    {
        const std::array<std::pair<QString, QString>, 4> texts = {
            {{kController, connection.m_strControllerName},
             {kProvider, connection.m_strProviderName},
             {kMachine, connection.m_strMachineName},
             {kOption, connection.m_strOptionVal}}};
        for (const auto& [field, text] : texts) {
            if (holdsLineBreakOrNul(text))
                problem(row,
                        QStringLiteral("%1: %2: holds a line break or a NUL character, which a tag setting "
                                       "file cannot store")
                            .arg(row.fileName, field));
        }
        TagRowCheck check(table);
        for (qint32 r = 1; r < table.Rows(); ++r) {
            const QString prefix = row.fileName + QLatin1Char(':') + tagKey(r) + QStringLiteral(": ");
            for (const QString& text : check.problemsOf(r))
                problem(row, prefix + text);
        }
    }

    const GenerationInput& m_input;
    const GeneratedFileCheck& m_fileCheck;
    GenerationPlan m_plan;
};

} // namespace

GenerationPlan planGeneration(const GenerationInput& input, const GeneratedFileCheck& fileCheck)
{
    const MemoryCopies copies;
    return Generator(input, fileCheck).run();
}
