// Compresses the files named after the output folder into that folder, all at once on the global thread pool, as
// the program's compress button does. Run by tst_interruptedrun, which may kill it at any moment.
// Usage: compress_helper [--stop-first] [--address-space=MIB[,hard]] OUTPUT_DIR INPUT...
//   --stop-first       stops all runs first, as the program does on its way out
//   --address-space    runs under a soft address-space limit (and as hard a one with ",hard"), on one pool thread
#include "CompressFunction.h"
#include "GSCompressor.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QStringList>
#include <QThreadPool>

#include <malloc.h>
#include <sys/resource.h>

#include <cstring>

#include <atomic>
#include <memory>
#include <vector>

int main(int argc, char* argv[])
{
    // A killed helper must not leave a core file behind on machines that keep them.
    const struct rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);

    int threads = qMax(2, QThread::idealThreadCount() / 2);
    if (argc > 1 && std::strncmp(argv[1], "--address-space=", 16) == 0) {
        // As under "ulimit -S -v": the helper itself stays small enough to live under it.
        mallopt(M_ARENA_MAX, 1);
        struct rlimit limit = {};
        getrlimit(RLIMIT_AS, &limit);
        char* end = nullptr;
        limit.rlim_cur = std::strtoull(argv[1] + 16, &end, 10) * 1024 * 1024;
        if (std::strcmp(end, ",hard") == 0)
            limit.rlim_max = limit.rlim_cur;
        setrlimit(RLIMIT_AS, &limit);
        threads = 1;
    }

    QCoreApplication app(argc, argv);
    // Warnings say why a file failed; the debug lines of every run would only bury them in the test's output.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QStringList arguments = app.arguments();
    if (arguments.size() > 1 && arguments.at(1).startsWith(QLatin1String("--address-space=")))
        arguments.removeAt(1);
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("--stop-first")) {
        arguments.removeAt(1);
        GSCompressor::stopAllRuns();
    }
    if (arguments.size() < 3)
        return 2;
    const QString outputDir = arguments.at(1);

    // Several files are written at the same moment, so that a kill finds more than one run in progress.
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    std::vector<std::unique_ptr<CompressFunction>> functions;
    std::atomic<int> failures{0};
    for (int i = 2; i < arguments.size(); ++i) {
        functions.push_back(std::make_unique<CompressFunction>());
        CompressFunction* function = functions.back().get();
        const QString input = arguments.at(i);
        QThreadPool::globalInstance()->start([function, input, &outputDir, &failures] {
            if (function->compress(input, outputDir, QString()).code != 0)
                ++failures;
        });
    }
    QThreadPool::globalInstance()->waitForDone();
    return failures == 0 ? 0 : 1;
}
