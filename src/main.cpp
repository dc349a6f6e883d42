#include "CrashDump.h"
#include "CustomWindowFrame.h"
#include "MainWindow.h"
#include "MultiLanguage.h"
#include "QNetWorkProcess.h"
#include "StartUp.h"
#include "platform/DebugOutput.h"

#include <QApplication>
#include <QFont>
#include <QStyle>

#include <memory>

int main(int argc, char* argv[])
{
    platform::keepRunningOnClosedPipes();
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);

    if (!installCrashExceptionFilter())
        qWarning("Zolvane: crash handling is not installed; a crash will leave no dump.");
    if (!quitOnTerminationSignals())
        qWarning("Zolvane: SIGTERM, SIGINT and SIGHUP will end the program without waiting for its compressions.");

    QFont font;
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QApplication::style()->unpolish(&app);
    loadStyleSheet(QStringLiteral(":/resource/style.qss"));

    // Starts the log: everything from here on is written to it.
    MainWindow* mainWindow = MainWindow::gInstance();
    std::unique_ptr<CustomWindowFrame> frame(frameMainWindow(mainWindow));

    MultiLanguage::gInstance()->initLanguage();
    // Runs to its end, so that whatever it has to say comes before the window.
    QNetWorkProcess::gInstance()->checkUpdate();

    // A request to end that came during the update check has already ended the loops that ran then.
    int result = 0;
    if (!terminationRequested()) {
        frame->show();
        result = app.exec();
    }
    // The frame takes the main window with it, whose destructor drops the queued compressions and waits for
    // the running ones; that needs the application object.
    frame.reset();
    return result;
}
