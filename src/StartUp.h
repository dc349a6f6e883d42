#pragma once

class CustomWindowFrame;
class QRect;
class QString;
class QWidget;

// Sets the style sheet in the file at path on the whole application. A file that does not open is
// skipped without a word: the program then keeps Qt's own look.
void loadStyleSheet(const QString& path);

// Puts the main window into a new window frame, as wide as the main window may grow, and places the
// frame on the primary screen. The frame has no parent: the caller owns it.
CustomWindowFrame* frameMainWindow(QWidget* mainWindow);

// Centres frame in the available area of a screen; a frame taller than the area is made 20 pixels
// lower than the area and placed 10 pixels below its top.
void placeFrame(QWidget* frame, const QRect& available);
