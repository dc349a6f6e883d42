#include "HtmlLog.h"

#include <QtTest>

#include <QRegularExpression>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

// Class, stamp and text of one message line.
const QRegularExpression
    LinePattern(QStringLiteral(R"re(^<div class="([dwcfi])">(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d) (.*)</div>$)re"));

QString readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// The message lines of every page in a log directory, oldest page first, heads left out.
QStringList pageLines(const QString& dir)
{
    QStringList lines;
    const QString head = LogPageTemplate + QStringLiteral("\r\n");
    for (const QString& name : QDir(dir).entryList({QStringLiteral("*_log.html")}, QDir::Files, QDir::Name)) {
        QString content = readAll(dir + QLatin1Char('/') + name);
        if (content.startsWith(head))
            content.remove(0, head.size());
        QStringList pageLines = content.split(QStringLiteral("\r\n"));
        if (pageLines.last().isEmpty())
            pageLines.removeLast();
        lines += pageLines;
    }
    return lines;
}

// Always ASCII digits, whatever the locale's own.
QString pageName(const QDateTime& time)
{
    return QLocale::c().toString(time, QStringLiteral("yyyy-MM-dd_hh")) + QStringLiteral("_log.html");
}

// Points this process's stderr at a file for the lifetime of the object.
class StderrRedirect
{
public:
    explicit StderrRedirect(const QString& path)
    {
        m_saved = ::dup(STDERR_FILENO);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    ~StderrRedirect()
    {
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }

private:
    Q_DISABLE_COPY(StderrRedirect)
    int m_saved = -1;
};

} // namespace

class TestHtmlLog : public QObject
{
    Q_OBJECT

private slots:
    void pruning_data();
    void pruning();
    void missingDirectoryIsCreated();
    void lines_data();
    void lines();
    void headWrittenOncePerPage();
    void earlierPageOfTheHourKeepsItsHead();
    void debugOutputGetsThePlainText();
    void pageThatCannotBeOpenedIsTriedAgain();
    void debugOutputWithoutPage();
    void threadsWriteWholeLines();

private:
    // Installs the handler on a fresh directory below the home path and returns its full path.
    QString installFresh(const QString& name, int limit = 100)
    {
        const QString dir = QDir::homePath() + QStringLiteral("/logs/%1/").arg(name);
        installHtmlLogHandler(dir, limit);
        return dir;
    }
};

void TestHtmlLog::pruning_data()
{
    QTest::addColumn<int>("fileCount");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("kept");

    QTest::newRow("three over the limit") << 103 << 100 << 100;
    QTest::newRow("at the limit") << 100 << 100 << 100;
    QTest::newRow("below the limit") << 7 << 100 << 7;
    QTest::newRow("limit zero") << 5 << 0 << 0;
    QTest::newRow("negative limit") << 5 << -1 << 0;
}

