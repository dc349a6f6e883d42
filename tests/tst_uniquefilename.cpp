#include "UniqueFileName.h"

#include <QtTest>

#include <thread>
#include <vector>

namespace {

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The names a finished file may bear before it is placed.
const QRegularExpression PartFileName(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}\\.part$"));

} // namespace

class TestUniqueFileName : public QObject
{
    Q_OBJECT

private slots:
    void picksFirstFreeName_data();
    void picksFirstFreeName();
    void createsMissingFolder();
    void danglingLinkIsTaken();
    void partFileNames_data();
    void partFileNames();
    void placesEachFileUnderTheNextName();
    void simultaneousCallersGetDistinctNames();
};

void TestUniqueFileName::picksFirstFreeName_data()
{
    QTest::addColumn<QStringList>("existingFiles");
    QTest::addColumn<QStringList>("existingFolders");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");
    // The name under which a finished file is placed when these entries appeared while it was written; empty when it
    // cannot be placed at all.
    QTest::addColumn<QString>("placed");

    const QString a = QStringLiteral("a.pdf");
    QTest::newRow("free") << QStringList() << QStringList() << a << a << a;
    QTest::newRow("taken") << QStringList{a} << QStringList() << a << QStringLiteral("a_1.pdf")
                           << QStringLiteral("a_1.pdf");
    QTest::newRow("two taken") << QStringList{a, QStringLiteral("a_1.pdf")} << QStringList() << a
                               << QStringLiteral("a_2.pdf") << QStringLiteral("a_2.pdf");
    QTest::newRow("gap filled") << QStringList{a, QStringLiteral("a_2.pdf")} << QStringList() << a
                                << QStringLiteral("a_1.pdf") << QStringLiteral("a_1.pdf");
    QTest::newRow("other letter case is another file on this file system")
        << QStringList{QStringLiteral("A.PDF")} << QStringList() << a << a << a;
    // Chosen all the same, as it always was; writing there fails, and the file is left to its writer to remove.
    QTest::newRow("sub-folder of that name does not count") << QStringList() << QStringList{a} << a << a << QString();
    QTest::newRow("file inside a sub-folder does not count")
        << QStringList{QStringLiteral("sub/a.pdf")} << QStringList{QStringLiteral("sub")} << a << a << a;
    QTest::newRow("hidden file") << QStringList{QStringLiteral(".a.pdf")} << QStringList() << QStringLiteral(".a.pdf")
                                 << QStringLiteral(".a_1.pdf") << QStringLiteral(".a_1.pdf");
    QTest::newRow("dots in the name") << QStringList{QStringLiteral("v1.2 final.pdf")} << QStringList()
                                      << QStringLiteral("v1.2 final.pdf") << QStringLiteral("v1.2 final_1.pdf")
                                      << QStringLiteral("v1.2 final_1.pdf");
    // A name takes at most 255 bytes: the base gives way to the number, by whole characters, only where it must.
    const QString x249 = QString(249, QLatin1Char('x'));
    const QString e125 = QString(125, QChar(0xe9)); // two bytes each
    const QString pdf = QStringLiteral(".pdf");
    const QString pdf1 = QStringLiteral("_1.pdf");
    QTest::newRow("253 bytes") << QStringList{x249 + pdf} << QStringList() << x249 + pdf << x249 + pdf1 << x249 + pdf1;
    QTest::newRow("255 bytes") << QStringList{x249 + QStringLiteral("xx.pdf")} << QStringList()
                               << x249 + QStringLiteral("xx.pdf") << x249 + pdf1 << x249 + pdf1;
    QTest::newRow("254 bytes of two-byte characters")
        << QStringList{e125 + pdf} << QStringList() << e125 + pdf << e125.left(124) + pdf1 << e125.left(124) + pdf1;
    QTest::newRow("percent in the name") << QStringList{QStringLiteral("up 100%2.pdf")} << QStringList()
                                         << QStringLiteral("up 100%2.pdf") << QStringLiteral("up 100%2_1.pdf")
                                         << QStringLiteral("up 100%2_1.pdf");
}

