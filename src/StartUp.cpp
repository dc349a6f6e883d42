#include "StartUp.h"

#include "CustomWindowFrame.h"
#include "GSCompressor.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QScreen>

namespace {
// Set and read on the GUI thread only.
bool g_terminationRequested = false;
} // namespace

void loadStyleSheet(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

bool quitOnTerminationSignals()
{
    // Each request comes here on its own, however close behind the one before it: two that the event loop reads at
    // once are two requests, and the second must not be taken for a first that only ends the loop again.
    return platform::catchTerminationSignals(qApp, [](const QString& signalName) {
        if (!g_terminationRequested) {
            qDebug().noquote() << signalName << "received: the program ends as if its window were closed";
            g_terminationRequested = true;
        } else {
            // Asked again: the running compressions are not waited for (nor those that would start after them).
            qDebug().noquote() << QStringLiteral("%1 received again: %2 running compressions stopped")
                                      .arg(signalName, QString::number(GSCompressor::stopAllRuns()));
        }
        QCoreApplication::quit();
    });
}

bool terminationRequested()
{
    return g_terminationRequested;
}

CustomWindowFrame* frameMainWindow(QWidget* mainWindow)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    auto* frame = new CustomWindowFrame(mainWindow);
    frame->setFixedWidth(mainWindow->maximumWidth());
    placeFrame(frame, screen->availableGeometry());
    return frame;
}

void placeFrame(QWidget* frame, const QRect& available)
{
    qDebug() << "Screen width :" << available.width() << "Screen height :" << available.height();
    int y;
    if (frame->height() > available.height()) {
        // Only the height gives way: the width is fixed.
        frame->resize(available.width() / 2, available.height() - 20);
        y = 10;
    } else {
        y = (available.height() - frame->height()) / 2;
    }
    const int x = (available.width() - frame->width()) / 2;
    // Within the available area, so that a panel on the left or at the top does not cover the frame and a
    // primary screen right of or below another one gets it.
    frame->move(available.x() + x, available.y() + y);
}
