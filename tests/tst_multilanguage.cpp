#include "AppConstants.h"
#include "MultiLanguage.h"
#include "RegistryTool.h"
#include "StatusMessage.h"

#include <QtTest>

namespace {

QString statusText(int code)
{
    return QCoreApplication::translate("GLanguage", statusMessageText(code));
}

// A text of Qt's own standard buttons.
QString qtCancel()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

} // namespace

class TestMultiLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cataloguesAreCompiledIn_data();
    void cataloguesAreCompiledIn();
    void statusTexts_data();
    void statusTexts();
    void otherIdsLoadEnglish_data();
    void otherIdsLoadEnglish();
    void qtTextsFollowTheLanguage_data();
    void qtTextsFollowTheLanguage();
    void initLanguageLoadsTheStoredOne();
    void localizedUrl_data();
    void localizedUrl();
};

void TestMultiLanguage::initTestCase()
{
    // Made first, so that the catalogues are there for the direct loads below.
    MultiLanguage::gInstance();
}

void TestMultiLanguage::cataloguesAreCompiledIn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language"); // "*": any; empty: there must be no such catalogue
    QTest::addColumn<bool>("empty");

    for (const char* code : {"fr", "pt", "it", "de", "es", "ja"})
        QTest::addRow("Translation_%s", code) << QStringLiteral("Translation_%1.qm").arg(code) << "*" << false;
    // clang-format off
    QTest::newRow("Translation_en") << "Translation_en.qm" << "en_US" << true;
    QTest::newRow("qt_fr")          << "qt_fr.qm"          << "fr_FR" << false;
    QTest::newRow("qt_pt")          << "qt_pt.qm"          << "pt_BR" << false;
    QTest::newRow("qt_it")          << "qt_it.qm"          << "it_IT" << false;
    QTest::newRow("qt_de")          << "qt_de.qm"          << "de_DE" << false;
    QTest::newRow("qt_ja")          << "qt_ja.qm"          << "ja"    << false;
    QTest::newRow("qt_en")          << "qt_en.qm"          << "en_US" << true;
    QTest::newRow("no qt_es")       << "qt_es.qm"          << QString() << true;
    // clang-format on
}

void TestMultiLanguage::cataloguesAreCompiledIn()
{
    QFETCH(QString, name);
    QFETCH(QString, language);
    QFETCH(bool, empty);

    const QString path = QStringLiteral(":/translations/language/") + name;
    QCOMPARE(QFile::exists(path), !language.isEmpty());
    if (language.isEmpty())
        return;
    QTranslator translator;
    QVERIFY(translator.load(path));
    QCOMPARE(translator.isEmpty(), empty);
    if (language != QLatin1String("*"))
        QCOMPARE(translator.language(), language);
}

void TestMultiLanguage::statusTexts_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("crashTitle"); // one sample per catalogue

    QTest::newRow("English") << 1 << "The program gets crashed.";
    QTest::newRow("French") << 2 << "Le programme a cessé de fonctionner.";
    QTest::newRow("Portuguese") << 3 << "O programa falhou.";
    QTest::newRow("Italian") << 4 << "Il programma si è arrestato in modo anomalo.";
    QTest::newRow("German") << 5 << "Das Programm ist abgestürzt.";
    QTest::newRow("Spanish") << 6 << "El programa se ha bloqueado.";
    QTest::newRow("Japanese") << 7 << "このプログラムに問題が発生しました。";
}

void TestMultiLanguage::statusTexts()
{
    QFETCH(int, id);
    QFETCH(QString, crashTitle);

    QSignalSpy changed(MultiLanguage::gInstance(), &MultiLanguage::languageChanged);
    MultiLanguage::gInstance()->loadLanguage(id);
    QCOMPARE(changed.count(), 1);

    QCOMPARE(statusText(3), crashTitle);
    // Every status text is in the catalogue, English only in English.
    for (int code : {1, 3, 4, 7, 8})
        QCOMPARE(statusText(code) == QString::fromUtf8(statusMessageText(code)), id == 1);
    // The crash box fills in the dump path with a single arg().
    QCOMPARE(statusText(4).count(QStringLiteral("%1")), 1);
    QVERIFY(statusText(4).arg(QStringLiteral("/x.dmp")).endsWith(QStringLiteral("(/x.dmp)")));
}

