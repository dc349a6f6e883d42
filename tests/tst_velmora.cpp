#include "FakeUpdateService.h"
#include "Velmora.h"

#include <QtTest>
#include <QLineEdit>
#include <QNetworkProxy>
#include <QPushButton>
#include <QSslSocket>
#include <QVBoxLayout>
#include <qpa/qwindowsysteminterface.h>

namespace {
const QString UpdatePath = QStringLiteral("/API/update_information/");
const QString InstallPath = QStringLiteral("/API/install_success/");
// The root the loopback copy of the library was built with: an address of this build tree's own, so that
// another tree's tests running at the same time cannot reach our service nor we theirs.
const QHostAddress ServiceHost(QStringLiteral(VELMORA_TEST_HOST));
const QString ServiceRoot = QStringLiteral("http://%1:%2").arg(ServiceHost.toString()).arg(VELMORA_TEST_PORT);
const QByteArray InstallAnswer = R"({"code":200})";
// What the caller had in its out-strings: an update check must leave them alone unless it found a version.
const QString CallersVersion = QStringLiteral("caller's version");
const QString CallersUrl = QStringLiteral("caller's address");
// How long the library waits for an answer. It waits on a precise timer, so a call that returns sooner was not
// ended by the time running out.
constexpr int RequestLimitMs = 3000;

struct DriverRun
{
    bool finished = false;
    QStringList lines;
};

// Runs the library in a fresh process (see velmora_driver.cpp) and collects what it printed. The fake
// service lives in this thread, so waiting must keep the event loop running.
DriverRun runDriver(const QStringList& arguments)
{
    QProcess process;
    QSignalSpy finished(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
    process.start(QStringLiteral(VELMORA_DRIVER), arguments);
    DriverRun run;
    run.finished = finished.wait(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (run.lines.last().isEmpty())
        run.lines.removeLast();
    return run;
}

QStringList clientConstructionLines()
{
    return {QStringLiteral("QNetWorkProcess::QNetWorkProcess()"),
            QStringLiteral("QSslSocket=") + QSslSocket::sslLibraryBuildVersionString(),
            QStringLiteral("OpenSSL support:%1").arg(int(QSslSocket::supportsSsl()))};
}

QString storedInitCode(const QString& configDir)
{
    return QSettings(configDir + QStringLiteral("/config.cfg"), QSettings::IniFormat)
        .value(QStringLiteral("INIT_CODE"))
        .toString();
}
} // namespace

class TestVelmora : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void exportsOnlyVelmora();

    void firstRun_data();
    void firstRun();
    void failedNotificationIsNotRepeated_data();
    void failedNotificationIsNotRepeated();
    void secondInitInOneProcess();
    void valuesGoIntoAddressAsGiven();
    void deviceIdIsStableAndOpaque();

    void updateCheck_data();
    void updateCheck();
    void checkWithoutAnswer_data();
    void checkWithoutAnswer();
    void oversizedAnswer_data();
    void oversizedAnswer();
    void waitKeepsEventsButHoldsInput();

private:
    void verifyRequest(const FakeUpdateService::Request& request, const QString& path, const QString& version);

    FakeUpdateService service;
    QTemporaryDir home;
    QString inProcessDeviceId;
};

void TestVelmora::initTestCase()
{
    QVERIFY(home.isValid());
    qRegisterMetaType<QProcess::ExitStatus>(); // for the QSignalSpy on QProcess::finished
    // The fake service is on loopback; a proxy from the environment must not come between.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY2(service.listen(ServiceHost, VELMORA_TEST_PORT),
             qPrintable(QStringLiteral("%1 is taken (%2); configure another port with -DVELMORA_TEST_PORT=")
                            .arg(ServiceRoot, service.errorString())));
    service.setAnswer(InstallPath, {200, InstallAnswer});

