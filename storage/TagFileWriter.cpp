#include "storage/TagFileWriter.h"

#include "engine/FailureText.h"
#include "storage/FileFailures.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileRows.h"
#include "storage/TagTableCheck.h"
#include "storage/clsProfile.h"
#include "tags/StoredRowLength.h"
#include "tags/TagDocument.h"

using namespace TagFileFormat;

namespace {

// Raised with the reason that ends a write part-way.
struct WriteFailure
{
    QString reason;
};

// Raised with the refusal of a row the store would not read back whole.
struct RowRefused
{
    QString message;
};

// Writes one key of the section; a refusal ends the write with its reason, which is only
// worded then: a save writes tens of thousands of keys.
void writeKey(clsProfile& profile, const QString& key, const QString& value)
{
    if (!profile.WriteString(kSection, key, value))
        throw WriteFailure{FileFailures::refusedWrite(profile.FileName(), kSection, key)};
}

} // namespace

TagFileWriteResult TagFileWriter::write(const TagDocument& document, const QString& path)
{
    return write(document.table(), document.connection(), path);
}

TagFileWriteResult TagFileWriter::write(const TagGridModel& table, const clsCtrlParameter& connection,
                                        const QString& path)
{
    using Outcome = TagFileWriteResult::Outcome;
    clsProfile profile;
    profile.setFileName(path);
    QString reason;
    try {
        // Text the file's encoding cannot hold stops the save before the file is touched.
        if (std::optional<QString> problem = encodingProblem(table, connection, profile))
            return {Outcome::Refused, *problem};
        // Every section goes, whatever bytes its name holds, and the lines before the first one.
        if (!profile.DeleteAllSections())
            throw WriteFailure{FileFailures::refusedWrite(path, QString(), QString())};

        writeKey(profile, kType, QString::number(connection.m_lConnectType));
        // Connection texts come from the engine and the user: quoted where a read would change them.
        writeKey(profile, kController, clsProfile::Quoted(connection.m_strControllerName));
        writeKey(profile, kProvider, clsProfile::Quoted(connection.m_strProviderName));
        writeKey(profile, kMachine, clsProfile::Quoted(connection.m_strMachineName));
        writeKey(profile, kOption, clsProfile::Quoted(connection.m_strOptionVal));

        const qint32 rows = table.Rows();
        qint32 count = 0;
        TagKeyText keys;
        for (qint32 row = 1; row < rows; ++row) {
            const QString value = storedRowValue(table, row);
            // Only the store's copy has changed yet: a refusal is dropped with it below.
            if (value.size() * 3 > kMostStoredRowBytes && storedTextBytes(value) > kMostStoredRowBytes)
                throw RowRefused{rowLengthProblem(table, row).value_or(QString())};
            writeKey(profile, keys.of(row), value);
            ++count;
        }
        writeKey(profile, kTagDataCnt, QString::number(count));
        if (!profile.Flush())
            throw WriteFailure{FileFailures::failedFlush(profile)};
        return {Outcome::Written, QString()};
    } catch (const RowRefused& e) {
        profile.DiscardChanges();
        return {Outcome::Refused, e.message};
    } catch (const WriteFailure& e) {
        reason = e.reason;
    } catch (...) {
        reason = currentFailureText();
    }
    // Nothing of a save that failed part-way reaches the file.
    profile.DiscardChanges();
    return {Outcome::Failed, reason};
}
