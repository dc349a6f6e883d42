#include "WindowRun.h"

#include "MainWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTimer>
#include <QWidget>

void prepareWindowBench(const QString& home)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_DATA_HOME");
}

WindowRun compressThroughWindow(MainWindow* window)
{
    WindowRun run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, window,
                     [&] { run.maxGapMs = qMax(run.maxGapMs, sinceTick.restart()); });

    // The add button is enabled again when the last task has reported.
    auto* addButton = window->findChild<QWidget*>(QStringLiteral("btn_add_file"));
    QTimer idleCheck;
    QObject::connect(&idleCheck, &QTimer::timeout, window, [addButton] {
        if (addButton->isEnabled())
            QCoreApplication::quit();
    });

    QElapsedTimer wall;
    QTimer::singleShot(0, window, [&] {
        sinceTick.start();
        ticker.start(10);
        wall.start();
        window->btn_compress_clicked();
        idleCheck.start(5);
    });
    QCoreApplication::exec();
    run.wallSeconds = wall.nsecsElapsed() / 1e9;
    return run;
}
