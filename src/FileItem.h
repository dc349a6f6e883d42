#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

struct CompressSetting;

// One listed document: its path, its row icon and page count, and the signals through which a
// compression run reports to the interface. Lives on the GUI thread; runs emit from pool threads.
class FileItem : public QObject
{
    Q_OBJECT

public:
    explicit FileItem(QString filePath, QObject* parent = nullptr);
    ~FileItem() override;

    virtual bool isLocked() const;
    // Compresses the file at filePath into outputDir; returns 0 on success, else the failure code.
    virtual int pdfCompress(QString filePath, QString outputDir);
    // The window hands over the row's setting when it queues the item's run; overrides call this too.
    virtual void setCompressSetting(const CompressSetting& setting);
    // Sorts page selections into single pages and ranges (entries with "-"); always false.
    virtual bool setPageList(QStringList pages);

    QString fileName() const;
    QString filePath() const { return m_filePath; }
    QString suffix() const { return m_suffix; }
    QString iconName() const { return m_iconName; }
    // The size on disk as the program shows it, read anew at every call.
    QString fileSizeText() const;
    int pageCount() const { return static_cast<int>(m_pageCount); }

    // Not yet compressed since it was added or since its setting changed.
    bool isPending() const { return !m_processed; }
    // The file is to be compressed again. A run already on its way was handed the old setting: its
    // result will not count, and the item stays pending when it reports.
    void resetProcessed();
    // The last run's setting had been changed by the time the run reported.
    bool isRunOutdated() const { return m_runOutdated; }

signals:
    void processFinishedSignal(int code);
    void processing();
    void outputFileSignal(QString outputPath);

public slots:
    void fileProcessFinished(int code);

protected:
    QString m_suffix;
    bool m_processed = false;
    QString m_iconName;
    QString m_filePath;
    qint64 m_pageCount = 1;
    // From the hand-over of a run's setting until the run reports.
    bool m_runQueued = false;
    bool m_runOutdated = false;
    QStringList m_singlePages;
    QStringList m_pageRanges;

private:
    Q_DISABLE_COPY(FileItem)
};
