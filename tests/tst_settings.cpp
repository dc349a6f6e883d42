#include "AppConstants.h"
#include "AppSettings.h"
#include "RegistryTool.h"

#include <QtTest>

namespace {

QString configDir()
{
    return perUserPath(AppConfigDir);
}

QString iniPath()
{
    return configDir() + QStringLiteral("Zolvane.ini");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What another program (or the next run) finds in the file. Read from a copy: within one process, every store on
// the same file also sees what has not been written yet.
QVariant onDisk(const QString& path, const QString& key)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy"));
    return QFile::copy(path, copy) ? QSettings(copy, QSettings::IniFormat).value(key) : QVariant();
}

QVariant storedLanguage()
{
    return onDisk(QDir::homePath() + QStringLiteral("/.config/Tamrik/Zolvane.conf"), QStringLiteral("language"));
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void defaultsWithoutFile();
    void missingFolderIsNotCreated();
    void settersWriteTheFileAtOnce_data();
    void settersWriteTheFileAtOnce();
    void existingFileIsKept_data();
    void existingFileIsKept();

    void languageIgnoresOrganisationWideValue();
    void languageDefaultsToEnglish();
    void languageIsStored();
    void languageThatIsNotANumber();
    void firstUseNamesTheApplication();
};

void TestSettings::cleanup()
{
    AppSettings::release();
}

void TestSettings::defaultsWithoutFile()
{
    QVERIFY(QDir().mkpath(configDir()));
    QCOMPARE(AppSettings::gInstance()->lastOpenDir(), QStringLiteral("/"));
    QCOMPARE(AppSettings::gInstance()->outputDir(), QString());
    // Creating the store leaves an empty file behind for the next run.
    QVERIFY(QFileInfo::exists(iniPath()));
    QVERIFY(QDir(configDir()).removeRecursively());
}

void TestSettings::missingFolderIsNotCreated()
{
    QCOMPARE(AppSettings::gInstance()->outputDir(), QString());
    QVERIFY(!QFileInfo::exists(configDir()));
    // A folder chosen later is still kept, in a file made for it then.
    AppSettings::gInstance()->setOutputDir(QStringLiteral("/srv/out"));
    AppSettings::release();
    QCOMPARE(AppSettings::gInstance()->outputDir(), QStringLiteral("/srv/out"));
    QVERIFY(QDir(configDir()).removeRecursively());
}

void TestSettings::settersWriteTheFileAtOnce_data()
{
    QTest::addColumn<bool>("output");
    QTest::addColumn<QString>("folder");

    QTest::newRow("output folder") << true << "/home/someone/Compressed PDFs";
    QTest::newRow("last open folder") << false << "/home/someone/Documents";
    QTest::newRow("characters INI files treat specially") << true << "/data/a=b, c;d #e [f] \"g\" \\h";
    QTest::newRow("non-ASCII") << false << "/home/zoë/Документы/日本語";
}

void TestSettings::settersWriteTheFileAtOnce()
{
    QFETCH(bool, output);
    QFETCH(QString, folder);

    QVERIFY(QDir().mkpath(configDir()));
    AppSettings* settings = AppSettings::gInstance();
    if (output)
        settings->setOutputDir(folder);
    else
        settings->setLastOpenDir(folder);

    // While our store is still alive, the value must already be in the file.
    const QString key = output ? QStringLiteral("General/output") : QStringLiteral("General/lastOpenDir");
    QCOMPARE(onDisk(iniPath(), key).toString(), folder);
    QCOMPARE(output ? settings->outputDir() : settings->lastOpenDir(), folder);
    // The other folder keeps its default.
    QCOMPARE(output ? settings->lastOpenDir() : settings->outputDir(), output ? QStringLiteral("/") : QString());
    QVERIFY(QDir(configDir()).removeRecursively());
}

void TestSettings::existingFileIsKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("lastOpenDir");
    QTest::addColumn<QString>("outputDir");

