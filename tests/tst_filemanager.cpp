#include "platform/FileManager.h"

#include "PrivateSessionBus.h"

#include "UrlCatcher.h"

#include <QtTest>

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMutex>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

// A stand-in for the desktop's file manager. It answers on a thread of its own: the program's call blocks the main
// thread until the answer comes.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    enum Answer
    {
        Shows,
        Fails,
        NeverAnswers,
    };

    void setAnswer(Answer answer)
    {
        QMutexLocker lock(&m_mutex);
        m_answer = answer;
    }
    // "Method uri|startup id" for each call, and forgets them.
    QStringList takeCalls()
    {
        QMutexLocker lock(&m_mutex);
        return std::exchange(m_calls, {});
    }

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId)
    {
        take(QStringLiteral("ShowItems"), uris, startupId);
    }
    void ShowFolders(const QStringList& uris, const QString& startupId)
    {
        take(QStringLiteral("ShowFolders"), uris, startupId);
    }

private:
    void take(const QString& method, const QStringList& uris, const QString& startupId)
    {
        QMutexLocker lock(&m_mutex);
        m_calls << method + QLatin1Char(' ') + uris.join(QLatin1Char(',')) + QLatin1Char('|') + startupId;
        if (m_answer == Fails)
            sendErrorReply(QDBusError::Failed, QStringLiteral("The file manager has a bad day"));
        else if (m_answer == NeverAnswers)
            setDelayedReply(true); // and no reply ever comes
    }

    QMutex m_mutex;
    Answer m_answer = Shows;
    QStringList m_calls;
};

class TestFileManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void shows_data();
    void shows();

private:
    PrivateSessionBus m_bus;
    QThread m_desktopThread;
    FakeFileManager* m_fileManager = nullptr; // lives on m_desktopThread
    QTemporaryDir m_dir;
    UrlCatcher m_urls;
};

void TestFileManager::initTestCase()
{
    const QString failure = m_bus.start();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(m_dir.isValid());

    m_desktopThread.start();
    m_fileManager = new FakeFileManager;
    m_fileManager->moveToThread(&m_desktopThread);
    QDBusConnection desktop = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("desktop"));
    QVERIFY(desktop.isConnected());
    QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), m_fileManager,
                                   QDBusConnection::ExportAllSlots));

    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
}

void TestFileManager::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    // libdbus aborts the process when a private connection is dropped without being closed.
    QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
    m_desktopThread.quit();
    m_desktopThread.wait();
    delete m_fileManager;
}

void TestFileManager::shows_data()
{
    QTest::addColumn<QString>("path");   // below the test's folder; a trailing "/" makes a folder
    QTest::addColumn<int>("answer");     // -1: no file manager on the bus
    QTest::addColumn<QString>("call");   // what the file manager is asked, "@" standing for the test folder's URL
    QTest::addColumn<QString>("opened"); // the folder opened instead, below the test's folder; null: none

    const QString file = QString::fromUtf8("a b%c é.pdf");
    const QString call = QStringLiteral("ShowItems @/a%20b%25c%20%C3%A9.pdf|");
    const QString folder = QString::fromUtf8("out put%é/");
    const QString folderCall = QStringLiteral("ShowFolders @/out%20put%25%C3%A9|");

    QTest::newRow("file") << file << int(FakeFileManager::Shows) << call << QString();
    QTest::newRow("folder") << folder << int(FakeFileManager::Shows) << folderCall << QString();
    QTest::newRow("file, no file manager") << file << -1 << QString() << "";
    QTest::newRow("folder, no file manager") << folder << -1 << QString() << folder;
    QTest::newRow("file, file manager fails") << file << int(FakeFileManager::Fails) << call << "";
    QTest::newRow("folder, file manager fails") << folder << int(FakeFileManager::Fails) << folderCall << folder;
    QTest::newRow("file, file manager never answers") << file << int(FakeFileManager::NeverAnswers) << call << "";
}

void TestFileManager::shows()
{
    QFETCH(QString, path);
    QFETCH(int, answer);
    QFETCH(QString, call);
    QFETCH(QString, opened);

    const QString fullPath = m_dir.filePath(path);
    if (path.endsWith(QLatin1Char('/'))) {
        QVERIFY(QDir().mkpath(fullPath));
    } else {
        QFile file(fullPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QDBusConnection desktop(QStringLiteral("desktop"));
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    if (answer >= 0) {
        m_fileManager->setAnswer(FakeFileManager::Answer(answer));
        QVERIFY(desktop.registerService(service));
    }
    const auto leaveBus = qScopeGuard([&] { desktop.unregisterService(service); });

    m_urls.urls.clear();
    QElapsedTimer clock;
    clock.start();
    platform::showInFileManager(fullPath);
    // A file manager that does not answer must not freeze the window for as long as the bus would wait for it
    // by default (25 s): the call sets a far shorter limit of its own.
    constexpr int BusDefaultReplyMs = 25000;
    QVERIFY2(clock.elapsed() < BusDefaultReplyMs, qPrintable(QString::number(clock.elapsed())));

    const QString dirUrl = QUrl::fromLocalFile(m_dir.path()).toString(QUrl::FullyEncoded);
    QCOMPARE(m_fileManager->takeCalls(),
             call.isNull() ? QStringList() : QStringList{call.replace(QLatin1Char('@'), dirUrl)});
    const QList<QUrl> expected =
        opened.isNull() ? QList<QUrl>() : QList<QUrl>{QUrl::fromLocalFile(QDir::cleanPath(m_dir.filePath(opened)))};
    QCOMPARE(m_urls.urls, expected);
}

QTEST_MAIN(TestFileManager)
#include "tst_filemanager.moc"
