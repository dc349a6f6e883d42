// bench_compress IN_DIR OUT_DIR [LEVEL]
// Compresses every PDF of IN_DIR into OUT_DIR the way the main window does: through FileItemList
// and FunctionRunnable on the global pool, sized to half the ideal thread count. Prints what it did,
// the peak memory, the CPU time of the whole run (user and system, of this program and of every
// Ghostscript process) and the wall time of the compression; the last line is "wall_s=<seconds>".
#include "CompressSetting.h"
#include "FileItemList.h"
#include "PDFFileItem.h"
#include "functionRunnable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>

#include <cstdio>
#include <sys/resource.h>

namespace {

long peakRssKb(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

int threadCount()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    }
    return 1;
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Only warnings and worse: the debug lines of every run would drown the figures.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietHandler);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: bench_compress IN_DIR OUT_DIR [LEVEL]\n", stderr);
        return 2;
    }
    const QString outDir = args.at(2);
    CompressSetting setting;
    setting.level = args.size() > 3 ? args.at(3).toInt() : 0;

    QStringList paths;
    const QDir inDir(args.at(1));
    const QStringList names =
        inDir.entryList({QStringLiteral("*.pdf"), QStringLiteral("*.PDF")}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        paths << inDir.filePath(name);

    QElapsedTimer openTimer;
    openTimer.start();
    FileItemList list;
    list.addFiles(paths);
    const double openSeconds = openTimer.nsecsElapsed() / 1e9;

    const int threads = qMax(1, QThread::idealThreadCount() / 2);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);

    int started = 0;
    int finished = 0;
    int failed = 0;
    qint64 inputBytes = 0;
    qint64 outputBytes = 0;
    long peakAtHalfKb = 0;
    QList<FunctionRunnable*> tasks;
    for (int row = 0; row < list.count(); ++row) {
        FileItem* item = list.at(row);
        if (item->isLocked())
            continue;
        item->setCompressSetting(setting);
        inputBytes += QFileInfo(item->filePath()).size();
        auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, item, outDir);
        QObject::connect(item, &FileItem::outputFileSignal, &app,
                         [&outputBytes](const QString& path) { outputBytes += QFileInfo(path).size(); });
        QObject::connect(task, &FunctionRunnable::finished, &app, [&](int code) {
            ++finished;
            if (code != 0)
                ++failed;
            if (finished == (started + 1) / 2)
                peakAtHalfKb = peakRssKb();
            if (finished == started)
                app.quit();
        });
        QObject::connect(task, &FunctionRunnable::finished, item, &FileItem::fileProcessFinished);
        tasks << task;
        ++started;
    }

    QElapsedTimer wall;
    wall.start();
    for (FunctionRunnable* task : qAsConst(tasks))
        QThreadPool::globalInstance()->start(task);
    if (started > 0)
        app.exec();
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    // The pool's threads end, and with them their Ghostscript processes, whose time then counts as this program's
    // children's. A thread ends its process on its very way out, after the pool has let it go.
    QThreadPool::globalInstance()->waitForDone();
    for (int i = 0; i < 1000 && threadCount() > 1; ++i)
        QThread::msleep(10);

    std::printf("files=%d listed=%d failed=%d threads=%d level=%d\n", started, int(paths.size()), failed, threads,
                setting.level);
    std::printf("input_bytes=%lld output_bytes=%lld\n", static_cast<long long>(inputBytes),
                static_cast<long long>(outputBytes));
    std::printf("open_s=%.3f\n", openSeconds);
    std::printf("peak_rss_half_kb=%ld peak_rss_kb=%ld\n", peakAtHalfKb, peakRssKb());
    // Ghostscript works in processes of its own: the largest of them that has ended.
    std::printf("ghostscript_peak_rss_kb=%ld\n", peakRssKb(RUSAGE_CHILDREN));
    std::printf("cpu_s=%.3f ghostscript_cpu_s=%.3f\n", cpuSeconds(RUSAGE_SELF) + cpuSeconds(RUSAGE_CHILDREN),
                cpuSeconds(RUSAGE_CHILDREN));
    std::printf("wall_s=%.3f\n", wallSeconds);
    return failed == 0 ? 0 : 1;
}
