// bench_manyfiles [FILES] [--list-only]
// What a user who drops a folder's worth of PDFs on the window waits for. Makes FILES (default 1000)
// one-page PDFs, then:
//   1. opens them with a bare FileItemList (qpdf alone), then lists them through MainWindow::addPdfFiles
//      (qpdf, rows and everything the event loop has to do for them before the window answers again),
//      and prints both times and their ratio;
//   2. compresses them all through the real window while a 10 ms timer on the GUI thread notes the longest
//      gap between two of its ticks.
// The program's own log stays on, as it is for a user (its console copy goes to standard error).
// Output lines: "open_s=", "window_s=", "ratio=", then "max_gap_ms=" and "wall_s=".
#include "AppSettings.h"
#include "FileItemList.h"
#include "MainWindow.h"
#include "PdfFixtures.h"
#include "StartUp.h"
#include "WindowRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

// CPU time of the GUI thread: what the listing costs, however busy the rest of the machine is.
double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Runs until nothing is left in the GUI thread's queue: the window is answering again.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

// The two passes are functions of their own, so that a profiler can be pointed at each
// (valgrind --tool=callgrind --collect-atstart=no --toggle-collect=...).
Q_NEVER_INLINE bool openAlone(const QStringList& paths)
{
    FileItemList bare;
    bare.addFiles(paths);
    return bare.count() == paths.size();
}

Q_NEVER_INLINE void listThroughWindow(MainWindow* window, const QStringList& paths)
{
    window->addPdfFiles(paths);
    settle();
}

} // namespace

int main(int argc, char* argv[])
{
    // The window keeps its settings and log under HOME: give it one of its own.
    QTemporaryDir home;
    prepareWindowBench(home.path());
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int files = args.size() > 1 && args.at(1).toInt() > 0 ? args.at(1).toInt() : 1000;
    const bool listOnly = args.contains(QStringLiteral("--list-only"));

    QTemporaryDir work;
    const QString inDir = work.filePath(QStringLiteral("in"));
    const QString outDir = work.filePath(QStringLiteral("out"));
    QDir().mkpath(inDir);
    const QString sample = work.filePath(QStringLiteral("sample.pdf"));
    if (!PdfFixtures::writePlain(sample, 1))
        return 1;
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const QString path = QStringLiteral("%1/file_%2.pdf").arg(inDir).arg(i, 4, 10, QLatin1Char('0'));
        if (!QFile::copy(sample, path))
            return 1;
        paths << path;
    }

    // The look the program starts with: its font and its style sheet, which every row's widgets go through.
    QFont font;
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    loadStyleSheet(QStringLiteral(":/resource/style.qss"));

    AppSettings::gInstance()->setOutputDir(outDir);
    MainWindow* window = MainWindow::gInstance();
    window->resize(500, 700);
    window->show();
    settle();

    // Both passes find the files in the page cache: the first one warms it.
    {
        FileItemList warm;
        warm.addFiles(paths);
    }
    QElapsedTimer clock;
    clock.start();
    double cpu = threadCpuSeconds();
    if (!openAlone(paths))
        return 1;
    const double openSeconds = clock.nsecsElapsed() / 1e9;
    const double openCpu = threadCpuSeconds() - cpu;

    clock.restart();
    cpu = threadCpuSeconds();
    listThroughWindow(window, paths);
    const double windowSeconds = clock.nsecsElapsed() / 1e9;
    const double windowCpu = threadCpuSeconds() - cpu;
    std::printf("files=%d\n", files);
    std::printf("open_s=%.3f\n", openSeconds);
    std::printf("window_s=%.3f\n", windowSeconds);
    std::printf("ratio=%.2f\n", windowSeconds / openSeconds);
    std::printf("open_cpu_s=%.3f window_cpu_s=%.3f cpu_ratio=%.2f\n", openCpu, windowCpu, windowCpu / openCpu);
    std::fflush(stdout);
    if (listOnly)
        return 0;

    const WindowRun run = compressThroughWindow(window);

    const int written = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
    std::printf("written=%d\n", written);
    std::printf("max_gap_ms=%lld\n", static_cast<long long>(run.maxGapMs));
    std::printf("wall_s=%.3f\n", run.wallSeconds);
    return written == files ? 0 : 1;
}