    // The program's log shows the first run and which TLS library the requests will go through.
    QTest::ignoreMessage(QtDebugMsg, "checkFirskRun");
    QTest::ignoreMessage(QtDebugMsg, "QNetWorkProcess::QNetWorkProcess()");
    QTest::ignoreMessage(
        QtDebugMsg, qPrintable(QStringLiteral("QSslSocket= \"%1\"").arg(QSslSocket::sslLibraryBuildVersionString())));
    QTest::ignoreMessage(QtDebugMsg, QSslSocket::supportsSsl() ? "OpenSSL support: true" : "OpenSSL support: false");
    // The update checks below run in this process, with the identity the program would give.
    QCOMPARE(Velmora::gInstance()->VelmoraInitApp(QStringLiteral("82"), QStringLiteral("3.1.0"), home.path() + '/'), 1);
    QCOMPARE(service.requests().size(), 1);
    inProcessDeviceId = service.requests().first().query.queryItemValue(QStringLiteral("device_id"));
    QCOMPARE(Velmora::gInstance(), Velmora::gInstance());
}

void TestVelmora::init()
{
    if (!service.isListening())
        QVERIFY(service.listen(ServiceHost, VELMORA_TEST_PORT));
    service.clearAnswers();
    service.clearRequests();
    service.setAnswer(InstallPath, {200, InstallAnswer});
}

void TestVelmora::verifyRequest(const FakeUpdateService::Request& request, const QString& path, const QString& version)
{
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.path, path);
    QCOMPARE(request.query.queryItemValue(QStringLiteral("product_id")), QStringLiteral("82"));
    QCOMPARE(request.query.queryItemValue(QStringLiteral("version")), version);
    QVERIFY(!request.query.queryItemValue(QStringLiteral("device_id")).isEmpty());
    QCOMPARE(request.contentType, QByteArray("application/json"));
}

void TestVelmora::exportsOnlyVelmora()
{
    // The program binds to the class by name; anything else leaking out would become part of that contract.
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), QStringLiteral("-C"),
                                    QStringLiteral(VELMORA_SHIPPED_LIBRARY)});
    QVERIFY(nm.waitForFinished());
    QCOMPARE(nm.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QStringList symbols;
    for (const QString& line : lines)
        symbols << line.section(' ', 2);
    QVERIFY(symbols.contains(QStringLiteral("Velmora::gInstance()")));
    QVERIFY(symbols.contains(QStringLiteral("Velmora::VelmoraInitApp(QString, QString, QString)")));
    QVERIFY(symbols.contains(QStringLiteral("Velmora::checkVersionUpdate(int&, QString&, QString&)")));
    for (const QString& symbol : qAsConst(symbols))
        QVERIFY2(symbol.startsWith(QLatin1String("Velmora::")), qPrintable(symbol));
}

void TestVelmora::firstRun_data()
{
    QTest::addColumn<bool>("storeExists");
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("isFirstRun");

    // The comment line is lost when the store is written again, which tells "untouched" from "rewritten".
    const QByteArray comment = "; kept as written\n";
    QTest::newRow("no store yet") << false << QByteArray() << "3.1.0" << true;
    QTest::newRow("same version") << true << "[General]\nINIT_CODE=3.1.0\n" + comment << "3.1.0" << false;
    QTest::newRow("older version") << true << "[General]\nINIT_CODE=3.0.4\n" + comment << "3.1.0" << true;
    QTest::newRow("newer version") << true << "[General]\nINIT_CODE=3.2.0\n" + comment << "3.1.0" << true;
    QTest::newRow("letter case") << true << "[General]\nINIT_CODE=3.1.0-RC\n" + comment << "3.1.0-rc" << true;
    QTest::newRow("trailing blank") << true << "[General]\nINIT_CODE=\"3.1.0 \"\n" + comment << "3.1.0" << true;
    QTest::newRow("no key, 2.0.0") << true << "[Window]\nwidth=800\n" + comment << "2.0.0" << false;
    QTest::newRow("no key, 3.1.0") << true << "[Window]\nwidth=800\n" + comment << "3.1.0" << true;
    QTest::newRow("empty store, 2.0.0") << true << QByteArray() << "2.0.0" << false;
}

