#pragma once

class CustomWindowFrame;
class QRect;
class QString;
class QWidget;

// Sets the style sheet in the file at path on the whole application. A file that does not open is
// skipped without a word: the program then keeps Qt's own look.
void loadStyleSheet(const QString& path);

// Makes SIGTERM, SIGINT and SIGHUP end the program as closing its window does: the event loop returns, and the main
// window's destructor drops the queued compressions and waits for the running ones. Every request after the first,
// even one that comes with it, stops the running compressions too. Call from main once the application object
// exists. Returns false when the signals could not be caught; they then end the process at once.
bool quitOnTerminationSignals();

// Whether such a signal has come. One that comes before the event loop runs (during the update check at start-up)
// cannot end a loop that has not started: main asks this before it starts it.
bool terminationRequested();

// Puts the main window into a new window frame, as wide as the main window may grow, and places the
// frame on the primary screen. The frame has no parent: the caller owns it.
CustomWindowFrame* frameMainWindow(QWidget* mainWindow);

// Centres frame in the available area of a screen; a frame taller than the area is made 20 pixels
// lower than the area and placed 10 pixels below its top.
void placeFrame(QWidget* frame, const QRect& available);
