#include "FileItemList.h"
#include "PDFFileItem.h"
#include "PdfFixtures.h"
#include "TimeLimit.h"

#include <QtTest>

class TestFileItemList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void acceptsPaths_data();
    void acceptsPaths();
    void keepsOrderAndFindsNewItems();
    void canCompress_data();
    void canCompress();
    void removeAtOutsideIsIgnored_data();
    void removeAtOutsideIsIgnored();
    void removeAtDestroysTheRowsItem();
    void clearAndDestructorDestroyEverything();

private:
    QString fixture(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestFileItemList::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString plain = fixture(QStringLiteral("a.pdf"));
    QVERIFY(PdfFixtures::writePlain(plain));
    for (const char* copy : {"b.pdf", "c.pdf", "report.PDF", "report.pdfa", "report.txt", "report"})
        QVERIFY(QFile::copy(plain, fixture(QLatin1String(copy))));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("locked.pdf")), PdfFixtures::Cipher::Aes256,
                                        QStringLiteral("user"), QStringLiteral("owner")));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("locked2.pdf")), PdfFixtures::Cipher::Rc4,
                                        QStringLiteral("user"), QStringLiteral("owner")));
    QVERIFY(PdfFixtures::writeDamaged(fixture(QStringLiteral("damaged.pdf"))));
    QVERIFY(QFile::link(plain, fixture(QStringLiteral("link.pdf"))));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.pdf")));
    QVERIFY(PdfFixtures::makeFifo(fixture(QStringLiteral("fifo.pdf"))));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), fixture(QStringLiteral("zero.pdf"))));
    QVERIFY(QFile::link(QStringLiteral("/dev/urandom"), fixture(QStringLiteral("random.pdf"))));
}

void TestFileItemList::acceptsPaths_data()
{
    QTest::addColumn<QStringList>("batches"); // one addFiles call each, names separated by "|"
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("same path twice in one call") << QStringList{"a.pdf|a.pdf"} << QStringList{"a.pdf"};
    QTest::newRow("same path in two calls") << QStringList{"a.pdf", "b.pdf|a.pdf"} << QStringList{"a.pdf", "b.pdf"};
    // One file, one row, under the path it was first given: each row writes its own output.
    QTest::newRow("same file written differently")
        << QStringList{"a.pdf|./a.pdf|/a.pdf|sub/../a.pdf"} << QStringList{"a.pdf"};
    QTest::newRow("same file through a link") << QStringList{"./a.pdf", "link.pdf|a.pdf"} << QStringList{"./a.pdf"};
    QTest::newRow("suffix in capitals") << QStringList{"report.PDF"} << QStringList{"report.PDF"};
    QTest::newRow("suffix containing pdf") << QStringList{"report.pdfa"} << QStringList{"report.pdfa"};
    QTest::newRow("other suffix, PDF inside") << QStringList{"report.txt|report"} << QStringList();
    QTest::newRow("damaged among good ones") << QStringList{"a.pdf|damaged.pdf|b.pdf"} << QStringList{"a.pdf", "b.pdf"};
    QTest::newRow("missing file") << QStringList{"nowhere.pdf"} << QStringList();
    QTest::newRow("locked file is listed") << QStringList{"locked.pdf"} << QStringList{"locked.pdf"};
    // qpdf waited for good on FIFOs and devices, on the GUI thread.
    QTest::newRow("FIFO") << QStringList{"fifo.pdf|a.pdf"} << QStringList{"a.pdf"};
    QTest::newRow("link to /dev/zero") << QStringList{"zero.pdf|a.pdf"} << QStringList{"a.pdf"};
    QTest::newRow("link to /dev/urandom") << QStringList{"random.pdf|a.pdf"} << QStringList{"a.pdf"};
    QTest::newRow("folder") << QStringList{"folder.pdf"} << QStringList();
}