void TestVelmora::firstRun()
{
    QFETCH(bool, storeExists);
    QFETCH(QByteArray, store);
    QFETCH(QString, version);
    QFETCH(bool, isFirstRun);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // As the program gives it: ending in "/", so the store's path holds "//".
    const QString configDir = dir.path() + '/';
    QFile storeFile(dir.filePath(QStringLiteral("config.cfg")));
    const QDateTime lastWritten(QDate(2020, 1, 2), QTime(3, 4, 5));
    if (storeExists) {
        QVERIFY(storeFile.open(QIODevice::WriteOnly));
        storeFile.write(store);
        QVERIFY(storeFile.flush()); // a later flush would stamp the file with the time of day again
        QVERIFY(storeFile.setFileTime(lastWritten, QFileDevice::FileModificationTime));
        storeFile.close();
    }

    const DriverRun run = runDriver({QStringLiteral("init"), QStringLiteral("82"), version, configDir});
    QVERIFY(run.finished);

    if (!isFirstRun) {
        QCOMPARE(run.lines, QStringList({QStringLiteral("0"), QStringLiteral("VelmoraInitApp=0")}));
        QCOMPARE(service.requests().size(), 0);
        QVERIFY(storeFile.open(QIODevice::ReadOnly));
        QCOMPARE(storeFile.readAll(), store);
        QCOMPARE(QFileInfo(storeFile).lastModified(), lastWritten);
        return;
    }

    QCOMPARE(storedInitCode(dir.path()), version);
    QCOMPARE(service.requests().size(), 1);
    const FakeUpdateService::Request request = service.requests().first();
    verifyRequest(request, InstallPath, version);
    const QString deviceId = request.query.queryItemValue(QStringLiteral("device_id"));

    const QStringList expected =
        QStringList{QStringLiteral("Is First Run:") + configDir + QStringLiteral("- ") + version} +
        clientConstructionLines() +
        QStringList{QStringLiteral("installSuccess=%1%2?product_id=82&version=%3&device_id=%4")
                        .arg(ServiceRoot, InstallPath, version, deviceId),
                    QStringLiteral("installSuccess response") + InstallAnswer + QStringLiteral("code : 200"),
                    QStringLiteral("VelmoraInitApp=1")};
    QCOMPARE(run.lines, expected);
}

void TestVelmora::failedNotificationIsNotRepeated_data()
{
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<int>("status");

    QTest::newRow("connection refused") << true << "Connection refused" << 0;
    QTest::newRow("HTTP 404") << false << "Not Found" << 404;
}

void TestVelmora::failedNotificationIsNotRepeated()
{
    QFETCH(bool, refuse);
    QFETCH(QString, errorText);
    QFETCH(int, status);

    if (refuse)
        service.close();
    else
        service.setAnswer(InstallPath, {404, "no such page"});
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList initCall{QStringLiteral("init"), QStringLiteral("82"), QStringLiteral("3.1.0"), dir.path()};

    const DriverRun run = runDriver(initCall);
    QVERIFY(run.finished);
    QCOMPARE(run.lines.value(run.lines.size() - 1), QStringLiteral("VelmoraInitApp=1"));
    const QString response = run.lines.value(run.lines.size() - 2);
    QVERIFY2(response.startsWith(QLatin1String("installSuccess response")), qPrintable(response));
    QVERIFY2(response.contains(errorText), qPrintable(response));
    QVERIFY2(response.endsWith(QStringLiteral("code : %1").arg(status)), qPrintable(response));

    // The version is recorded all the same: the next start does not try again.
    QCOMPARE(storedInitCode(dir.path()), QStringLiteral("3.1.0"));
    QVERIFY(service.isListening() || service.listen(ServiceHost, VELMORA_TEST_PORT));
    service.clearRequests();
    QCOMPARE(runDriver(initCall).lines, QStringList({QStringLiteral("0"), QStringLiteral("VelmoraInitApp=0")}));
    QCOMPARE(service.requests().size(), 0);
}

