#include "UniqueFileName.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

// The longest file name, in bytes, that Linux file systems take.
constexpr int NameMax = 255;
// Random letters and digits in a part file's name. Tries of names that exist already, before giving up.
constexpr int PartFileRandomLength = 6;
constexpr int PartFileTries = 100;
// Names that are taken meanwhile, one after another, before giving up: only a folder that keeps filling up as fast as
// it is looked at gets there.
constexpr int PlacementTries = 1000;

const QLatin1String PartFileSuffix(".part");

// Whatever the file system says is there is taken: hidden files, a name that differs only in case where case is
// ignored, and symbolic links, dangling ones included (a writer would follow them). A sub-folder is not.
bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return true;
    return info.exists() && !info.isDir();
}

bool isFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// name(text), with as few characters taken from the end of text as the file system needs to take the whole. A
// character outside the BMP goes as a whole, so that no half of it is left.
template <typename Name> QString fittingName(QString text, const Name& name)
{
    while (QFile::encodeName(name(text)).size() > NameMax && !text.isEmpty())
        text.chop(text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
    return name(text);
}

QString numberedName(const QString& baseName, int number, const QString& suffix)
{
    // The number must fit, even after the longest names; a shorter name keeps its base whole.
    return fittingName(baseName, [&](const QString& base) {
        const QString numbered = QStringLiteral("%1_%2").arg(base, QString::number(number));
        return suffix.isEmpty() ? numbered : numbered + QLatin1Char('.') + suffix;
    });
}

QString partFileName(const QString& fileName)
{
    QString random;
    for (int i = 0; i < PartFileRandomLength; ++i) {
        static const char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        random += QLatin1Char(Characters[QRandomGenerator::global()->bounded(int(sizeof Characters - 1))]);
    }
    // Only the part file's name must fit; a name that is too long for the output itself fails where it always did.
    return fittingName(fileName, [&random](const QString& name) {
        return QLatin1Char('.') + name + QLatin1Char('.') + random + PartFileSuffix;
    });
}

} // namespace

void makeUniqueFileName(QString dirPath, QString& fileName, int depth)
{
    const QDir dir(dirPath);
    if (!dir.exists())
        QDir().mkpath(dirPath);

    const QFileInfo original(fileName);
    const QString baseName = original.completeBaseName();
    const QString suffix = original.suffix();
    QString candidate = fileName;
    for (int number = depth + 1; isTaken(dir.filePath(candidate)); ++number)
        candidate = numberedName(baseName, number, suffix);
    fileName = candidate;
}

QString createPartFile(const QString& dirPath, const QString& fileName, QString* error, platform::OpenFile* file)
{
    const QDir dir(dirPath);
    QString reason;
    for (int i = 0; i < PartFileTries; ++i) {
        const QString path = dir.filePath(partFileName(fileName));
        // Exclusively: a file of that name, whoever made it, is never written into.
        bool taken = false;
        platform::OpenFile created = platform::createNewFile(path, &reason, &taken);
        if (created.isOpen()) {
            if (file)
                *file = std::move(created);
            return path;
        }
        if (!taken) {
            if (error)
                *error = reason;
            return QString();
        }
    }
    if (error)
        *error = QStringLiteral("no free name for a part file");
    return QString();
}

bool placeUnderUniqueName(const QString& partPath, const QString& dirPath, QString& fileName, QString* error)
{
    // What appears under the name must be whole even after a power cut.
    if (!platform::flushToDisk(partPath, error))
        return false;

    const QString wanted = fileName;
    for (int i = 0; i < PlacementTries; ++i) {
        fileName = wanted;
        makeUniqueFileName(dirPath, fileName, 0);
        const QString path = QDir(dirPath).filePath(fileName);
        switch (platform::moveWithoutReplacing(partPath, path, error)) {
        case platform::MoveResult::Moved:
            return true;
        case platform::MoveResult::Failed:
            return false;
        case platform::MoveResult::NameTaken:
            // A sub-folder does not make the name change, so the next choice would be the same.
            if (isFolder(path)) {
                if (error)
                    *error = QStringLiteral("a folder bears the name");
                return false;
            }
            break;
        }
    }
    if (error)
        *error = QStringLiteral("every free name was taken before the file could be given it");
    return false;
}
