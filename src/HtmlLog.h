#pragma once

#include <QString>
#include <QtGlobal>

// The program's diagnostics: every Qt message of every thread becomes one line of an HTML page,
// one page per hour ("yyyy-MM-dd_hh_log.html") in the log directory. A page opens in a browser
// with a dark theme and a list that shows the messages of one level only.

// The head of each page, written once when the page is created. The message lines follow it
// directly; body and html are left open so that lines can be appended for the rest of the hour.
extern const QString LogPageTemplate;

// How many pages the program keeps: a hundred hourly pages are the last few days it was used.
constexpr int LogFileLimit = 100;

// Installs htmlLogMessageHandler, makes logDir (an absolute path) the log directory (creating it)
// and deletes the files of that directory whose names sort first until at most fileLimit are left.
void installHtmlLogHandler(QString logDir, int fileLimit);

// The Qt message handler: appends the message, stamped with the local time and HTML-escaped, to
// the current hour's page and copies the stamped text to the debug output. Safe on any thread.
void htmlLogMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);