void TestVelmora::secondInitInOneProcess()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList initCall{QStringLiteral("init"), QStringLiteral("82"), QStringLiteral("3.1.0"), dir.path()};
    const DriverRun run = runDriver(initCall + initCall);
    QVERIFY(run.finished);
    QCOMPARE(run.lines.filter(QStringLiteral("VelmoraInitApp=")),
             QStringList({QStringLiteral("VelmoraInitApp=1"), QStringLiteral("VelmoraInitApp=0")}));
    QCOMPARE(service.requests().size(), 1);
}

void TestVelmora::valuesGoIntoAddressAsGiven()
{
    // "%2" must not be taken for the next placeholder, and the blank reaches the service as a blank.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const DriverRun run =
        runDriver({QStringLiteral("init"), QStringLiteral("8%2"), QStringLiteral("3.1 beta"), dir.path()});
    QVERIFY(run.finished);
    QCOMPARE(service.requests().size(), 1);
    const QUrlQuery query = service.requests().first().query;
    QCOMPARE(query.queryItemValue(QStringLiteral("product_id"), QUrl::FullyDecoded), QStringLiteral("8%2"));
    QCOMPARE(query.queryItemValue(QStringLiteral("version"), QUrl::FullyDecoded), QStringLiteral("3.1 beta"));
    const QString expected = QStringLiteral("installSuccess=") + ServiceRoot + InstallPath +
                             QStringLiteral("?product_id=8%2&version=3.1 beta&device_id=") +
                             query.queryItemValue(QStringLiteral("device_id"));
    QVERIFY2(run.lines.contains(expected), qPrintable(run.lines.join('\n')));
}

void TestVelmora::deviceIdIsStableAndOpaque()
{
    QStringList ids{inProcessDeviceId};
    for (int i = 0; i < 2; ++i) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        service.clearRequests();
        QVERIFY(
            runDriver({QStringLiteral("init"), QStringLiteral("82"), QStringLiteral("3.1.0"), dir.path()}).finished);
        QCOMPARE(service.requests().size(), 1);
        ids << service.requests().first().query.queryItemValue(QStringLiteral("device_id"));
    }
    QCOMPARE(ids.at(1), ids.at(0));
    QCOMPARE(ids.at(2), ids.at(0));
    const QString& id = ids.at(0);
    // It goes into the query unencoded, so it must need no encoding.
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-Za-z_-]+$")).match(id).hasMatch(), qPrintable(id));
    const QString machineId = QString::fromLatin1(QSysInfo::machineUniqueId());
    QVERIFY(machineId.isEmpty() || !id.contains(machineId, Qt::CaseInsensitive));
    // A host name of a few letters may turn up in any id by chance.
    const QString hostName = QSysInfo::machineHostName();
    QVERIFY2(hostName.size() < 6 ? id != hostName : !id.contains(hostName, Qt::CaseInsensitive), qPrintable(hostName));
}

