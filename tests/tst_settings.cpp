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

// What another program (or the next run) finds in the native store.
QVariant storedLanguage()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tamrik"), QStringLiteral("Zolvane"))
        .value(QStringLiteral("language"));
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

    // Read by a store of its own while ours is still alive: the value must already be in the file.
    const QString key = output ? QStringLiteral("General/output") : QStringLiteral("General/lastOpenDir");
    QCOMPARE(QSettings(iniPath(), QSettings::IniFormat).value(key).toString(), folder);
    QCOMPARE(output ? settings->outputDir() : settings->lastOpenDir(), folder);
    // The other folder keeps its default.
    QCOMPARE(output ? settings->lastOpenDir() : settings->outputDir(), output ? QStringLiteral("/") : QString());
    QVERIFY(QDir(configDir()).removeRecursively());
}

void TestSettings::existingFileIsKept()
{
    QVERIFY(QDir().mkpath(configDir()));
    // As a run of the program leaves it: QSettings spells the group "General" as "[%General]".
    const QByteArray content =
        "[%General]\r\nlastOpenDir=/mnt/scans\r\noutput=/mnt/small\r\n\r\n[Other]\r\nkept=yes\r\n";
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    AppSettings* settings = AppSettings::gInstance();
    QCOMPARE(readFile(iniPath()), content);
    QCOMPARE(settings->lastOpenDir(), QStringLiteral("/mnt/scans"));
    QCOMPARE(settings->outputDir(), QStringLiteral("/mnt/small"));

    settings->setOutputDir(QStringLiteral("/mnt/smaller"));
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
