#pragma once

#include "CompressInterface.h"

#include <QByteArrayList>
#include <QString>

#include <chrono>

// Colour and grey image resolution (dpi) of the custom level, indexed by custom value - 1.
extern const int ImageResolutionByLevel[10];
// Mono image resolution (dpi) of the custom level, indexed by custom value - 1.
extern const int MonoImageResolutionByLevel[10];

// Whether path leads, after any links, to a regular file. qpdf and Ghostscript open whatever they are
// given: a FIFO keeps them waiting for a writer, a device such as /dev/zero feeds them without end. The
// document items and the compressor ask this before either library opens a listed file.
bool isRegularFile(const QString& path);

// Compresses through Ghostscript's pdfwrite device: one Ghostscript instance per run, each in a child process of its
// own (ZolvaneGhostscript, next to the program), several runs (of different documents) at once on the pool threads.
// Whatever Ghostscript does with a file, crash, run without end or take all memory, fails that file's run only.
class GSCompressor : public CompressInterface
{
public:
    // The code of a run that Ghostscript reports as done but whose output is no PDF with the input's
    // page count: Ghostscript 10 writes an empty or one blank page for documents it cannot read.
    static const int BadOutputCode;
    // The code of a run that took longer than its time limit and was stopped.
    static const int TimeOutCode;
    // The code of a run whose Ghostscript did not return: its process crashed, was killed or was stopped.
    static const int ChildEndedCode;

    int compress(QString inputPath, QString outputDir, QString password) override;

    // The Ghostscript command line of a run with the current level and custom value.
    QByteArrayList arguments(const QString& inputPath, const QString& outputPath, const QString& password) const;

    // Ends every run in progress at once, and every run that starts later: for the program's last moments. Each fails
    // and leaves nothing in its output folder. Returns how many were running.
    static int stopAllRuns();

    // A run may take base plus perPage for each distinct page object of its input (10 minutes and 3 seconds). For
    // tests only.
    static void setTimeLimit(std::chrono::milliseconds base, std::chrono::milliseconds perPage);
    // How the time limit of an input with that many distinct pages is made up, as the log gives it.
    static QString describeTimeLimit(qint64 pages);
};