void TestVelmora::updateCheck_data()
{
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("latestVersion");
    QTest::addColumn<QString>("downloadUrl");
    QTest::addColumn<QString>("tracedMessage");

    const QString url = QStringLiteral("https://www.tamrik.example/download/Zolvane_3.2.0.exe");
    const QByteArray newer = R"({"code":400,"version":"3.2.0","download_url":")" + url.toUtf8() + "\"}";
    QTest::newRow("newer version") << 200 << newer << true << 400 << "3.2.0" << url << QString();
    QTest::newRow("newer version, no version key")
        << 200 << QByteArray(R"({"code":400,"download_url":"x"})") << true << 400 << ""
        << "x" << QString();
    QTest::newRow("up to date") << 200 << QByteArray(R"({"code":201,"version":"3.2.0"})") << true << 201
                                << CallersVersion << CallersUrl << QString();
    QTest::newRow("message") << 200 << QByteArray(R"({"code":200,"msg":"Service closed for maintenance"})") << false
                             << 200 << CallersVersion << CallersUrl << "Service closed for maintenance";
    QTest::newRow("other service code") << 200 << QByteArray(R"({"code":403,"version":"3.2.0"})") << false << 403
                                        << CallersVersion << CallersUrl << QString();
    QTest::newRow("code as a string") << 200 << QByteArray(R"({"code":"400","version":"3.2.0"})") << false << 0
                                      << CallersVersion << CallersUrl << QString();
    QTest::newRow("code not whole") << 200 << QByteArray(R"({"code":400.5,"version":"3.2.0"})") << false << 0
                                    << CallersVersion << CallersUrl << QString();
    QTest::newRow("no code") << 200 << QByteArray(R"({"version":"3.2.0"})") << false << 0 << CallersVersion
                             << CallersUrl << QString();
    QTest::newRow("HTML page") << 200 << QByteArray("<html><body>Welcome</body></html>") << false << 0 << CallersVersion
                               << CallersUrl << QString();
    QTest::newRow("JSON array") << 200 << QByteArray("[400]") << false << 0 << CallersVersion << CallersUrl
                                << QString();
    QTest::newRow("text after a zero byte") << 200
                                            << QByteArray(R"({"code":201})"
                                                          "\0<junk>",
                                                          20)
                                            << true << 201 << CallersVersion << CallersUrl << QString();
    // An error page is not read even when it looks like an answer.
    QTest::newRow("HTTP 403") << 403 << newer << false << 403 << CallersVersion << CallersUrl << QString();
    QTest::newRow("HTTP 404") << 404 << newer << false << 404 << CallersVersion << CallersUrl << QString();
    QTest::newRow("HTTP 500") << 500 << newer << false << 500 << CallersVersion << CallersUrl << QString();
}

void TestVelmora::updateCheck()
{
    QFETCH(int, httpStatus);
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);
    QFETCH(int, code);
    QFETCH(QString, latestVersion);
    QFETCH(QString, downloadUrl);
    QFETCH(QString, tracedMessage);

    service.setAnswer(UpdatePath, {httpStatus, body});
    // The log gets the answer text (a zero byte ends it).
    if (httpStatus == 200)
        QTest::ignoreMessage(QtDebugMsg, body.constData());
    if (!tracedMessage.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(tracedMessage));

    int gotCode = -1;
    QString gotVersion = CallersVersion;
    QString gotUrl = CallersUrl;
    QCOMPARE(Velmora::gInstance()->checkVersionUpdate(gotCode, gotVersion, gotUrl), accepted);
    QCOMPARE(gotCode, code);
    QCOMPARE(gotVersion, latestVersion);
    QCOMPARE(gotUrl, downloadUrl);

    QCOMPARE(service.requests().size(), 1);
    verifyRequest(service.requests().first(), UpdatePath, QStringLiteral("3.1.0"));
    QCOMPARE(service.requests().first().query.queryItemValue(QStringLiteral("device_id")), inProcessDeviceId);
}

void TestVelmora::checkWithoutAnswer_data()
{
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");

    // The limit is 3000 ms and must not come early (a coarse timer fired at 2863 ms); it must not hang either.
    // Load only makes the wait longer, so the lower bound holds on a busy machine too.
    QTest::newRow("service never answers") << false << 2900 << 10000;
    // A refused connection is known at once; waiting out the limit would delay every start.
    QTest::newRow("port closed") << true << 0 << RequestLimitMs;
}

void TestVelmora::checkWithoutAnswer()
{
    QFETCH(bool, refuse);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);

    FakeUpdateService::Answer silent;
    silent.silent = true;
    service.setAnswer(UpdatePath, silent);
    if (refuse)
        service.close();

    int code = -1;
    QString version = CallersVersion;
    QString url = CallersUrl;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!Velmora::gInstance()->checkVersionUpdate(code, version, url));
    const qint64 waited = clock.elapsed();
    QCOMPARE(code, 0);
    QCOMPARE(version, CallersVersion);
    QCOMPARE(url, CallersUrl);
    QVERIFY2(waited >= minMs && waited < maxMs, qPrintable(QString::number(waited)));
}

