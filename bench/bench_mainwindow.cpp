// bench_mainwindow IN_DIR OUT_DIR
// Compresses every PDF of IN_DIR into OUT_DIR through the real main window, its rows and the global pool,
// while a 10 ms timer on the GUI thread notes the longest gap between two of its ticks: what the user would
// feel as a stutter. The last lines are "max_gap_ms=<ms>" and "wall_s=<seconds>".
#include "AppSettings.h"
#include "MainWindow.h"
#include "WindowRun.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: bench_mainwindow IN_DIR OUT_DIR\n", stderr);
        return 2;
    }
    // The window keeps its settings and log under HOME: give it one of its own.
    QTemporaryDir home;
    prepareWindowBench(home.path());
    QApplication app(argc, argv);
    const QString inDir = QDir(app.arguments().at(1)).absolutePath();
    const QString outDir = QDir(app.arguments().at(2)).absolutePath();

    AppSettings::gInstance()->setOutputDir(outDir);
    MainWindow* window = MainWindow::gInstance();
    qInstallMessageHandler(quietHandler); // after the window has installed its log
    window->show();
    QStringList paths;
    for (const QString& name : QDir(inDir).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
        paths << inDir + QLatin1Char('/') + name;
    window->addPdfFiles(paths);

    const WindowRun run = compressThroughWindow(window);

    const int written = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
    std::printf("files=%d written=%d\n", int(paths.size()), written);
    std::printf("max_gap_ms=%lld\n", static_cast<long long>(run.maxGapMs));
    std::printf("wall_s=%.3f\n", run.wallSeconds);
    return written == paths.size() ? 0 : 1;
}
