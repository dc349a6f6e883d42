#include "UniqueFileName.h"

#include <QtTest>

#include <thread>
#include <vector>

class TestUniqueFileName : public QObject
{
    Q_OBJECT

private slots:
    void picksFirstFreeName_data();
    void picksFirstFreeName();
    void createsMissingFolder();
    void danglingLinkIsTaken();
    void reservesEachChosenName();
    void simultaneousCallersGetDistinctNames();
};

void TestUniqueFileName::picksFirstFreeName_data()
{
    QTest::addColumn<QStringList>("existingFiles");
    QTest::addColumn<QStringList>("existingFolders");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");

    const QString a = QStringLiteral("a.pdf");
    QTest::newRow("free") << QStringList() << QStringList() << a << a;
    QTest::newRow("taken") << QStringList{a} << QStringList() << a << QStringLiteral("a_1.pdf");
    QTest::newRow("two taken") << QStringList{a, QStringLiteral("a_1.pdf")} << QStringList() << a
                               << QStringLiteral("a_2.pdf");
    QTest::newRow("gap filled") << QStringList{a, QStringLiteral("a_2.pdf")} << QStringList() << a
                                << QStringLiteral("a_1.pdf");
    QTest::newRow("other letter case is another file on this file system")
        << QStringList{QStringLiteral("A.PDF")} << QStringList() << a << a;
    QTest::newRow("sub-folder of that name does not count") << QStringList() << QStringList{a} << a << a;
    QTest::newRow("file inside a sub-folder does not count")
        << QStringList{QStringLiteral("sub/a.pdf")} << QStringList{QStringLiteral("sub")} << a << a;
    QTest::newRow("hidden file") << QStringList{QStringLiteral(".a.pdf")} << QStringList() << QStringLiteral(".a.pdf")
                                 << QStringLiteral(".a_1.pdf");
    QTest::newRow("dots in the name") << QStringList{QStringLiteral("v1.2 final.pdf")} << QStringList()
                                      << QStringLiteral("v1.2 final.pdf") << QStringLiteral("v1.2 final_1.pdf");
    QTest::newRow("percent in the name") << QStringList{QStringLiteral("up 100%2.pdf")} << QStringList()
                                         << QStringLiteral("up 100%2.pdf") << QStringLiteral("up 100%2_1.pdf");
}

void TestUniqueFileName::picksFirstFreeName()
{
    QFETCH(QStringList, existingFiles);
    QFETCH(QStringList, existingFolders);
    QFETCH(QString, fileName);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    for (const QString& folder : qAsConst(existingFolders))
        QVERIFY(QDir(dir.path()).mkpath(folder));
    for (const QString& file : qAsConst(existingFiles)) {
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }

    makeUniqueFileName(dir.path(), fileName, 0);
    QCOMPARE(fileName, expected);
    for (const QString& file : qAsConst(existingFiles)) {
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));
    }
}

void TestUniqueFileName::createsMissingFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("new/and/deeper"));
    QString name = QStringLiteral("a.pdf");
    makeUniqueFileName(folder, name, 0);
    QCOMPARE(name, QStringLiteral("a.pdf"));
    QVERIFY(QFileInfo(folder).isDir());
}

void TestUniqueFileName::danglingLinkIsTaken()
{
    // Writing through the link would create a file somewhere else.
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("elsewhere.pdf"));
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("a.pdf"))));
    QString name = QStringLiteral("a.pdf");
    makeUniqueFileName(dir.path(), name, 0);
    QCOMPARE(name, QStringLiteral("a_1.pdf"));
    QVERIFY(!QFileInfo::exists(target));
}

void TestUniqueFileName::reservesEachChosenName()
{
    QTemporaryDir dir;
    QStringList chosen;
    for (int i = 0; i < 3; ++i) {
        QString name = QStringLiteral("a.pdf");
        makeUniqueFileName(dir.path(), name, 0);
        chosen << name;
    }
    QCOMPARE(chosen, (QStringList{QStringLiteral("a.pdf"), QStringLiteral("a_1.pdf"), QStringLiteral("a_2.pdf")}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), chosen);
}

void TestUniqueFileName::simultaneousCallersGetDistinctNames()
{
    constexpr int Callers = 16;
    QTemporaryDir dir;
    QVector<QString> names(Callers, QStringLiteral("report.pdf"));
    std::vector<std::thread> threads;
    for (int i = 0; i < Callers; ++i)
        threads.emplace_back([&dir, &names, i] { makeUniqueFileName(dir.path(), names[i], 0); });
    for (std::thread& thread : threads)
        thread.join();

    QSet<QString> distinct(names.cbegin(), names.cend());
    QCOMPARE(distinct.size(), Callers);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), Callers);
}

QTEST_GUILESS_MAIN(TestUniqueFileName)
#include "tst_uniquefilename.moc"
