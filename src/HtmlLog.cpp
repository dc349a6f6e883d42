#include "HtmlLog.h"

#include "platform/DebugOutput.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QTextStream>

// Lines are separated by "\n" only; the page keeps the "\r\n" of the message lines that follow.
const QString LogPageTemplate = QStringLiteral(R"html(
<?xml version="1.0" encoding="utf-8" standalone="yes"?>
<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Strict//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<title>Tamrik Zolvane Log</title>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />
<style type="text/css" id="logCss">
body {
    background: #18242b; color: #afc6d1; margin-right: 20px; margin-left: 20px;
    font-size: 14px; font-family: Arial, sans-serif, sans;
}
a { text-decoration: none; }
a:link { color: #a0b2bb; }
a:active { color: #f59504; }
a:visited { color: #adc7d4; }
a:hover { color: #e49115; }
h1 { text-align: center; }
h2 { color: #ebe5e5; }
.d, .w, .c, .f, .i { padding: 3px; overflow: auto; }
.d { background-color: #0f1011; color: #a8c1ce; }
.i { background-color: #294453; color: #a8c1ce; }
.w { background-color: #7993a0; color: #1b2329; }
.c { background-color: #ff952b; color: #1d2930; }
.f { background-color: #fc0808; color: #19242b; }
</style>
</head>
<body>
<h1>Log File</h1>
<script type="text/JavaScript">
function objHide(obj) { obj.style.display = "none"; }
function objShow(obj) { obj.style.display = "block"; }
function selectType() {
    var chosen = document.getElementById("typeSelect").value;
    ["d", "i", "w", "c", "f"].forEach(function (type) {
        var show = chosen == "a" || chosen == type;
        Array.prototype.forEach.call(document.getElementsByClassName(type), show ? objShow : objHide);
    });
}
</script>
<select id="typeSelect" onchange="selectType()">
<option value="a" selected="selected">All</option>
<option value="d">Debug</option>
<option value="i">Info</option>
<option value="w">Warning</option>
<option value="c">Critical</option>
<option value="f">Fatal</option>
</select>)html");

namespace {

// Everything the handler shares between threads. Created on first use and never destroyed: Qt
// messages may still arrive while the process's static objects are being torn down.
struct LogState
{
    QMutex mutex; // guards every member below; nothing under it may emit a Qt message
    QString directory;
    QFile page;
    QTextStream stream;
};

LogState& logState()
{
    static LogState* const state = new LogState;
    return *state;
}

QString levelClass(QtMsgType type)
{
    // Indexed by QtMsgType: debug, warning, critical, fatal, info.
    static const char letters[] = "dwcfi";
    const int index = static_cast<int>(type);
    return QString(QLatin1Char(index >= 0 && index < 5 ? letters[index] : 'd'));
}

} // namespace

void installHtmlLogHandler(QString logDir, int fileLimit)
{
    const QString& directory = logDir;
    LogState& state = logState();
    {
        // Set before the handler goes in, so that no early message looks for a page in "/".
        QMutexLocker lock(&state.mutex);
        state.directory = directory;
    }
    qInstallMessageHandler(htmlLogMessageHandler);

    QDir dir(directory);
    if (!dir.exists())
        dir.mkpath(dir.absolutePath());

    // Page names start with the date and hour, so the names that sort last are the newest pages.
    QStringList names = dir.entryList(QDir::Files, QDir::Name);
    const int keep = qMax(0, fileLimit);
    while (names.size() > keep)
        dir.remove(names.takeFirst()); // a file that will not go is given up on all the same
}

void htmlLogMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context) // our own log calls carry file, method and line in the text

    // In the C locale: QDateTime::toString would use the system locale's digits, and the page names must sort
    // (and be pruned) by the same ASCII digits whatever the user's language.
    const QLocale c = QLocale::c();
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = c.toString(now, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    // Log texts carry file names and other outside text; escaped, they cannot become markup or
    // script in the page the user opens in a browser.
    const QString line =
        QStringLiteral("<div class=\"%1\">%2 %3</div>\r\n").arg(levelClass(type), stamp, message.toHtmlEscaped());

    LogState& state = logState();
    {
        QMutexLocker lock(&state.mutex);
        const QString pagePath =
            QStringLiteral("%1/%2_log.html").arg(state.directory, c.toString(now, QStringLiteral("yyyy-MM-dd_hh")));
        // A new hour opens a new page; a page that could not be opened is tried again next time.
        if (state.page.fileName() != pagePath || !state.page.isOpen()) {
            if (state.page.isOpen())
                state.page.close();
            state.page.setFileName(pagePath);
            if (state.page.open(QIODevice::WriteOnly | QIODevice::Append)) {
                state.stream.setDevice(&state.page);
                state.stream.setCodec("UTF-8");
                // A page of this hour left by an earlier run already has its head.
                if (state.page.size() == 0)
                    state.stream << LogPageTemplate << "\r\n";
            }
        }
        // Without a page (the log folder cannot be made or written) the line is lost from the page,
        // but the debug output below still gets it: it may be all there is to go on.
        if (state.page.isOpen()) {
            state.stream << line;
            state.stream.flush();
        }
    }

    platform::writeDebugOutput(stamp + QLatin1Char(' ') + message);
}
