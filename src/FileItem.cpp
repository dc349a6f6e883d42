#include "FileItem.h"

#include "FileSize.h"

#include <QDebug>
#include <QFileInfo>

FileItem::FileItem(QString filePath, QObject* parent)
    : QObject(parent), m_suffix(QFileInfo(filePath).suffix()), m_filePath(std::move(filePath))
{
}

FileItem::~FileItem()
{
    qDebug() << "~FileItem()";
}

bool FileItem::isLocked() const
{
    return false;
}

int FileItem::pdfCompress(QString, QString)
{
    return -1;
}

void FileItem::setCompressSetting(const CompressSetting&)
{
    m_runQueued = true;
    m_runOutdated = false;
}

void FileItem::resetProcessed()
{
    m_processed = false;
    if (m_runQueued)
        m_runOutdated = true;
}

bool FileItem::setPageList(QStringList pages)
{
    m_singlePages.clear();
    m_pageRanges.clear();
    for (const QString& page : qAsConst(pages)) {
        if (page.contains(QLatin1Char('-')))
            m_pageRanges << page;
        else
            m_singlePages << page;
    }
    return false;
}

QString FileItem::fileName() const
{
    return QFileInfo(m_filePath).fileName();
}

QString FileItem::fileSizeText() const
{
    return formatFileSize(QFileInfo(m_filePath).size());
}

void FileItem::fileProcessFinished(int code)
{
    m_runQueued = false;
    m_processed = (code == 0) && !m_runOutdated;
    emit processFinishedSignal(code);
}
