#pragma once

#include <QByteArray>
#include <QString>

// Collects what one Ghostscript run prints on its standard streams and logs it line by line as warnings about the
// file, so that a failed run can be told from the log. A run that prints without end (a file that makes Ghostscript
// warn in a loop, or print one character a line) gets its first lines logged, about a megabyte as the log writes
// them, and the rest counted, so that neither the log nor the program's memory grows with it. The password that the
// file was opened with is never logged, whatever Ghostscript says.
class GhostscriptMessages
{
public:
    GhostscriptMessages(QString inputPath, const QString& password);
    ~GhostscriptMessages();

    // Ghostscript hands over its text in pieces, often a word at a time; stream 1 is its standard output.
    void take(int stream, const QByteArray& text);

    // Logs what is left of lines that did not end, and how much was left out.
    void flush();

    // What one run may add to the log, in bytes as the log writes them, and the longest line waited for to end.
    static constexpr qint64 MaxLoggedBytes = 1024 * 1024;
    static constexpr int MaxLineBytes = 64 * 1024;

private:
    Q_DISABLE_COPY(GhostscriptMessages)

    void takeLines(QByteArray& pending, bool includingUnfinished);
    void takeLine(QByteArray line);

    const QString m_inputPath;
    const QByteArray m_password;
    QByteArray m_stdout;
    QByteArray m_stderr;
    qint64 m_logged = 0;
    qint64 m_linesLeftOut = 0;
    qint64 m_bytesLeftOut = 0;
};
