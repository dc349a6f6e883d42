#include "CompressFunction.h"
#include "GSCompressor.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>
static long warnings = 0;
static void handler(QtMsgType t, const QMessageLogContext&, const QString&) { if (t == QtWarningMsg) ++warnings; }
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(handler);
    GSCompressor::setTimeLimit(std::chrono::seconds(2), std::chrono::seconds(0));
    CompressFunction f; QElapsedTimer t; t.start();
    int code = f.compress(argv[1], argv[2], QString()).code;
    rusage u{}; getrusage(RUSAGE_SELF, &u);
    std::printf("code=%d after %lld ms, %ld warnings, peak rss %ld KB\n", code, t.elapsed(), warnings, u.ru_maxrss);
}
