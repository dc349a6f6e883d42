#pragma once

#include <QString>

// A compressor writes a smaller copy of one PDF into an output folder. One compressor belongs to
// one document and runs on the pool thread of that document's task, one run at a time.
class CompressInterface
{
public:
    virtual ~CompressInterface() = default;

    // Writes the compressed copy of inputPath under a name that no file in outputDir bears yet
    // (the folder is created when missing). The name appears only once the copy is whole, and
    // nothing else is left in the folder. Returns 0 on success, else the failure code.
    virtual int compress(QString inputPath, QString outputDir, QString password) = 0;

    // The file name (no folder) that the last compress chose, also after a failed run.
    QString outputFileName() const { return m_outputFileName; }
    // Size in bytes of the file written by the last successful run; 0 before one.
    qint64 outputSize() const { return m_outputSize; }

    void setLevel(int level) { m_level = level; }
    void setCustomValue(int value) { m_customValue = value; }

protected:
    // 64 bits: outputs of 2 GiB and more must still report their size.
    qint64 m_outputSize = 0;
    int m_customValue = 5;
    int m_level = 0;
    QString m_outputFileName;
};
