#include "UniqueFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

namespace {

enum class Claim
{
    Reserved,
    Taken,
    // Nothing to reserve: a sub-folder bears the name, or the folder cannot be written. The name is
    // used as it is and the compressor's run reports the failure.
    Unusable,
};

Claim claim(const QString& path)
{
    const QFileInfo before(path);
    if (before.isDir() && !before.isSymLink())
        return Claim::Unusable;

    // Creating the file exclusively checks and reserves in one step.
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Claim::Reserved;

    // Whatever the file system says is there is taken: hidden files, a name that differs only in case
    // where case is ignored, and symbolic links, dangling ones included (Ghostscript would follow them).
    const QFileInfo after(path);
    return after.exists() || after.isSymLink() ? Claim::Taken : Claim::Unusable;
}

QString numberedName(const QString& baseName, int number, const QString& suffix)
{
    const QString numbered = QStringLiteral("%1_%2").arg(baseName, QString::number(number));
    return suffix.isEmpty() ? numbered : numbered + QLatin1Char('.') + suffix;
}

} // namespace

void makeUniqueFileName(QString dirPath, QString& fileName, int depth)
{
    // Tasks on several pool threads pick names in one folder at the same moment; one at a time keeps
    // the numbering in the order of the calls. The exclusive creation below guards against other
    // programs as well.
    static QMutex mutex;
    const QMutexLocker locker(&mutex);

    const QDir dir(dirPath);
    if (!dir.exists())
        QDir().mkpath(dirPath);

    const QFileInfo original(fileName);
    const QString baseName = original.completeBaseName();
    const QString suffix = original.suffix();
    QString candidate = fileName;
    for (int number = depth + 1; claim(dir.filePath(candidate)) == Claim::Taken; ++number)
        candidate = numberedName(baseName, number, suffix);
    fileName = candidate;
}
