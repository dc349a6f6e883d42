#include "AppConstants.h"
#include "HtmlLog.h"
#include "ProgramInit.h"

#include <QtTest>

#include <QRegularExpression>

class TestProgramInit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startupSequence();
};

void TestProgramInit::initTestCase()
{
    // No desktop session here: keeping the computer awake must then do nothing and fail nothing.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zolvane-test-bus");
}

void TestProgramInit::startupSequence()
{
    // Pages of earlier runs, one more than the program keeps. Being older, they sort before those of this run.
    const QString logDir = perUserPath(AppLogDir);
    QVERIFY(QDir().mkpath(logDir));
    QStringList earlier;
    for (int hour = 0; hour < 101; ++hour) {
        earlier << QStringLiteral("2020-01-%1_%2_log.html")
                       .arg(1 + hour / 24, 2, 10, QLatin1Char('0'))
                       .arg(hour % 24, 2, 10, QLatin1Char('0'));
        QFile page(logDir + earlier.last());
        QVERIFY(page.open(QIODevice::WriteOnly));
    }

    ProgramInit::gInstance()->initLogger();

    // The start-up keeps the hundred newest, before it opens the page of this run.
    QStringList pages = QDir(logDir).entryList(QDir::Files, QDir::Name);
    QCOMPARE(pages.mid(0, 100), earlier.mid(1));
    pages.erase(pages.begin(), pages.begin() + 100);
    // A second page when the hour turned during the start-up; the lines then continue there after its head.
    QVERIFY2(pages.size() == 1 || pages.size() == 2, qPrintable(pages.join(QLatin1Char(' '))));
    QString content;
    for (const QString& name : pages) {
        QFile page(logDir + name);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString pageContent = QString::fromUtf8(page.readAll());
        QVERIFY(pageContent.startsWith(LogPageTemplate + QStringLiteral("\r\n")));
        content += pageContent.mid(LogPageTemplate.size() + 2);
    }

    // Each line: info level, stamp, then the source file, the method, the line number and the text.
    const QRegularExpression linePattern(QStringLiteral(
        R"re(^<div class="i">\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \S+/ProgramInit\.cpp ProgramInit::(\w+) \d+ (.*)</div>$)re"));
    QStringList methods;
    QStringList texts;
    const QStringList lines = content.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = linePattern.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        methods << match.captured(1);
        // The page holds the text escaped; the values are easier to check as the program logged them.
        QString text = match.captured(2);
        for (const auto& [entity, character] :
             {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
            text.replace(QLatin1String(entity), QLatin1String(character));
        texts << text;
    }

    const QStringList labels = {
        "App run >>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>",
        "WindowsVersion:  ",
        "buildAbi:  ",
        "buildCpuArchitecture:  ",
        "currentCpuArchitecture:  ",
        "kernelType:  ",
        "kernelVersion:  ",
        "machineHostName:  ",
        "prettyProductName:  ",
        "productType:  ",
        "productVersion:  ",
        "CPU Info: ",
        "CPU Count:  ",
        "CPU Type:  ",
        "CPU Level:  ",
        "CPU Version:  ",
        "memery used(%): ",
        "memery(MB): ",
        "Available memery(MB): ",
        "\"",
    };
    QCOMPARE(texts.size(), labels.size());
    for (int i = 0; i < labels.size(); ++i)
        QVERIFY2(texts[i].startsWith(labels[i]), qPrintable(texts[i]));
    QStringList expectedMethods;
    for (const auto& [method, count] :
         {std::pair{"initLogger", 11}, {"getCpuInfo", 5}, {"getMemoryInfo", 3}, {"initLogger", 1}})
        for (int i = 0; i < count; ++i)
            expectedMethods << QString::fromLatin1(method);
    QCOMPARE(methods, expectedMethods);

    auto value = [&](int i) { return texts[i].mid(labels[i].size()); };
    QCOMPARE(value(1), QStringLiteral("0"));
    QCOMPARE(value(5), QStringLiteral("\"linux\""));
    QCOMPARE(value(19), QCoreApplication::applicationFilePath() + QLatin1Char('"'));

    // The processor's name alone, as the kernel gives it, without its label.
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QVERIFY(cpuinfo.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch model =
        QRegularExpression(QStringLiteral(R"(^model name\s*: *(.*)$)"), QRegularExpression::MultilineOption)
            .match(QString::fromLocal8Bit(cpuinfo.readAll()));
    QCOMPARE(value(11), QStringLiteral("\"%1\"").arg(model.hasMatch() ? model.captured(1).simplified() : QString()));
    QVERIFY(value(12).toInt() > 0);
    QVERIFY(value(13).size() > 2);

    const int load = value(16).toInt();
    const qlonglong total = value(17).toLongLong();
    const qlonglong available = value(18).toLongLong();
    QVERIFY(load >= 0 && load <= 100);
    QVERIFY(total > 0);
    QVERIFY(available > 0 && available <= total);
}

QTEST_GUILESS_MAIN(TestProgramInit)
#include "tst_programinit.moc"
