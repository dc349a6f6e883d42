// Takes screenshots of the program as a person sees it: the window, its menu, each dialog and a finished run in
// English and in Japanese. Runs on an X display of its own (scripts/screenshots.sh starts one) and drives the
// loopback copy of the program, which asks the fake update service below, never the real one.
//
//     zolvane_screenshots PROGRAM OUTPUT_DIR

#include "FakeUpdateService.h"
#include "PdfFixtures.h"
#include "ProgramDriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <qtestsupport_core.h>

namespace {

const QString UpdatePath = QStringLiteral("/API/update_information/");
const QString InstallPath = QStringLiteral("/API/install_success/");
const QString FrameTitle = QStringLiteral("^Zolvane$");
constexpr int WindowLimitMs = 20000;
constexpr int RunLimitMs = 120000;
// Room around the windows in a shot.
constexpr int Border = 12;

QTextStream err(stderr);

class Shooter
{
public:
    Shooter(QString program, QString outputDir)
        : program(std::move(program)), outputDir(std::move(outputDir)),
          session(QString::fromLocal8Bit(qgetenv("DISPLAY")))
    {
    }
    ~Shooter()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    bool listen()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        service.setAnswer(InstallPath, {200, R"({"code":200})"});
        answerUpToDate();
        if (!service.listen(QHostAddress(QStringLiteral(VELMORA_TEST_HOST)), VELMORA_TEST_PORT)) {
            err << "The fake update service does not listen: " << service.errorString() << Qt::endl;
            return false;
        }
        return true;
    }

