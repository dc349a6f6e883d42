#include "platform/KeepAwake.h"

#include "PrivateSessionBus.h"

#include <QtTest>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QScopeGuard>

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
    void asksBothInhibitors();

private:
    PrivateSessionBus m_bus;
};

void TestKeepAwake::initTestCase()
{
    const QString failure = m_bus.start();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestKeepAwake::asksBothInhibitors()
{
    QDBusConnection desktop = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("desktop"));
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

    // The calls go out without waiting for an answer; on a loaded machine the bus may take seconds to pass them on.
    QTRY_COMPARE_WITH_TIMEOUT(screenSaver.calls, QStringList{QStringLiteral("Zolvane|Compressing PDF files")}, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(power.calls, QStringList{QStringLiteral("Zolvane|Compressing PDF files")}, 30000);
    // Asked on the program's own session connection: the desktop drops the inhibition when that
    // connection closes, that is when the process ends.
    const QString ours = QDBusConnection::sessionBus().baseService();
    QCOMPARE(screenSaver.callers, QStringList{ours});
    QCOMPARE(power.callers, QStringList{ours});
}

QTEST_GUILESS_MAIN(TestKeepAwake)
#include "tst_keepawake.moc"
