#include "GhostscriptMessages.h"

#include "LogPosition.h"

namespace {

const char Where[] = "GSCompressor::compress";

// What the log adds to each line beyond its text: the time stamp, the source position and the HTML around them.
constexpr qint64 EntryOverhead = 128 + sizeof(__FILE__) + sizeof(Where);

} // namespace

GhostscriptMessages::GhostscriptMessages(QString inputPath, const QString& password)
    : m_inputPath(std::move(inputPath)), m_password(password.toUtf8())
{
}

GhostscriptMessages::~GhostscriptMessages()
{
    flush();
}

void GhostscriptMessages::take(int stream, const QByteArray& text)
{
    QByteArray& pending = stream == 1 ? m_stdout : m_stderr;
    pending.append(text);
    takeLines(pending, false);
    // A line that does not end is logged in pieces. The password is masked before it is cut, and only where all of a
    // password that crosses the cut has come, so that no piece holds a part of it.
    while (pending.size() >= MaxLineBytes + m_password.size()) {
        if (!m_password.isEmpty())
            pending.replace(m_password, QByteArrayLiteral("(password)"));
        if (pending.size() < MaxLineBytes + m_password.size())
            break;
        takeLine(pending.left(MaxLineBytes));
        pending.remove(0, MaxLineBytes);
    }
}

void GhostscriptMessages::flush()
{
    takeLines(m_stdout, true);
    takeLines(m_stderr, true);
    if (m_linesLeftOut > 0) {
        LOG_WARNING(Where) << qUtf8Printable(QStringLiteral("Ghostscript on %1: %2 more lines (%3 bytes) of messages "
                                                            "left out")
                                                 .arg(m_inputPath)
                                                 .arg(m_linesLeftOut)
                                                 .arg(m_bytesLeftOut));
        m_linesLeftOut = 0;
        m_bytesLeftOut = 0;
    }
}

void GhostscriptMessages::takeLines(QByteArray& pending, bool includingUnfinished)
{
    int start = 0;
    int end;
    while ((end = pending.indexOf('\n', start)) >= 0) {
        takeLine(pending.mid(start, end - start));
        start = end + 1;
    }
    pending.remove(0, start);
    if (includingUnfinished && !pending.isEmpty()) {
        takeLine(pending);
        pending.clear();
    }
}

void GhostscriptMessages::takeLine(QByteArray line)
{
    if (m_linesLeftOut > 0) {
        ++m_linesLeftOut;
        m_bytesLeftOut += line.size() + 1;
        return;
    }
    if (!m_password.isEmpty())
        line.replace(m_password, QByteArrayLiteral("(password)"));
    QString text = QString::fromLocal8Bit(line).trimmed();
    if (text.isEmpty())
        return;
    if (!m_password.isEmpty())
        text.replace(QString::fromUtf8(m_password), QStringLiteral("(password)"));
    const QString message = QStringLiteral("Ghostscript on %1: %2").arg(m_inputPath, text);
    const qint64 size = EntryOverhead + message.toHtmlEscaped().toUtf8().size();
    if (m_logged + size > MaxLoggedBytes) {
        ++m_linesLeftOut;
        m_bytesLeftOut += line.size() + 1;
        return;
    }
    m_logged += size;
    LOG_WARNING(Where) << qUtf8Printable(message);
}