void TestVelmora::oversizedAnswer_data()
{
    QTest::addColumn<qint64>("bodySize");
    QTest::addColumn<qint64>("contentLength");
    QTest::addColumn<int>("code");

    // Each body is a valid "up to date" answer padded with blanks. The answers over the limit never end, so
    // only giving up on them early ends the wait before the time limit. The answer at the limit is traced whole,
    // which shows that it was read to its end rather than cut off by the time limit.
    constexpr qint64 Limit = 16 * 1024 * 1024;
    QTest::newRow("at the limit") << Limit << FakeUpdateService::Answer::BodyLength << 201;
    QTest::newRow("length over the limit") << qint64(20) << Limit + 1 << 0;
    QTest::newRow("no length, bytes over the limit") << Limit + 1 << FakeUpdateService::Answer::NoLength << 0;
}

void TestVelmora::oversizedAnswer()
{
    QFETCH(qint64, bodySize);
    QFETCH(qint64, contentLength);
    QFETCH(int, code);

    FakeUpdateService::Answer answer;
    answer.body = R"({"code":201})";
    answer.body.append(QByteArray(int(bodySize) - answer.body.size(), ' '));
    answer.contentLength = contentLength;
    answer.keepOpen = code == 0;
    service.setAnswer(UpdatePath, answer);
    if (code == 201)
        QTest::ignoreMessage(QtDebugMsg, answer.body.constData());

    int gotCode = -1;
    QString version;
    QString url;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(Velmora::gInstance()->checkVersionUpdate(gotCode, version, url), code == 201);
    const qint64 waited = clock.elapsed();
    QCOMPARE(gotCode, code);
    if (code == 0)
        QVERIFY2(waited < RequestLimitMs, qPrintable(QString::number(waited)));
}

void TestVelmora::waitKeepsEventsButHoldsInput()
{
    // Long enough for timers to fire and for input to be handled if it were let through.
    service.setAnswer(UpdatePath, {200, R"({"code":201})", 300});
    QTest::ignoreMessage(QtDebugMsg, R"({"code":201})");

    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* button = new QPushButton(QStringLiteral("Check"), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(button);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();

    bool waiting = false;
    int ticksWhileWaiting = 0;
    bool queuedCallWhileWaiting = false;
    bool inputWhileWaiting = false;
    int clicks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { ticksWhileWaiting += waiting; });
    ticker.start(20);
    connect(edit, &QLineEdit::textChanged, this, [&] { inputWhileWaiting |= waiting; });
    connect(button, &QPushButton::clicked, this, [&] {
        inputWhileWaiting |= waiting;
        ++clicks;
    });
    QMetaObject::invokeMethod(
        this, [&] { queuedCallWhileWaiting = waiting; }, Qt::QueuedConnection);

    // Queued the way the window system delivers real input, which is what the wait must hold back.
    QWindow* handle = window.windowHandle();
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
        handle, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
        handle, QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    const QPointF centre = QRectF(button->mapTo(&window, QPoint(0, 0)), QSizeF(button->size())).center();
    const QPointF global = handle->mapToGlobal(centre.toPoint());
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        handle, centre, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        handle, centre, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);

    int code = -1;
    QString version;
    QString url;
    waiting = true;
    const bool accepted = Velmora::gInstance()->checkVersionUpdate(code, version, url);
    waiting = false;
    QVERIFY(accepted);
    QCOMPARE(code, 201);

    QVERIFY(ticksWhileWaiting > 0);
    QVERIFY(queuedCallWhileWaiting);
    QVERIFY(!inputWhileWaiting);
    // Held back, not lost: the input arrives once the call has returned.
    QTRY_COMPARE(edit->text(), QStringLiteral("a"));
    QTRY_COMPARE(clicks, 1);
}

QTEST_MAIN(TestVelmora)
#include "tst_velmora.moc"
