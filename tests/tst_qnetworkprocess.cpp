#include "AppConstants.h"
#include "FakeUpdateService.h"
#include "MainWindow.h"
#include "ModalWatcher.h"
#include "QNetWorkProcess.h"

#include "UrlCatcher.h"

#include <QtTest>
#include <QAbstractButton>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkProxy>

namespace {

const QString UpdatePath = QStringLiteral("/API/update_information/");
const QString InstallPath = QStringLiteral("/API/install_success/");
const QHostAddress ServiceHost(QStringLiteral(VELMORA_TEST_HOST));
const QString DownloadUrl = QStringLiteral("https://www.tamrik.example/download/Zolvane_3.2.0.deb");

const QString NewestText = QStringLiteral("Zolvane 3.1.0 is currently the newest version available.");
const QString TooFrequentText = QStringLiteral("Requests are too frequent, please try again later.");
const QString NetworkErrorText = QStringLiteral("Error network, please check your connection!");

QByteArray newerVersion(const QString& version, const QString& url = DownloadUrl)
{
    return QJsonDocument(QJsonObject{{"code", 400}, {"version", version}, {"download_url", url}}).toJson();
}

QString question(const QString& version)
{
    return QStringLiteral("A new version of Zolvane is available! \r\nZolvane %1 is now available---you have 3.1.0. "
                          "Would you like to download it now?")
        .arg(version);
}

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, OrganizationName, ProductDisplayName);
}

struct Box
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    bool mainWindowParent = false;
    bool noParent = false;
    Qt::TextFormat textFormat = Qt::AutoText;
};

// Answers that are keys rather than buttons.
constexpr int PressReturn = -1;
constexpr int PressEscape = -2;

} // namespace

class TestQNetWorkProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void initialisesTheLibrary();
    void outcomes_data();
    void outcomes();

private:
    FakeUpdateService service;
    UrlCatcher catcher;
};

