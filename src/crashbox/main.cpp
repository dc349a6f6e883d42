#include "CrashDump.h"

#include <QApplication>

// Started by a crashed Zolvane, whose own state can no longer be trusted to run Qt, to log the crash and show the
// crash box; the crashed process waits for it and then ends.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return crashBoxMain(QApplication::arguments());
}
