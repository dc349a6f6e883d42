#include "CustomWindowFrame.h"
#include "LogCatcher.h"
#include "StartUp.h"

#include <QtTest>
#include <QApplication>
#include <QScreen>

#include <signal.h>

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void styleSheet_data();
    void styleSheet();
    void compiledInStyleSheet();
    void placement_data();
    void placement();
    void frameOnPrimaryScreen();
    void secondRequestToEndInTheSameRead();
};

void TestStartUp::styleSheet_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("UTF-8 sheet") << true
                                 << QByteArray("QLabel { font-family: \"Ar\xC3\xAF"
                                               "al\"; }\n");
    QTest::newRow("empty sheet") << true << QByteArray();
    QTest::newRow("missing file") << false << QByteArray();
}

void TestStartUp::styleSheet()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("style.qss"));
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QString before = QStringLiteral("QWidget { color: red; }");
    qApp->setStyleSheet(before);

    LogCatcher log;
    loadStyleSheet(path);
    QCOMPARE(qApp->styleSheet(), exists ? QString::fromUtf8(content) : before);
    QCOMPARE(log.messages(), QStringList());
}

void TestStartUp::compiledInStyleSheet()
{
    QFile file(QStringLiteral(":/resource/style.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString sheet = QString::fromUtf8(file.readAll());
    loadStyleSheet(QStringLiteral(":/resource/style.qss"));
    QCOMPARE(qApp->styleSheet(), sheet);
}

void TestStartUp::placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("placed");

    // clang-format off
    QTest::newRow("fits")                 << QRect(0, 0, 1920, 1040)   << 600 << QRect(710, 220, 500, 600);
    QTest::newRow("exactly as high")      << QRect(0, 0, 1366, 600)    << 600 << QRect(433, 0, 500, 600);
    QTest::newRow("taller than available") << QRect(0, 0, 1366, 500)  << 600 << QRect(433, 10, 500, 480);
    QTest::newRow("odd differences")      << QRect(0, 0, 601, 701)     << 600 << QRect(50, 50, 500, 600);
    QTest::newRow("narrower than frame")  << QRect(0, 0, 401, 800)     << 600 << QRect(-49, 100, 500, 600);
    // The frame stays within the available area: off a panel on the left or at the top, and on a primary
    // screen that lies right of another one.
    QTest::newRow("taskbar on the left")  << QRect(48, 0, 1872, 1080)  << 600 << QRect(734, 240, 500, 600);
    QTest::newRow("panel at the top")     << QRect(0, 32, 1920, 1048)  << 600 << QRect(710, 256, 500, 600);
    QTest::newRow("taller, panel on top") << QRect(0, 27, 1024, 541)   << 600 << QRect(262, 37, 500, 521);
    QTest::newRow("second screen")        << QRect(1920, 0, 1280, 1024) << 600 << QRect(2310, 212, 500, 600);
    // clang-format on
}

void TestStartUp::placement()
{
    QFETCH(QRect, available);
    QFETCH(int, height);
    QFETCH(QRect, placed);

    QWidget frame;
    frame.setFixedWidth(500);
    frame.resize(500, height);
    LogCatcher log;
    placeFrame(&frame, available);
    QCOMPARE(frame.geometry(), placed);
    QCOMPARE(
        log.messages(),
        QStringList(
            QStringLiteral("Screen width : %1 Screen height : %2").arg(available.width()).arg(available.height())));
}

void TestStartUp::frameOnPrimaryScreen()
{
    auto* mainWindow = new QWidget;
    mainWindow->setMaximumWidth(500);
    std::unique_ptr<CustomWindowFrame> frame(frameMainWindow(mainWindow));
    QCOMPARE(frame->parent(), nullptr);
    QVERIFY(frame->isAncestorOf(mainWindow));
    QCOMPARE(frame->minimumWidth(), 500);
    QCOMPARE(frame->maximumWidth(), 500);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(available.contains(frame->geometry()));
    QCOMPARE(frame->x() - available.x(), (available.width() - 500) / 2);
    QVERIFY(!frame->isVisible());
}

void TestStartUp::secondRequestToEndInTheSameRead()
{
    QVERIFY(quitOnTerminationSignals());
    const LogCatcher log;
    // Both are noted before the event loop reads either: one read takes both, and the second is a request of its own.
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    QTRY_VERIFY(!log.messages().filter(QStringLiteral("SIGHUP received again")).isEmpty());
    QVERIFY(terminationRequested());
    QCOMPARE(log.messages().filter(QStringLiteral("SIGTERM received")).size(), 1);
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