void TestQNetWorkProcess::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY2(service.listen(ServiceHost, VELMORA_TEST_PORT), qPrintable(service.errorString()));
    for (const char* scheme : {"https", "http", "file", "ftp", "smb", "javascript"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
}

void TestQNetWorkProcess::init()
{
    if (!service.isListening())
        QVERIFY(service.listen(ServiceHost, VELMORA_TEST_PORT));
    service.clearAnswers();
    service.clearRequests();
    service.setAnswer(InstallPath, {200, R"({"code":200})"});
    catcher.urls.clear();
    userSettings().remove(QStringLiteral("Ignore_version"));
}

void TestQNetWorkProcess::initialisesTheLibrary()
{
    // The first controller of the process runs the library's first-run test in the user's configuration folder.
    QNetWorkProcess controller;
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(service.requests().first().path, InstallPath);
    QCOMPARE(service.requests().first().query.queryItemValue(QStringLiteral("product_id")), ProductId);
    QCOMPARE(service.requests().first().query.queryItemValue(QStringLiteral("version")), AppVersion);
    const QSettings store(perUserPath(AppConfigDir) + QStringLiteral("config.cfg"), QSettings::IniFormat);
    QCOMPARE(store.value(QStringLiteral("INIT_CODE")).toString(), AppVersion);
    QCOMPARE(QNetWorkProcess::gInstance(), QNetWorkProcess::gInstance());
}

void TestQNetWorkProcess::outcomes_data()
{
    QTest::addColumn<bool>("manual");
    QTest::addColumn<int>("httpStatus"); // 0: nothing listens
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("ignored");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("title"); // empty: no box
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("storedIgnore");

    const QString update = QStringLiteral("Software Update");
    const QString attention = QStringLiteral("Attention");
    const QByteArray upToDate = R"({"code":201})";
    const QByteArray tooFrequent = R"({"code":403})";
    const int yes = QMessageBox::Yes;
    const int no = QMessageBox::No;
    const int ignore = QMessageBox::Ignore;
    const QString none;

    // clang-format off
    QTest::newRow("up to date, automatic") << false << 200 << upToDate << none << yes << none << none << none << none;
    QTest::newRow("up to date, manual") << true << 200 << upToDate << none << yes << update << NewestText << none << none;

    QTest::newRow("newer, Yes") << false << 200 << newerVersion("3.2.0") << none << yes << update << question("3.2.0") << DownloadUrl << none;
    QTest::newRow("newer, No") << false << 200 << newerVersion("3.2.0") << none << no << update << question("3.2.0") << none << none;
    QTest::newRow("newer, Ignore") << false << 200 << newerVersion("3.2.0") << none << ignore << update << question("3.2.0") << none << "3.2.0";
    QTest::newRow("newer, manual") << true << 200 << newerVersion("3.2.0") << none << no << update << question("3.2.0") << none << none;
    QTest::newRow("newer, Ignore replaces") << false << 200 << newerVersion("3.3.0") << "3.2.0" << ignore << update << question("3.3.0") << none << "3.3.0";

    // The skipped version is compared as a version number.
    QTest::newRow("skipped: same") << false << 200 << newerVersion("3.2.0") << "3.2.0" << yes << none << none << none << "3.2.0";
    QTest::newRow("skipped: newer one") << false << 200 << newerVersion("3.2.0") << "4.0.0" << yes << none << none << none << "4.0.0";
    QTest::newRow("skipped: 3.2 is 3.2.0") << false << 200 << newerVersion("3.2.0") << "3.2" << yes << none << none << none << "3.2";
    QTest::newRow("skipped: 3.10.0 after 3.9.0") << false << 200 << newerVersion("3.9.0") << "3.10.0" << yes << none << none << none << "3.10.0";
    QTest::newRow("offered: 3.10.0 after skipped 3.9.0") << false << 200 << newerVersion("3.10.0") << "3.9.0" << no << update << question("3.10.0") << none << "3.9.0";
    QTest::newRow("offered: 3.3.0 after skipped 3.2.0") << false << 200 << newerVersion("3.3.0") << "3.2.0" << no << update << question("3.3.0") << none << "3.2.0";

    // Keys answer No; neither may hide the version for good.
    QTest::newRow("newer, Return") << false << 200 << newerVersion("3.2.0") << none << PressReturn << update << question("3.2.0") << none << none;
    QTest::newRow("newer, Escape") << false << 200 << newerVersion("3.2.0") << none << PressEscape << update << question("3.2.0") << none << none;

    // Versions that are not whole numbers are compared as text.
    QTest::newRow("offered: v3.3.0 after skipped v3.2.0") << false << 200 << newerVersion("v3.3.0") << "v3.2.0" << no << update << question("v3.3.0") << none << "v3.2.0";
    QTest::newRow("skipped: v3.2.0 again") << false << 200 << newerVersion("v3.2.0") << "v3.2.0" << yes << none << none << none << "v3.2.0";
    QTest::newRow("offered: 3.2.0b after skipped 3.2.0") << false << 200 << newerVersion("3.2.0b") << "3.2.0" << no << update << question("3.2.0b") << none << "3.2.0";
    QTest::newRow("skipped: 3.2.0 after skipped 3.2.0b") << false << 200 << newerVersion("3.2.0") << "3.2.0b" << yes << none << none << none << "3.2.0b";
    QTest::newRow("offered: 3.2.1 after skipped 3.2.") << false << 200 << newerVersion("3.2.1") << "3.2." << no << update << question("3.2.1") << none << "3.2.";

    // The service's texts are shown as they come, never as markup.
    QTest::newRow("placeholder in version") << false << 200 << newerVersion("3.2.0%3") << none << no << update << question("3.2.0%3") << none << none;
    QTest::newRow("markup in version") << false << 200 << newerVersion("<b>3.2.0</b><img src=x>") << none << no << update << question("<b>3.2.0</b><img src=x>") << none << none;

    // Versions and addresses longer than any real one make the answer unusable.
    const QString longest = QStringLiteral("3.2.0-") + QString(58, QLatin1Char('1'));
    QTest::newRow("version of 64 characters") << false << 200 << newerVersion(longest) << none << no << update << question(longest) << none << none;
    QTest::newRow("version of 65 characters") << false << 200 << newerVersion(longest + "1") << none << ignore << attention << NetworkErrorText << none << none;
    QTest::newRow("version of 1 MB") << false << 200 << newerVersion(QString(1 << 20, QLatin1Char('9'))) << none << ignore << attention << NetworkErrorText << none << none;
    const QString longAddress = DownloadUrl + QStringLiteral("?p=") + QString(2048 - DownloadUrl.size() - 3, QLatin1Char('a'));
    QTest::newRow("address of 2048 characters") << false << 200 << newerVersion("3.2.0", longAddress) << none << yes << update << question("3.2.0") << longAddress << none;
    QTest::newRow("address of 2049 characters") << true << 200 << newerVersion("3.2.0", longAddress + "a") << none << yes << attention << NetworkErrorText << none << none;

    // Only web addresses go to the desktop.
    const QString http = QStringLiteral("http://download.tamrik.example/Zolvane.deb");
    QTest::newRow("http address") << false << 200 << newerVersion("3.2.0", http) << none << yes << update << question("3.2.0") << http << none;
    for (const char* url : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "ftp://tamrik.example/Zolvane.deb",
                            "smb://tamrik.example/share", "https:///no/host", "https://tamrik example/Zolvane.deb", "https://%zz/"})
        QTest::addRow("refused: %s", url) << false << 200 << newerVersion("3.2.0", url) << none << yes << update << question("3.2.0") << none << none;

    QTest::newRow("too frequent, automatic") << false << 200 << tooFrequent << none << yes << attention << NetworkErrorText << none << none;
    QTest::newRow("too frequent, manual") << true << 200 << tooFrequent << none << yes << update << TooFrequentText << none << none;
    QTest::newRow("HTTP 403, manual") << true << 403 << QByteArray("Forbidden") << none << yes << update << TooFrequentText << none << none;
    QTest::newRow("message only") << true << 200 << QByteArray(R"({"code":200,"msg":"maintenance"})") << none << yes << attention << NetworkErrorText << none << none;
    QTest::newRow("not JSON") << false << 200 << QByteArray("<html></html>") << none << yes << attention << NetworkErrorText << none << none;
    QTest::newRow("HTTP 500") << false << 500 << upToDate << none << yes << attention << NetworkErrorText << none << none;
    QTest::newRow("unreachable, automatic") << false << 0 << QByteArray() << none << yes << attention << NetworkErrorText << none << none;
    QTest::newRow("unreachable, manual") << true << 0 << QByteArray() << none << yes << attention << NetworkErrorText << none << none;
    // clang-format on
}