void TestFileItemList::acceptsPaths()
{
    QFETCH(QStringList, batches);
    QFETCH(QStringList, listed);

    const std::optional<QStringList> actual = resultWithin(30000, [batches, folder = m_dir.path()] {
        FileItemList list;
        for (const QString& batch : batches) {
            QStringList paths;
            for (const QString& name : batch.split(QLatin1Char('|')))
                paths << folder + QLatin1Char('/') + name; // "/a.pdf" gives "<folder>//a.pdf"
            list.addFiles(paths);
        }
        QStringList names;
        for (int row = 0; row < list.count(); ++row)
            names << list.at(row)->filePath().mid(folder.size() + 1);
        return names;
    });
    QVERIFY2(actual, "addFiles did not return");
    QCOMPARE(*actual, listed);
}

void TestFileItemList::keepsOrderAndFindsNewItems()
{
    FileItemList list;
    list.addFiles({fixture(QStringLiteral("c.pdf")), fixture(QStringLiteral("a.pdf"))});
    const int previous = list.count();
    list.addFiles({fixture(QStringLiteral("damaged.pdf")), fixture(QStringLiteral("b.pdf"))});
    QCOMPARE(previous, 2);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.at(0)->fileName(), QStringLiteral("c.pdf"));
    QCOMPARE(list.at(1)->fileName(), QStringLiteral("a.pdf"));
    QCOMPARE(list.at(previous)->fileName(), QStringLiteral("b.pdf"));
}

void TestFileItemList::canCompress_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("removeRow"); // -1: none
    QTest::addColumn<bool>("expected");
    QTest::newRow("empty list") << QStringList() << -1 << true;
    QTest::newRow("only locked files") << QStringList{"locked.pdf", "locked2.pdf"} << -1 << false;
    QTest::newRow("one open file") << QStringList{"locked.pdf", "a.pdf"} << -1 << true;
    QTest::newRow("open file removed") << QStringList{"locked.pdf", "a.pdf"} << 1 << false;
    QTest::newRow("locked file removed") << QStringList{"locked.pdf", "a.pdf"} << 0 << true;
}

void TestFileItemList::canCompress()
{
    QFETCH(QStringList, files);
    QFETCH(int, removeRow);
    QFETCH(bool, expected);
    FileItemList list;
    for (const QString& file : qAsConst(files))
        list.addFiles({fixture(file)});
    list.removeAt(removeRow);
    QCOMPARE(list.canCompress(), expected);
}

void TestFileItemList::removeAtOutsideIsIgnored_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("count") << 2;
    QTest::newRow("negative") << -1;
}

void TestFileItemList::removeAtOutsideIsIgnored()
{
    QFETCH(int, row);
    FileItemList list;
    list.addFiles({fixture(QStringLiteral("a.pdf")), fixture(QStringLiteral("b.pdf"))});
    list.removeAt(row);
    QCOMPARE(list.count(), 2);
}

void TestFileItemList::removeAtDestroysTheRowsItem()
{
    FileItemList list;
    list.addFiles(
        {fixture(QStringLiteral("a.pdf")), fixture(QStringLiteral("b.pdf")), fixture(QStringLiteral("c.pdf"))});
    QPointer<FileItem> middle = list.at(1);
    list.removeAt(1);
    QVERIFY(middle.isNull());
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.at(1)->fileName(), QStringLiteral("c.pdf"));
    // The file is free again, under any of its paths; the others stay taken.
    list.addFiles({fixture(QStringLiteral("./b.pdf")), fixture(QStringLiteral("sub/../c.pdf"))});
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.at(2)->fileName(), QStringLiteral("b.pdf"));
}

void TestFileItemList::clearAndDestructorDestroyEverything()
{
    QList<QPointer<FileItem>> items;
    {
        FileItemList list;
        list.clear();
        QVERIFY(list.isEmpty());
        list.addFiles({fixture(QStringLiteral("a.pdf")), fixture(QStringLiteral("b.pdf"))});
        items << list.at(0) << list.at(1);
        list.clear();
        QVERIFY(list.isEmpty());
        QVERIFY(items.at(0).isNull() && items.at(1).isNull());

        list.addFiles({fixture(QStringLiteral("a.pdf")), fixture(QStringLiteral("c.pdf"))});
        QCOMPARE(list.count(), 2);
        items = {list.at(0), list.at(1)};
    }
    QVERIFY(items.at(0).isNull() && items.at(1).isNull());
}

QTEST_MAIN(TestFileItemList)
#include "tst_fileitemlist.moc"