    void answerUpToDate() { service.setAnswer(UpdatePath, {200, R"({"code":201})"}); }
    void answerNewVersion()
    {
        service.setAnswer(UpdatePath,
                          {200, R"({"code":400,"version":"3.2.0","download_url":"https://www.tamrik.example/"})"});
    }
    void answerFailure() { service.setAnswer(UpdatePath, {500, QByteArray()}); }

    bool makeFixtures()
    {
        inputs = fixtureDir.path();
        return PdfFixtures::writePlain(inputs + QStringLiteral("/Quarterly report 2024.pdf"), 3) &&
               PdfFixtures::writeImageHeavy(inputs + QStringLiteral("/pictures.pdf"), 2) &&
               PdfFixtures::writePlain(inputs + QStringLiteral("/見積書 2024.pdf"), 2) &&
               PdfFixtures::writeEncrypted(inputs + QStringLiteral("/Quarterly report 2024.pdf"),
                                           inputs + QStringLiteral("/locked.pdf"), PdfFixtures::Cipher::Aes256,
                                           QStringLiteral("secret"), QStringLiteral("owner"));
    }

    // Starts the program with a new home; language 0 keeps the default.
    bool start(int language = 0)
    {
        stop();
        frame = QRect();
        home = std::make_unique<QTemporaryDir>();
        outputs = home->path() + QStringLiteral("/out");
        QDir().mkpath(outputs);
        {
            QSettings ini(programIniPath(home->path()), QSettings::IniFormat);
            ini.setValue(QStringLiteral("General/output"), outputs);
            ini.setValue(QStringLiteral("General/lastOpenDir"), inputs);
        }
        if (language) {
            QSettings native(home->path() + QStringLiteral("/.config/Tamrik/Zolvane.conf"), QSettings::IniFormat);
            native.setValue(QStringLiteral("language"), language);
        }
        process.setProcessEnvironment(programEnvironment(home->path(), session.display()));
        // Its log lines would drown what this program says.
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, QStringList());
        return process.waitForStarted(WindowLimitMs);
    }

    bool waitForFrame()
    {
        frame = session.waitForWindow(FrameTitle, WindowLimitMs);
        if (frame.isNull()) {
            ++faults;
            err << "The window did not show." << Qt::endl;
        }
        return !frame.isNull();
    }

    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        session.click(FramePlaces::closeButton(frame));
        if (!QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, 10000)) {
            ++faults;
            err << "The program did not end after its close button; killed." << Qt::endl;
            process.kill();
            process.waitForFinished();
        }
    }

    // Saves the frame (once it shows), the given window and whatever lies right of the frame up to the given
    // width, where the menus open.
    void shoot(const QString& name, const QRect& window = QRect(), int right = 0)
    {
        QTest::qWait(400); // let the last paint land
        QRect area = window | frame.adjusted(0, 0, right, 0);
        QScreen* screen = QGuiApplication::primaryScreen();
        area = area.adjusted(-Border, -Border, Border, Border) & screen->geometry();
        const QString path = outputDir + QLatin1Char('/') + name + QStringLiteral(".png");
        const bool saved =
            !area.isEmpty() && screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(path);
        faults += saved ? 0 : 1;
        err << (saved ? "Shot " : "No shot ") << path << " at " << clock.elapsed() << " ms" << Qt::endl;
    }

    // The window with that title, once it shows.
    QRect dialog(const QString& title)
    {
        const QRect window = session.waitForWindow(QLatin1Char('^') + title + QLatin1Char('$'), WindowLimitMs);
        if (window.isNull()) {
            ++faults;
            err << "No window \"" << title << "\" showed." << Qt::endl;
        }
        return window;
    }

    // A click on the menu button with the pointer still there from the last time leaves the menu shut: come from
    // elsewhere, as a hand would.
    void openMenu()
    {
        session.moveTo(frame.center());
        QTest::qWait(200);
        session.click(FramePlaces::menuButton(frame));
        QTest::qWait(200);
    }

    // dialogTitle: the add-files dialog's caption in the program's language.
    bool addFiles(const QStringList& names, const QString& dialogTitle = QStringLiteral("Select Files"))
    {
        const QString titlePattern = QLatin1Char('^') + QRegularExpression::escape(dialogTitle) + QLatin1Char('$');
        session.click(FramePlaces::addFilesButton(frame));
        if (session.waitForWindow(titlePattern, WindowLimitMs).isNull()) {
            ++faults;
            err << "The file dialog did not show." << Qt::endl;
            return false;
        }
        QTest::qWait(300);
        QStringList quoted;
        for (const QString& name : names)
            quoted << QLatin1Char('"') + name + QLatin1Char('"');
        session.type(quoted.join(QLatin1Char(' ')));
        QTest::qWait(300);
        session.keys({QStringLiteral("Return")});
        return session.waitUntilGone(titlePattern, WindowLimitMs);
    }

    bool compressAndWait()
    {
        session.click(FramePlaces::compressButton(frame));
        const QString done = QStringLiteral("All tasks completed");
        if (!QTest::qWaitFor([&] { return programLog(home->path()).contains(done); }, RunLimitMs)) {
            ++faults;
            err << "The run did not finish." << Qt::endl;
            return false;
        }
        return true;
    }

    QString program;
    QString outputDir;
    XSession session;
    FakeUpdateService service;
    QTemporaryDir fixtureDir;
    QString inputs;
    QString outputs;
    std::unique_ptr<QTemporaryDir> home;
    QProcess process;
    QRect frame;
    QElapsedTimer clock;
    int faults = 0;
};