void TestHtmlLog::pruning()
{
    QFETCH(int, fileCount);
    QFETCH(int, limit);
    QFETCH(int, kept);

    const QString dir = QDir::homePath() + QStringLiteral("/prune/%1/").arg(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(dir + QStringLiteral("a-subfolder")));
    // Pages of several days and hours, and other files that count and sort like any other.
    QStringList names;
    for (int i = 0; i < fileCount; ++i) {
        names << (i % 10 == 0 ? QStringLiteral("%1-notes.txt").arg(i, 3, 10, QLatin1Char('0'))
                              : QStringLiteral("2026-%1-%2_%3_log.html")
                                    .arg(1 + i / 30, 2, 10, QLatin1Char('0'))
                                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                    .arg(i % 24, 2, 10, QLatin1Char('0')));
        QFile file(dir + names.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    names.sort();

    installHtmlLogHandler(dir, limit);

    QCOMPARE(QDir(dir).entryList(QDir::Files, QDir::Name), names.mid(names.size() - kept));
    QVERIFY(QFileInfo(dir + QStringLiteral("a-subfolder")).isDir()); // folders are not the log's to delete
}

void TestHtmlLog::missingDirectoryIsCreated()
{
    const QString dir = installFresh(QStringLiteral("not/there/yet"));
    QVERIFY(QFileInfo(dir).isDir());
    qInfo("first line");
    QCOMPARE(pageLines(dir).size(), 1);
}

void TestHtmlLog::lines_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("levelClass");
    QTest::addColumn<QString>("written");

    // clang-format off
    QTest::newRow("debug")    << int(QtDebugMsg)    << "abc" << "d" << "abc";
    QTest::newRow("info")     << int(QtInfoMsg)     << "abc" << "i" << "abc";
    QTest::newRow("warning")  << int(QtWarningMsg)  << "abc" << "w" << "abc";
    QTest::newRow("critical") << int(QtCriticalMsg) << "abc" << "c" << "abc";
    QTest::newRow("fatal")    << int(QtFatalMsg)    << "abc" << "f" << "abc";
    QTest::newRow("markup in a file name")
        << int(QtDebugMsg) << "<img src=x onerror=alert(1)>.pdf" << "d" << "&lt;img src=x onerror=alert(1)&gt;.pdf";
    QTest::newRow("ampersand and quotes")
        << int(QtDebugMsg) << R"(Tom & "Jerry".pdf)" << "d" << "Tom &amp; &quot;Jerry&quot;.pdf";
    QTest::newRow("closing tag")
        << int(QtDebugMsg) << "</div><script>x()</script>" << "d" << "&lt;/div&gt;&lt;script&gt;x()&lt;/script&gt;";
    QTest::newRow("non-ASCII") << int(QtDebugMsg) << "Überprüfung 日本語.pdf" << "d" << "Überprüfung 日本語.pdf";
    QTest::newRow("placeholders") << int(QtDebugMsg) << "100% %1 %2" << "d" << "100% %1 %2";
    // clang-format on
}

void TestHtmlLog::lines()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QString, levelClass);
    QFETCH(QString, written);

    const QString dir = installFresh(QStringLiteral("lines-%1").arg(QTest::currentDataTag()));
    const QDateTime before = QDateTime::currentDateTime();
    // Called directly: a fatal message through qFatal would end the test.
    htmlLogMessageHandler(QtMsgType(type), QMessageLogContext(), text);
    const QDateTime after = QDateTime::currentDateTime();

    const QStringList lines = pageLines(dir);
    QCOMPARE(lines.size(), 1);
    const QRegularExpressionMatch match = LinePattern.match(lines.first());
    QVERIFY2(match.hasMatch(), qPrintable(lines.first()));
    QCOMPARE(match.captured(1), levelClass);
    const QDateTime stamp = QLocale::c().toDateTime(match.captured(2), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY(stamp >= before.addMSecs(-before.time().msec()) && stamp <= after);
    QCOMPARE(match.captured(3), written);
    // The page is named after the hour of the stamp.
    QVERIFY(QFile::exists(dir + pageName(stamp)));
}

void TestHtmlLog::headWrittenOncePerPage()
{
    const QString dir = installFresh(QStringLiteral("head"));
    qInfo("one");
    qWarning("two");

    // A second page when the hour turned between the two lines; each page has its own head.
    const QStringList pages = QDir(dir).entryList(QDir::Files, QDir::Name);
    QVERIFY2(pages.size() == 1 || pages.size() == 2, qPrintable(pages.join(QLatin1Char(' '))));
    QString lines;
    for (const QString& name : pages) {
        const QString content = readAll(dir + name);
        QVERIFY(
            content.startsWith(QStringLiteral("\n<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n")));
        QVERIFY(content.startsWith(LogPageTemplate + QStringLiteral("\r\n<div class=\"")));
        QCOMPARE(content.count(QStringLiteral("<?xml")), 1);
        lines += content.mid(LogPageTemplate.size() + 2);
    }
    QVERIFY(lines.startsWith(QStringLiteral("<div class=\"i\">")));
    QVERIFY(lines.endsWith(QStringLiteral(" two</div>\r\n")));
    QCOMPARE(pageLines(dir).size(), 2);
}

void TestHtmlLog::earlierPageOfTheHourKeepsItsHead()
{
    const QString dir = QDir::homePath() + QStringLiteral("/logs/again/");
    QVERIFY(QDir().mkpath(dir));
    // Pages for this hour and the next, so that an hour turning during the test changes nothing. In the hour that
    // the clocks go back, both have the same name.
    const QDateTime now = QDateTime::currentDateTime();
    QVector<QDateTime> hours{now};
    if (pageName(now.addSecs(3600)) != pageName(now))
        hours << now.addSecs(3600);
    const QString earlier = QStringLiteral("<div class=\"i\">from an earlier run</div>\r\n");
    for (const QDateTime& hour : qAsConst(hours)) {
        QFile page(dir + pageName(hour));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(earlier.toUtf8());
    }

    installHtmlLogHandler(dir, 100);
    qInfo("from this run");

    int appended = 0;
    for (const QDateTime& hour : qAsConst(hours)) {
        const QString content = readAll(dir + pageName(hour));
        QVERIFY(content.startsWith(earlier));
        QVERIFY(!content.contains(QStringLiteral("<?xml")));
        appended += content.contains(QStringLiteral(" from this run</div>\r\n")) ? 1 : 0;
    }
    QCOMPARE(appended, 1);
}

