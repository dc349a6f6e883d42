// Compresses the files named after the output folder into that folder, all at once on the global thread pool, as
// the program's compress button does. Run by tst_interruptedrun, which may kill it at any moment.
// Usage: compress_helper OUTPUT_DIR INPUT...
#include "CompressFunction.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QStringList>
#include <QThreadPool>

#include <sys/resource.h>

#include <atomic>
#include <memory>
#include <vector>

int main(int argc, char* argv[])
{
    // A killed helper must not leave a core file behind on machines that keep them.
    const struct rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);

    QCoreApplication app(argc, argv);
    // Warnings say why a file failed; the debug lines of every run would only bury them in the test's output.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3)
        return 2;
    const QString outputDir = arguments.at(1);

    // Several files are written at the same moment, so that a kill finds more than one run in progress.
    QThreadPool::globalInstance()->setMaxThreadCount(qMax(2, QThread::idealThreadCount() / 2));
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
