#include "app/GenerateCommand.h"

#include "app/ScriptOutput.h"
#include "storage/RegularFiles.h"
#include "storage/TagGenerate.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

using namespace ScriptOutput;

namespace {

int cannotBe(const char* what, const QString& path, const QString& reason, QIODevice& err)
{
    print(err, QStringLiteral("%1: cannot be %2: %3\n").arg(path, QLatin1String(what), reason));
    return kFailed;
}

bool isSameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Why the file of an instance row must not be written at `path`, or nothing.
std::optional<QString> generatedFileProblem(const QString& path, const QString& templatePath,
                                            const QString& instancesPath, bool force)
{
    if (isSameFile(path, templatePath) || isSameFile(path, instancesPath))
        return QStringLiteral("%1 is an input of this command and is not written over").arg(path);
    if (std::optional<QString> problem = RegularFiles::writeProblem(path))
        return QStringLiteral("%1 cannot be written: %2").arg(path, *problem);
    if (!force && QFileInfo::exists(path))
        return QStringLiteral("%1 exists; give --force to write over it").arg(path);
    return std::nullopt;
}

// Writes the file at once or not at all; unbuffered, so a short write (a full disk) is seen.
std::optional<QString> writeGeneratedFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + done, bytes.size() - done);
        if (count <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        done += qsizetype(count);
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace

int runGenerate(const QString& templatePath, const QString& instancesPath, const QString& folder, bool force,
                QIODevice& err)
{
    QString error;
    const std::optional<QByteArray> templateBytes = RegularFiles::read(templatePath, error);
    if (!templateBytes)
        return cannotBe("read", templatePath, error, err);
    const std::optional<QByteArray> instanceBytes = RegularFiles::read(instancesPath, error);
    if (!instanceBytes)
        return cannotBe("read", instancesPath, error, err);
    const QFileInfo folderInfo(folder);
    if (folderInfo.exists() && !folderInfo.isDir())
        return cannotBe("written", folder, QStringLiteral("it is not a folder"), err);

    const QDir dir(folder);
    const GenerationPlan plan = planGeneration(
        {*templateBytes, templatePath, *instanceBytes, instancesPath}, [&](const QString& fileName) {
            return generatedFileProblem(dir.filePath(fileName), templatePath, instancesPath, force);
        });
    if (plan.templateError)
        return cannotBe("read", templatePath, *plan.templateError, err);
    if (!plan.problems.isEmpty()) {
        printLines(err, plan.problems);
        return kFound;
    }
    if (!dir.mkpath(QStringLiteral(".")))
        return cannotBe("written", folder, QStringLiteral("the folder cannot be made"), err);
    int code = kClean;
    for (const GeneratedFile& file : plan.files) {
        const QString path = dir.filePath(file.fileName);
        if (const std::optional<QString> reason = writeGeneratedFile(path, file.bytes))
            code = cannotBe("written", path, *reason, err);
    }
    return code;
}
