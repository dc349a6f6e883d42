#include "CrashDump.h"

#include <QApplication>

#include <clocale>

// Started by a crashed Zolvane, whose own state can no longer be trusted to run Qt, to log the crash and show the
// crash box; the crashed process waits for it and then ends. Only an exit status of 0 tells it that the user has
// been told; otherwise it says so on the terminal itself.
int main(int argc, char* argv[])
{
    // The crash is logged before the application object exists: without a display QApplication ends the process,
    // and the log must learn of the crash all the same. The arguments are read as QCoreApplication would read them,
    // in the encoding of the user's locale.
    std::setlocale(LC_ALL, "");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CrashReport report;
    if (!logCrashFromArguments(arguments, report))
        return 2;

    QApplication app(argc, argv);
    showCrashBox(report);
    return 0;
}
