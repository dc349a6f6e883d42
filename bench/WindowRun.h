#pragma once

#include <QtGlobal>

class MainWindow;
class QString;

// Before the application object exists: no screen needed unless one is asked for, and home as HOME, where the
// window keeps its settings and its log.
void prepareWindowBench(const QString& home);

// What a user feels of one compression run through the main window.
struct WindowRun
{
    // The longest gap between two ticks of a 10 ms timer on the GUI thread: a stutter of the window.
    qint64 maxGapMs = 0;
    double wallSeconds = 0;
};

// Presses Compress on window (whose rows and output folder are ready) and runs the event loop until the
// window's controls are enabled again, that is until every task has reported.
WindowRun compressThroughWindow(MainWindow* window);