    // As a run of the program leaves it: QSettings spells the group "General" as "[%General]".
    const auto file = [](const QByteArray& lastOpen, const QByteArray& output) {
        return "[%General]\r\nlastOpenDir=" + lastOpen + "\r\noutput=" + output + "\r\n\r\n[Other]\r\nkept=yes\r\n";
    };
    // clang-format off
    QTest::newRow("chosen folders") << file("/mnt/scans", "/mnt/small") << "/mnt/scans" << "/mnt/small";

    // Values no run of the program writes read as no folder chosen; the file keeps them.
    QTest::newRow("relative folders") << file("scans", "small/out") << "/" << "";
    // Qt takes ":" for the root of its compiled-in resources.
    QTest::newRow("folders that only look absolute") << file(":scans", ":out") << "/" << "";
    QTest::newRow("empty folders") << file("", "") << "/" << "";
    const QByteArray longest = '/' + QByteArray(4095, 'a');
    QTest::newRow("4096 bytes") << file(longest, longest) << QString::fromLatin1(longest) << QString::fromLatin1(longest);
    QTest::newRow("4097 bytes") << file(longest + 'a', longest + 'a') << "/" << "";
    QTest::newRow("huge folders") << file('/' + QByteArray(4 << 20, 'a'), '/' + QByteArray(4 << 20, 'a')) << "/" << "";
    // Counted in UTF-8 bytes, not in characters: each of these takes three.
    const QByteArray japanese = QByteArray("\\x65e5").repeated(1365); // 4095 bytes
    const QString japaneseText = QString(1365, QChar(0x65e5));
    QTest::newRow("4096 bytes in UTF-8") << file('/' + japanese, '/' + japanese) << '/' + japaneseText
                                         << '/' + japaneseText;
    QTest::newRow("4099 bytes in UTF-8") << file("/\\x65e5" + japanese, "/\\x65e5" + japanese) << "/" << "";
    // clang-format on
}

void TestSettings::existingFileIsKept()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, lastOpenDir);
    QFETCH(QString, outputDir);

    QVERIFY(QDir().mkpath(configDir()));
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    AppSettings* settings = AppSettings::gInstance();
    QCOMPARE(settings->lastOpenDir(), lastOpenDir);
    QCOMPARE(settings->outputDir(), outputDir);
    QCOMPARE(readFile(iniPath()), content);

    settings->setOutputDir(QStringLiteral("/mnt/smaller"));
    QCOMPARE(settings->outputDir(), QStringLiteral("/mnt/smaller"));
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value(QStringLiteral("Other/kept")).toString(),
             QStringLiteral("yes"));
    QVERIFY(QDir(configDir()).removeRecursively());
}

void TestSettings::languageIgnoresOrganisationWideValue()
{
    // Runs before anything stores a language of the user's own.
    QSettings organisation(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tamrik"));
    organisation.setValue(QStringLiteral("language"), 5);
    organisation.sync();
    QCOMPARE(RegistryTool::gInstance()->language(), 1);
    QVERIFY(QFile::remove(organisation.fileName()));
}

void TestSettings::languageDefaultsToEnglish()
{
    QCOMPARE(RegistryTool::gInstance()->language(), 1);
    QVERIFY(!storedLanguage().isValid());
}

void TestSettings::languageIsStored()
{
    for (int id : {7, 2, 1}) {
        RegistryTool::gInstance()->setLanguage(id);
        QCOMPARE(RegistryTool::gInstance()->language(), id);
        QCOMPARE(storedLanguage().toInt(), id);
    }
    QVERIFY(QFileInfo::exists(QDir::homePath() + QStringLiteral("/.config/Tamrik/Zolvane.conf")));
}

void TestSettings::languageThatIsNotANumber()
{
    QSettings other(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tamrik"), QStringLiteral("Zolvane"));
    other.setValue(QStringLiteral("language"), QStringLiteral("Deutsch"));
    other.sync();
    QCOMPARE(RegistryTool::gInstance()->language(), 0);
}

void TestSettings::firstUseNamesTheApplication()
{
    RegistryTool::gInstance();
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Tamrik"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Zolvane"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
