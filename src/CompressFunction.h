#pragma once

#include "CompressSetting.h"

#include <QString>

#include <memory>

class CompressInterface;

struct CompressResult
{
    // -1 until a run; then 0 on success, else the compressor's failure code.
    int code = -1;
    // "<output folder>/<chosen file name>", filled after every run, failed ones included.
    QString outputPath;
};

// Gives a document its own compressor (Ghostscript) and a result record per run.
class CompressFunction
{
public:
    CompressFunction();
    ~CompressFunction();

    CompressResult compress(QString inputPath, QString outputDir, QString password);
    QString outputFileName() const;
    qint64 compressedSize() const;
    void setCompressSetting(const CompressSetting& setting);

private:
    Q_DISABLE_COPY(CompressFunction)

    std::unique_ptr<CompressInterface> m_compressor;
};