void TestMultiLanguage::otherIdsLoadEnglish_data()
{
    QTest::addColumn<int>("id");
    for (int id : {0, 1, 8, -1, 100})
        QTest::addRow("%d", id) << id;
}

void TestMultiLanguage::otherIdsLoadEnglish()
{
    QFETCH(int, id);

    MultiLanguage::gInstance()->loadLanguage(5);
    QCOMPARE(qtCancel(), QStringLiteral("Abbrechen"));

    MultiLanguage::gInstance()->loadLanguage(id);
    QCOMPARE(statusText(3), QStringLiteral("The program gets crashed."));
    QCOMPARE(qtCancel(), QStringLiteral("Cancel"));
}

void TestMultiLanguage::qtTextsFollowTheLanguage_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("cancel");

    QTest::newRow("French") << 2 << "Annuler";
    QTest::newRow("Portuguese") << 3 << "Cancelar";
    QTest::newRow("Italian") << 4 << "Annulla";
    QTest::newRow("German") << 5 << "Abbrechen";
    QTest::newRow("Spanish: Qt's English") << 6 << "Cancel";
    QTest::newRow("Japanese") << 7 << "キャンセル";
}

void TestMultiLanguage::qtTextsFollowTheLanguage()
{
    QFETCH(int, id);
    QFETCH(QString, cancel);

    // Always from French, so that a catalogue left over from the last language would show.
    MultiLanguage::gInstance()->loadLanguage(2);
    MultiLanguage::gInstance()->loadLanguage(id);
    QCOMPARE(qtCancel(), cancel);
}

void TestMultiLanguage::initLanguageLoadsTheStoredOne()
{
    MultiLanguage::gInstance()->loadLanguage(1);
    RegistryTool::gInstance()->setLanguage(5);
    QSignalSpy changed(MultiLanguage::gInstance(), &MultiLanguage::languageChanged);
    MultiLanguage::gInstance()->initLanguage();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(statusText(3), QStringLiteral("Das Programm ist abgestürzt."));
}

void TestMultiLanguage::localizedUrl_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");

    const QString page = SiteRoot + QStringLiteral("zolvane/faq.html");
    QTest::newRow("Japanese") << 7 << page << SiteRoot + QStringLiteral("jp/zolvane/faq.html");
    QTest::newRow("French") << 2 << page << SiteRoot + QStringLiteral("fr/zolvane/faq.html");
    QTest::newRow("Spanish") << 6 << page << SiteRoot + QStringLiteral("es/zolvane/faq.html");
    QTest::newRow("English") << 1 << page << page;
    QTest::newRow("unknown id") << 9 << page << page;
    QTest::newRow("site root alone") << 3 << SiteRoot << SiteRoot + QStringLiteral("pt/");
    QTest::newRow("product page") << 4 << ProductPageUrl << SiteRoot + QStringLiteral("it/zolvane/");
    QTest::newRow("another site") << 5 << "https://example.org/a/page.html"
                                  << "https://example.org/a/page.html";
}

void TestMultiLanguage::localizedUrl()
{
    QFETCH(int, stored);
    QFETCH(QString, url);
    QFETCH(QString, expected);

    RegistryTool::gInstance()->setLanguage(stored);
    // The stored language counts, not the one loaded last.
    MultiLanguage::gInstance()->loadLanguage(1);
    QCOMPARE(MultiLanguage::gInstance()->localizedUrl(url), expected);
}

QTEST_GUILESS_MAIN(TestMultiLanguage)
#include "tst_multilanguage.moc"
