#include "AppConstants.h"

#include <QtTest>

class TestAppConstants : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void perUserPathsFollowTheDataHome_data();
    void perUserPathsFollowTheDataHome();
    void pagesShareOurSiteRoot_data();
    void pagesShareOurSiteRoot();
};

void TestAppConstants::cleanup()
{
    qunsetenv("XDG_DATA_HOME");
}

void TestAppConstants::perUserPathsFollowTheDataHome_data()
{
    QTest::addColumn<QByteArray>("dataHome"); // null: not set
    QTest::addColumn<QString>("base");        // "~" stands for the home path

    QTest::newRow("not set") << QByteArray() << "~/.local/share";
    QTest::newRow("empty") << QByteArray("") << "~/.local/share";
    QTest::newRow("absolute") << QByteArray("/srv/data") << "/srv/data";
    QTest::newRow("trailing slash") << QByteArray("/srv/data/") << "/srv/data";
    QTest::newRow("non-ASCII") << QByteArray("/srv/zoë data") << QString::fromUtf8("/srv/zoë data");
    QTest::newRow("root") << QByteArray("/") << "";
    QTest::newRow("relative is ignored") << QByteArray("data") << "~/.local/share";
    QTest::newRow("dot-relative is ignored") << QByteArray("./data") << "~/.local/share";
    QTest::newRow("Qt resource path is ignored") << QByteArray(":/data") << "~/.local/share";
}

void TestAppConstants::perUserPathsFollowTheDataHome()
{
    QFETCH(QByteArray, dataHome);
    QFETCH(QString, base);

    if (!dataHome.isNull())
        qputenv("XDG_DATA_HOME", dataHome);
    base.replace(QLatin1Char('~'), QDir::homePath());

    QCOMPARE(perUserPath(AppConfigDir), base + QStringLiteral("/Tamrik/Zolvane/Config/"));
    QCOMPARE(perUserPath(AppLogDir), base + QStringLiteral("/Tamrik/Zolvane/Log/"));
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
