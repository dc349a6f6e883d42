#include "CompressFunction.h"

#include "GSCompressor.h"

CompressFunction::CompressFunction() : m_compressor(std::make_unique<GSCompressor>()) {}

CompressFunction::~CompressFunction() = default;

CompressResult CompressFunction::compress(QString inputPath, QString outputDir, QString password)
{
    CompressResult result;
    result.code = m_compressor->compress(inputPath, outputDir, password);
    // Also after a failure, so that the log and the caller can name the file the run was meant to write.
    // Both parts go in at once: a folder named like "100%2" must not take in the file name.
    result.outputPath = QStringLiteral("%1/%2").arg(outputDir, m_compressor->outputFileName());
    return result;
}

QString CompressFunction::outputFileName() const
{
    return m_compressor->outputFileName();
}

qint64 CompressFunction::compressedSize() const
{
    return m_compressor->outputSize();
}

void CompressFunction::setCompressSetting(const CompressSetting& setting)
{
    m_compressor->setLevel(setting.level);
    m_compressor->setCustomValue(setting.value);
}