void TestHtmlLog::debugOutputGetsThePlainText()
{
    const QString dir = installFresh(QStringLiteral("stderr"));
    const QString captured = dir + QStringLiteral("stderr.txt");
    {
        StderrRedirect redirect(captured);
        qWarning("<b>x & y</b>");
    }
    // The debug output gets the stamped text as it was logged: no markup, no escaping.
    const QRegularExpression expected(QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d <b>x & y</b>\n$)"));
    QVERIFY2(expected.match(readAll(captured)).hasMatch(), qPrintable(readAll(captured)));
    QVERIFY(pageLines(dir).first().endsWith(QStringLiteral(" &lt;b&gt;x &amp; y&lt;/b&gt;</div>")));
}

void TestHtmlLog::pageThatCannotBeOpenedIsTriedAgain()
{
    const QString dir = installFresh(QStringLiteral("vanishing"));
    QVERIFY(QDir(dir).removeRecursively());

    qInfo("lost");
    QVERIFY(!QFileInfo::exists(dir)); // the handler does not create the folder behind the user's back

    QVERIFY(QDir().mkpath(dir));
    qInfo("found");
    const QStringList lines = pageLines(dir);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().endsWith(QStringLiteral(" found</div>")));
}

void TestHtmlLog::debugOutputWithoutPage()
{
    // A file where the log folder should be stops root as well as any user.
    QFile blocked(QDir::homePath() + QStringLiteral("/blocked"));
    QVERIFY(blocked.open(QIODevice::WriteOnly));
    installHtmlLogHandler(QStringLiteral("/blocked/"), 100);

    const QString captured = QDir::homePath() + QStringLiteral("/stderr.txt");
    {
        StderrRedirect redirect(captured);
        qWarning("no page for this");
        qWarning("nor for this");
    }
    const QStringList lines = readAll(captured).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(QLatin1String(" no page for this")) &&
            lines.at(1).endsWith(QLatin1String(" nor for this")));
    QCOMPARE(blocked.size(), 0);
}

void TestHtmlLog::threadsWriteWholeLines()
{
    constexpr int ThreadCount = 8;
    constexpr int MessagesPerThread = 2000;
    const QString dir = installFresh(QStringLiteral("threads"));

    {
        StderrRedirect quiet(QStringLiteral("/dev/null"));
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < ThreadCount; ++t) {
            threads.emplace_back(QThread::create([t] {
                for (int n = 0; n < MessagesPerThread; ++n) {
                    if (n % 2)
                        qInfo("thread %d message %d <&> %s", t, n, "padding to make the lines longer");
                    else
                        qWarning("thread %d message %d <&> %s", t, n, "padding to make the lines longer");
                }
            }));
            threads.back()->start();
        }
        for (auto& thread : threads)
            QVERIFY(thread->wait(60000));
    }

    const QRegularExpression text(
        QStringLiteral(R"(^thread (\d) message (\d+) &lt;&amp;&gt; padding to make the lines longer$)"));
    QVector<QVector<int>> seen(ThreadCount, QVector<int>(MessagesPerThread, 0));
    int ours = 0;
    for (const QString& line : pageLines(dir)) {
        const QRegularExpressionMatch match = LinePattern.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const QRegularExpressionMatch ourMatch = text.match(match.captured(3));
        if (!ourMatch.hasMatch())
            continue; // Qt itself may have something to say
        ++ours;
        ++seen[ourMatch.captured(1).toInt()][ourMatch.captured(2).toInt()];
    }
    QCOMPARE(ours, ThreadCount * MessagesPerThread);
    for (const QVector<int>& thread : qAsConst(seen))
        QVERIFY(std::all_of(thread.cbegin(), thread.cend(), [](int count) { return count == 1; }));
}

QTEST_GUILESS_MAIN(TestHtmlLog)
#include "tst_htmllog.moc"
