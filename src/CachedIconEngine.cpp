// A plugin that the program links in: its metadata must be compiled as a static plugin's.
#define QT_STATICPLUGIN

#include "CachedIconEngine.h"

#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <QPixmap>
#include <QVector>

namespace {

// The images of one picture file, decoded once. Kept as images, which outlive the application object
// safely; pixmaps are made from them where an icon needs them.
QVector<QImage> decodedImages(const QString& fileName)
{
    // Icons may be made on any thread.
    static QMutex mutex;
    static QHash<QString, QVector<QImage>> cache;
    const QMutexLocker locker(&mutex);
    auto found = cache.constFind(fileName);
    if (found != cache.constEnd())
        return found.value();

    QVector<QImage> images;
    QImageReader reader(fileName);
    QImage image;
    // In the format pixmaps keep, so that making one is a copy and not a conversion.
    while (reader.read(&image))
        images << (image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : image);
    cache.insert(fileName, images);
    return images;
}

} // namespace

void CachedIconEngine::addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    // Only the compiled-in pictures are sure not to change; a size asks for one image of a file, which Qt's
    // own engine picks.
    if (!fileName.startsWith(QLatin1Char(':')) || size.isValid()) {
        QPixmapIconEngine::addFile(fileName, size, mode, state);
        return;
    }
    const QVector<QImage> images = decodedImages(fileName);
    for (const QImage& image : images)
        addPixmap(QPixmap::fromImage(image), mode, state);
}

QIconEngine* CachedIconEngine::clone() const
{
    return new CachedIconEngine(*this);
}

QIconEngine* CachedIconEnginePlugin::create(const QString&)
{
    return new CachedIconEngine;
}

#include "moc_CachedIconEngine.cpp"
