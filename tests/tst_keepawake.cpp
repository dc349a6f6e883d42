#include "platform/KeepAwake.h"

#include <QtTest>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

// Stand-ins for the desktop's inhibitors, reachable on a private session bus.
class FakeInhibitor : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    using QObject::QObject;

    QStringList calls; // "application|reason"
    QStringList callers;

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        calls << application + QLatin1Char('|') + reason;
        callers << message().service();
        return 42;
    }
};

class FakeScreenSaver : public FakeInhibitor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    using FakeInhibitor::FakeInhibitor;
};

class FakePowerManagement : public FakeInhibitor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PowerManagement.Inhibit")
public:
    using FakeInhibitor::FakeInhibitor;
};

class TestKeepAwake : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void asksBothInhibitors();

private:
    QTemporaryDir m_busDir;
    QProcess m_bus;
    QString m_address;
};

void TestKeepAwake::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is missing (Debian package dbus-daemon; see scripts/setup-debian.sh)");
    QVERIFY(m_busDir.isValid());

    // A bus of our own, so that the test never touches the session of whoever runs it.
    const QString config = m_busDir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                              "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                              "<allow own=\"*\"/>"
                              "</policy></busconfig>")
                   .arg(m_busDir.path())
                   .toUtf8());
    file.close();

    m_bus.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                         QStringLiteral("--print-address=1")});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY(m_bus.canReadLine());
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
    // Read when the program first asks for the session bus, which has not happened yet.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
}

void TestKeepAwake::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished();
}

void TestKeepAwake::asksBothInhibitors()
{
    QDBusConnection desktop = QDBusConnection::connectToBus(m_address, QStringLiteral("desktop"));
    // libdbus aborts the process when a private connection is dropped without being closed.
    const auto closeDesktop = qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("desktop")); });
    QVERIFY(desktop.isConnected());
    FakeScreenSaver screenSaver;
    FakePowerManagement power;
    QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(desktop.registerObject(QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"), &power,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    QVERIFY(desktop.registerService(QStringLiteral("org.freedesktop.PowerManagement")));

    platform::keepSystemAwake();

    QTRY_COMPARE(screenSaver.calls, QStringList{QStringLiteral("Zolvane|Compressing PDF files")});
    QTRY_COMPARE(power.calls, QStringList{QStringLiteral("Zolvane|Compressing PDF files")});
    // Asked on the program's own session connection: the desktop drops the inhibition when that
    // connection closes, that is when the process ends.
    const QString ours = QDBusConnection::sessionBus().baseService();
    QCOMPARE(screenSaver.callers, QStringList{ours});
    QCOMPARE(power.callers, QStringList{ours});
}

QTEST_GUILESS_MAIN(TestKeepAwake)
#include "tst_keepawake.moc"