// A row's buttons sit at its right end, the finished mark rightmost, then the compression-level button or, on a
// locked row, the password button in its place. Rows are 72 pixels high under the tool bar.
QPoint rowButton(const QRect& frame, int row, int fromRight)
{
    return {frame.right() - 28 - 24 * fromRight, frame.top() + 3 + 31 + 58 + 72 * row + 36};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3 || QGuiApplication::platformName() != QLatin1String("xcb")) {
        err << "usage: zolvane_screenshots PROGRAM OUTPUT_DIR (on an X display)" << Qt::endl;
        return 2;
    }
    Shooter shooter(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(shooter.outputDir);
    if (!shooter.listen() || !shooter.makeFixtures())
        return 1;
    XSession& session = shooter.session;
    shooter.clock.start();
    const QStringList files = {QStringLiteral("Quarterly report 2024.pdf"), QStringLiteral("pictures.pdf"),
                               QStringLiteral("locked.pdf")};

    // Start-up without an answer from the update service: the network box comes before the window.
    shooter.answerFailure();
    if (!shooter.start())
        return 1;
    shooter.shoot(QStringLiteral("01-startup-network-error"), shooter.dialog(QStringLiteral("Attention")));
    session.keys({QStringLiteral("Return")});
    shooter.answerUpToDate();
    if (!shooter.waitForFrame())
        return 1;
    shooter.shoot(QStringLiteral("02-empty-list"));

    // The menu and its language submenu.
    constexpr int MenuRoom = 320;
    shooter.openMenu();
    shooter.shoot(QStringLiteral("03-menu"), QRect(), MenuRoom);
    session.keys({QStringLiteral("Down"), QStringLiteral("Right")});
    shooter.shoot(QStringLiteral("04-language-menu"), QRect(), MenuRoom);
    session.keys({QStringLiteral("Escape"), QStringLiteral("Escape")});

    // About: the last entry.
    shooter.openMenu();
    session.keys({QStringLiteral("Up"), QStringLiteral("Return")});
    shooter.shoot(QStringLiteral("05-about"), shooter.dialog(QStringLiteral("About")));
    session.keys({QStringLiteral("Escape")});

    // Check for Updates: the one before it. Up to date, then a newer version.
    const QString update = QStringLiteral("^Software Update$");
    shooter.openMenu();
    session.keys({QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Return")});
    shooter.shoot(QStringLiteral("06-update-newest"), shooter.dialog(QStringLiteral("Software Update")));
    session.keys({QStringLiteral("Return")});
    session.waitUntilGone(update, WindowLimitMs);
    shooter.answerNewVersion();
    shooter.openMenu();
    session.keys({QStringLiteral("Up"), QStringLiteral("Up"), QStringLiteral("Return")});
    shooter.shoot(QStringLiteral("07-update-new-version"), shooter.dialog(QStringLiteral("Software Update")));
    session.keys({QStringLiteral("Escape")}); // No
    session.waitUntilGone(update, WindowLimitMs);
    shooter.answerUpToDate();

    // The list, the compression-level and password dialogs of its rows, and a finished run.
    if (!shooter.addFiles(files))
        return 1;
    shooter.shoot(QStringLiteral("08-list"));
    session.click(rowButton(shooter.frame, 0, 1));
    shooter.shoot(QStringLiteral("09-compression-level"), shooter.dialog(QStringLiteral("Compress Setting")));
    session.keys({QStringLiteral("Escape")});
    session.click(rowButton(shooter.frame, 2, 1));
    shooter.shoot(QStringLiteral("10-password"), shooter.dialog(QStringLiteral("Password")));
    // The prompt ignores Escape; the right password unlocks the file for the run.
    session.type(QStringLiteral("secret"));
    session.keys({QStringLiteral("Return")});
    session.waitUntilGone(QStringLiteral("^Password$"), WindowLimitMs);
    session.moveTo(shooter.frame.center());
    shooter.shoot(QStringLiteral("11-list-unlocked"));
    if (shooter.compressAndWait())
        shooter.shoot(QStringLiteral("12-finished-en"));

    // The same in Japanese.
    if (!shooter.start(7) || !shooter.waitForFrame())
        return 1;
    shooter.shoot(QStringLiteral("13-empty-list-ja"));
    // A Japanese file name, as a Japanese user would have.
    if (shooter.addFiles({QStringLiteral("見積書 2024.pdf"), QStringLiteral("pictures.pdf")},
                         QStringLiteral("ファイルの選択")) &&
        shooter.compressAndWait())
        shooter.shoot(QStringLiteral("14-finished-ja"));
    shooter.openMenu();
    session.keys({QStringLiteral("Down"), QStringLiteral("Right")});
    shooter.shoot(QStringLiteral("15-language-menu-ja"), QRect(), MenuRoom);
    session.keys({QStringLiteral("Escape"), QStringLiteral("Escape")});
    shooter.stop();
    return shooter.faults == 0 ? 0 : 1;
}
