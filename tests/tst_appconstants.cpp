#include "AppConstants.h"

#include <QtTest>

class TestAppConstants : public QObject
{
    Q_OBJECT

private slots:
    void directoriesJoinTheHomePath_data();
    void directoriesJoinTheHomePath();
    void pagesShareOurSiteRoot_data();
    void pagesShareOurSiteRoot();
};

void TestAppConstants::directoriesJoinTheHomePath_data()
{
    QTest::addColumn<QString>("constant");
    QTest::addColumn<QString>("below");

    QTest::newRow("configuration") << AppConfigDir << "AppData/Roaming/Tamrik/Zolvane/Config/";
    QTest::newRow("log") << AppLogDir << "AppData/Roaming/Tamrik/Zolvane/Log/";
}

void TestAppConstants::directoriesJoinTheHomePath()
{
    QFETCH(QString, constant);
    QFETCH(QString, below);

    const QString path = QDir::homePath() + constant;
    QCOMPARE(path, QDir::homePath() + QLatin1Char('/') + below);
    QVERIFY(!path.contains(QStringLiteral("//")));
}

void TestAppConstants::pagesShareOurSiteRoot_data()
{
    QTest::addColumn<QString>("page");

    QTest::newRow("support") << SupportPageUrl;
    QTest::newRow("FAQ") << FaqPageUrl;
    QTest::newRow("product") << ProductPageUrl;
}

void TestAppConstants::pagesShareOurSiteRoot()
{
    QFETCH(QString, page);

    // The site root is scheme, host and the "/" after it; the language segment goes right behind.
    const QUrl root(SiteRoot);
    QCOMPARE(root.scheme(), QStringLiteral("https"));
    QCOMPARE(root.path(), QStringLiteral("/"));
    QCOMPARE(SiteRoot, root.scheme() + QStringLiteral("://") + root.host() + QLatin1Char('/'));
    // A reserved domain: the program never calls a host that someone else owns.
    QVERIFY(root.host().endsWith(QStringLiteral(".example")));

    QVERIFY(page.startsWith(SiteRoot));
    QVERIFY(page.size() > SiteRoot.size());
    QVERIFY(QUrl(page, QUrl::StrictMode).isValid());
}

QTEST_GUILESS_MAIN(TestAppConstants)
#include "tst_appconstants.moc"