void TestQNetWorkProcess::outcomes()
{
    QFETCH(bool, manual);
    QFETCH(int, httpStatus);
    QFETCH(QByteArray, body);
    QFETCH(QString, ignored);
    QFETCH(int, answer);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, opened);
    QFETCH(QString, storedIgnore);

    if (httpStatus == 0)
        service.close();
    else
        service.setAnswer(UpdatePath, {httpStatus, body});
    if (!ignored.isEmpty())
        userSettings().setValue(QStringLiteral("Ignore_version"), ignored);

    // The library traces the whole answer; a megabyte of it would bury the test's own output.
    if (body.size() > 64 * 1024)
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QNetWorkProcess controller;
    if (manual)
        controller.setManualCheck();
    QList<Box> boxes;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            QFAIL("not a message box");
        }
        boxes << Box{box->windowTitle(),
                     box->text(),
                     box->standardButtons(),
                     box->parentWidget() == MainWindow::gInstance(),
                     box->parentWidget() == nullptr,
                     box->textFormat()};
        if (answer == PressReturn || answer == PressEscape) {
            QTest::keyClick(box, answer == PressReturn ? Qt::Key_Return : Qt::Key_Escape);
            if (box->isVisible()) {
                box->close();
                QFAIL("the key left the box open");
            }
            return;
        }
        const auto wanted = QMessageBox::StandardButton(answer);
        QAbstractButton* button = box->button(box->standardButtons() & wanted ? wanted : QMessageBox::Ok);
        QVERIFY(button);
        button->click();
    });
    controller.checkUpdate();
    QLoggingCategory::setFilterRules(QString());

    if (title.isEmpty()) {
        QCOMPARE(boxes.size(), 0);
    } else {
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first().title, title);
        QCOMPARE(boxes.first().text, text);
        QCOMPARE(boxes.first().textFormat, Qt::PlainText);
        if (text.startsWith(QLatin1String("A new version"))) {
            QCOMPARE(boxes.first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Ignore);
            QVERIFY(boxes.first().noParent);
        } else {
            QCOMPARE(boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(boxes.first().mainWindowParent);
        }
    }
    QCOMPARE(catcher.urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    QCOMPARE(userSettings().value(QStringLiteral("Ignore_version")).toString(), storedIgnore);
}

QTEST_MAIN(TestQNetWorkProcess)
#include "tst_qnetworkprocess.moc"