void TestUniqueFileName::picksFirstFreeName()
{
    QFETCH(QStringList, existingFiles);
    QFETCH(QStringList, existingFolders);
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    QFETCH(QString, placed);

    QTemporaryDir dir;
    for (const QString& folder : qAsConst(existingFolders))
        QVERIFY(QDir(dir.path()).mkpath(folder));
    for (const QString& file : qAsConst(existingFiles))
        QVERIFY(writeFile(dir.filePath(file), "keep me"));
    const QStringList before = entriesOf(dir.path());

    QString chosen = fileName;
    makeUniqueFileName(dir.path(), chosen, 0);
    QCOMPARE(chosen, expected);
    // Choosing leaves nothing behind: a name held by an empty file would outlive a run that is killed.
    QCOMPARE(entriesOf(dir.path()), before);

    // The same entries appear while the file is written.
    const QString part = createPartFile(dir.path(), fileName);
    QVERIFY(!part.isEmpty());
    QVERIFY(writeFile(part, "compressed"));
    QString placedName = fileName;
    QString error;
    const bool ok = placeUnderUniqueName(part, dir.path(), placedName, &error);
    if (placed.isEmpty()) {
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QCOMPARE(placedName, expected);
        QCOMPARE(contentOf(part), QByteArray("compressed"));
    } else {
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(placedName, placed);
        QCOMPARE(contentOf(dir.filePath(placed)), QByteArray("compressed"));
        QVERIFY(!QFileInfo::exists(part));
    }
    for (const QString& file : qAsConst(existingFiles))
        QCOMPARE(contentOf(dir.filePath(file)), QByteArray("keep me"));
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

    const QString part = createPartFile(dir.path(), QStringLiteral("a.pdf"));
    QVERIFY(!part.isEmpty());
    name = QStringLiteral("a.pdf");
    QVERIFY(placeUnderUniqueName(part, dir.path(), name));
    QCOMPARE(name, QStringLiteral("a_1.pdf"));
    QVERIFY(!QFileInfo::exists(target));
}

void TestUniqueFileName::partFileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("folder"); // empty: a new one of the test's own
    QTest::newRow("plain") << QStringLiteral("report.pdf") << QString();
    QTest::newRow("not ASCII") << QStringLiteral("Résumé 日本.pdf") << QString();
    // 250 bytes: fits as an output name, not with the part file's additions.
    QTest::newRow("longest name") << QString(246, QLatin1Char('x')) + QStringLiteral(".pdf") << QString();
    QTest::newRow("long name of characters beyond the BMP")
        << QString::fromUtf8("\xf0\x9f\x93\x84").repeated(62) + QStringLiteral(".pdf") << QString();
    // Not even root may make a file there.
    QTest::newRow("folder that cannot be written") << QStringLiteral("report.pdf") << QStringLiteral("/sys");
}

void TestUniqueFileName::partFileNames()
{
    QFETCH(QString, fileName);
    QFETCH(QString, folder);
    if (!folder.isEmpty()) {
        QString error;
        QCOMPARE(createPartFile(folder, fileName, &error), QString());
        QVERIFY(!error.isEmpty());
        return;
    }
    QTemporaryDir dir;
    const QString part = createPartFile(dir.path(), fileName);
    QVERIFY(!part.isEmpty());
    const QString name = QFileInfo(part).fileName();
    // Hidden, not taken for a PDF, and clearly the part of this file.
    QVERIFY2(PartFileName.match(name).hasMatch(), qPrintable(name));
    QVERIFY2(fileName.startsWith(name.mid(1, qMin(20, name.size() - 13))), qPrintable(name));
    QCOMPARE(entriesOf(dir.path()), QStringList{name});
    QCOMPARE(QFileInfo(part).size(), 0);
}

void TestUniqueFileName::placesEachFileUnderTheNextName()
{
    QTemporaryDir dir;
    QStringList placed;
    for (int i = 0; i < 3; ++i) {
        const QString part = createPartFile(dir.path(), QStringLiteral("a.pdf"));
        QVERIFY(!part.isEmpty());
        QVERIFY(writeFile(part, QByteArray::number(i)));
        QString name = QStringLiteral("a.pdf");
        QVERIFY(placeUnderUniqueName(part, dir.path(), name));
        placed << name;
    }
    QCOMPARE(placed, (QStringList{QStringLiteral("a.pdf"), QStringLiteral("a_1.pdf"), QStringLiteral("a_2.pdf")}));
    QCOMPARE(entriesOf(dir.path()), placed);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(contentOf(dir.filePath(placed[i])), QByteArray::number(i));
}

void TestUniqueFileName::simultaneousCallersGetDistinctNames()
{
    // Each caller finds the same names free; only one may have each.
    constexpr int Callers = 16;
    QTemporaryDir dir;
    QVector<QString> parts(Callers);
    for (int i = 0; i < Callers; ++i) {
        parts[i] = createPartFile(dir.path(), QStringLiteral("report.pdf"));
        QVERIFY(!parts[i].isEmpty());
        QVERIFY(writeFile(parts[i], QByteArray::number(i)));
    }
    QVector<QString> names(Callers, QStringLiteral("report.pdf"));
    QVector<int> placed(Callers, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < Callers; ++i)
        threads.emplace_back([&dir, &names, &parts, &placed, i] {
            placed[i] = placeUnderUniqueName(parts[i], dir.path(), names[i]) ? 1 : 0;
        });
    for (std::thread& thread : threads)
        thread.join();

    QCOMPARE(placed, QVector<int>(Callers, 1));
    QSet<QString> distinct(names.cbegin(), names.cend());
    QCOMPARE(distinct.size(), Callers);
    QCOMPARE(entriesOf(dir.path()).size(), Callers);
    for (int i = 0; i < Callers; ++i)
        QCOMPARE(contentOf(dir.filePath(names[i])), QByteArray::number(i));
}

QTEST_GUILESS_MAIN(TestUniqueFileName)
#include "tst_uniquefilename.moc"
