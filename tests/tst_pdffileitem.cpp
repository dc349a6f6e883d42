#include "PDFFileItem.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"
#include "TimeLimit.h"

#include <QtTest>

#include <unistd.h>

using PdfFixtures::Cipher;

namespace {
const QString UserPassword = QStringLiteral("Öffnen 1");
const QString OwnerPassword = QStringLiteral("owner");
const QString PlainIcon = QStringLiteral("PDF-3x.png");
const QString LockedIcon = QStringLiteral("PDFLock-3x.png");
constexpr int FixturePages = 3;

// How many of this process's file descriptors are open on the file.
int descriptorsOpenOn(const QString& path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    const QFileInfoList entries = descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& descriptor : entries) {
        if (descriptor.symLinkTarget() == file)
            ++count;
    }
    return count;
}
} // namespace

class TestPDFFileItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void newItemHasDefaults();
    void classifiesFiles_data();
    void classifiesFiles();
    void unreadableForUsers();
    void unlock_data();
    void unlock();
    void unlockRefusesAFifo();
    void unlockedFileCompressesWithItsPassword_data();
    void unlockedFileCompressesWithItsPassword();
    void successfulRunReportsNameAndSize();
    void failedRunReportsNothing();
    void processedFlagFollowsCode_data();
    void processedFlagFollowsCode();

private:
    QString fixture(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestPDFFileItem::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(PdfFixtures::writePlain(fixture(QStringLiteral("plain.pdf")), FixturePages));
    const QString plain = fixture(QStringLiteral("plain.pdf"));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("owner-rc4.pdf")), Cipher::Rc4, QString(),
                                        OwnerPassword));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("owner-aes.pdf")), Cipher::Aes256, QString(),
                                        OwnerPassword));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("user-rc4.pdf")), Cipher::Rc4, UserPassword,
                                        OwnerPassword));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("user-aes.pdf")), Cipher::Aes256, UserPassword,
                                        OwnerPassword));
    QVERIFY(PdfFixtures::writeDamaged(fixture(QStringLiteral("damaged.pdf"))));
    QVERIFY(PdfFixtures::writeNotPdf(fixture(QStringLiteral("notes.pdf"))));
    QVERIFY(PdfFixtures::writeEmpty(fixture(QStringLiteral("empty.pdf"))));
    QVERIFY(PdfFixtures::makeLinkLoop(fixture(QStringLiteral("loop.pdf"))));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.pdf")));
}

void TestPDFFileItem::newItemHasDefaults()
{
    PDFFileItem item(fixture(QStringLiteral("plain.pdf")));
    QCOMPARE(item.pageCount(), 1);
    QCOMPARE(item.iconName(), QString());
    QCOMPARE(item.suffix(), QStringLiteral("pdf"));
    QVERIFY(item.isPending());
    QVERIFY(!item.isLocked());
}

void TestPDFFileItem::classifiesFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("needOpenPassword");
    QTest::addColumn<bool>("hasPermissionPassword");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<int>("pages");

    QTest::newRow("plain") << "plain.pdf" << true << false << false << false << PlainIcon << FixturePages;
    QTest::newRow("owner password, RC4") << "owner-rc4.pdf" << true << false << false << true << PlainIcon
                                         << FixturePages;
    QTest::newRow("owner password, AES-256")
        << "owner-aes.pdf" << true << false << false << true << PlainIcon << FixturePages;
    // The page tree is not encrypted, so the pages of a locked file are counted too.
    QTest::newRow("open password, RC4") << "user-rc4.pdf" << true << true << true << false << LockedIcon
                                        << FixturePages;
    QTest::newRow("open password, AES-256")
        << "user-aes.pdf" << true << true << true << false << LockedIcon << FixturePages;
    QTest::newRow("damaged") << "damaged.pdf" << false << false << false << false << QString() << 1;
    QTest::newRow("not a PDF") << "notes.pdf" << false << false << false << false << QString() << 1;
    QTest::newRow("empty") << "empty.pdf" << false << false << false << false << QString() << 1;
    QTest::newRow("missing") << "gone.pdf" << false << false << false << false << QString() << 1;
    // Unreadable for root as well: a system error, and a qpdf error after which pages cannot be counted.
    QTest::newRow("link to itself") << "loop.pdf" << false << false << false << false << QString() << 1;
    QTest::newRow("folder") << "folder.pdf" << false << false << false << false << QString() << 1;
}

void TestPDFFileItem::classifiesFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, kept);
    QFETCH(bool, locked);
    QFETCH(bool, needOpenPassword);
    QFETCH(bool, hasPermissionPassword);
    QFETCH(QString, icon);
    QFETCH(int, pages);

    PDFFileItem item(fixture(file));
    QCOMPARE(item.openPdf(), kept);
    if (!kept)
        return;
    QCOMPARE(item.isLocked(), locked);
    QCOMPARE(item.needOpenPassword(), needOpenPassword);
    QCOMPARE(item.hasPermissionPassword(), hasPermissionPassword);
    QCOMPARE(item.iconName(), icon);
    QCOMPARE(item.pageCount(), pages);
}

void TestPDFFileItem::unreadableForUsers()
{
    if (geteuid() == 0)
        QSKIP("Permission bits do not stop root from reading");
    const QString path = fixture(QStringLiteral("private.pdf"));
    QVERIFY(QFile::copy(fixture(QStringLiteral("plain.pdf")), path));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    PDFFileItem item(path);
    QVERIFY(!item.openPdf());
}

void TestPDFFileItem::unlock_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");

    for (const char* file : {"user-rc4.pdf", "user-aes.pdf"}) {
        QTest::addRow("%s, open password", file) << file << UserPassword << true;
        QTest::addRow("%s, owner password", file) << file << OwnerPassword << true;
        QTest::addRow("%s, wrong password", file) << file << QStringLiteral("guess") << false;
        QTest::addRow("%s, no password", file) << file << QString() << false;
    }
}

void TestPDFFileItem::unlock()
{
    QFETCH(QString, file);
    QFETCH(QString, password);
    QFETCH(bool, accepted);

    PDFFileItem item(fixture(file));
    QVERIFY(item.openPdf());
    QVERIFY(item.isLocked());
    QSignalSpy unlocked(&item, &PDFFileItem::unlockSuccess);

    // A wrong attempt first must not spoil the right one. No attempt keeps the file open.
    QVERIFY(!item.unlockPdf(QStringLiteral("first guess")));
    QCOMPARE(descriptorsOpenOn(item.filePath()), 0);
    QCOMPARE(item.unlockPdf(password), accepted);
    QCOMPARE(descriptorsOpenOn(item.filePath()), 0);
    QCOMPARE(item.isLocked(), !accepted);
    QCOMPARE(unlocked.count(), accepted ? 1 : 0);
    QCOMPARE(item.pageCount(), FixturePages);
}

void TestPDFFileItem::unlockRefusesAFifo()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.pdf"));
    QVERIFY(QFile::copy(fixture(QStringLiteral("user-aes.pdf")), path));
    const auto item = std::make_shared<PDFFileItem>(path);
    QVERIFY(item->openPdf());
    // Swapped while the password dialog is open: qpdf waited for good, on the GUI thread.
    QVERIFY(QFile::remove(path) && PdfFixtures::makeFifo(path));

    const std::optional<bool> unlocked = resultWithin(30000, [item] { return item->unlockPdf(UserPassword); });
    QVERIFY2(unlocked, "unlockPdf did not return");
    QVERIFY(!*unlocked && item->isLocked());
}

void TestPDFFileItem::unlockedFileCompressesWithItsPassword_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("password");
    QTest::newRow("RC4, open password") << "user-rc4.pdf" << UserPassword;
    QTest::newRow("AES-256, owner password") << "user-aes.pdf" << OwnerPassword;
}

void TestPDFFileItem::unlockedFileCompressesWithItsPassword()
{
    QFETCH(QString, file);
    QFETCH(QString, password);
    QTemporaryDir out;
    PDFFileItem item(fixture(file));
    QVERIFY(item.openPdf());
    QVERIFY(item.unlockPdf(password));

    QCOMPARE(item.pdfCompress(item.filePath(), out.path()), 0);
    QCOMPARE(pdfPageCount(out.filePath(file)), qint64(FixturePages));
}

void TestPDFFileItem::successfulRunReportsNameAndSize()
{
    QTemporaryDir out;
    QVERIFY(QFile::copy(fixture(QStringLiteral("plain.pdf")), out.filePath(QStringLiteral("plain.pdf"))));
    PDFFileItem item(fixture(QStringLiteral("plain.pdf")));
    QVERIFY(item.openPdf());
    item.setCompressSetting({1, 1});
    QSignalSpy info(&item, &PDFFileItem::CompressedInfo);
    QSignalSpy output(&item, &FileItem::outputFileSignal);

    QCOMPARE(item.pdfCompress(item.filePath(), out.path()), 0);
    const QString outputPath = out.filePath(QStringLiteral("plain_1.pdf"));
    QCOMPARE(output.count(), 1);
    QCOMPARE(output.at(0).at(0).toString(), outputPath);
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.at(0).at(0).toString(), QStringLiteral("plain_1.pdf"));
    QCOMPARE(info.at(0).at(1).toString(), FileItem(outputPath).fileSizeText());
}

void TestPDFFileItem::failedRunReportsNothing()
{
    QTemporaryDir in;
    QTemporaryDir out;
    const QString path = in.filePath(QStringLiteral("soon gone.pdf"));
    QVERIFY(QFile::copy(fixture(QStringLiteral("plain.pdf")), path));
    PDFFileItem item(path);
    QVERIFY(item.openPdf());
    QVERIFY(QFile::remove(path));
    QSignalSpy info(&item, &PDFFileItem::CompressedInfo);
    QSignalSpy output(&item, &FileItem::outputFileSignal);

    QVERIFY(item.pdfCompress(path, out.path()) != 0);
    QCOMPARE(info.count(), 0);
    QCOMPARE(output.count(), 0);
    QVERIFY(QDir(out.path()).isEmpty());
}

void TestPDFFileItem::processedFlagFollowsCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("resetDuringRun");
    QTest::newRow("success") << 0 << false;
    QTest::newRow("Ghostscript failure") << -100 << false;
    QTest::newRow("no run") << -1 << false;
    // The run was handed a setting that is no longer the file's.
    QTest::newRow("success, setting changed during the run") << 0 << true;
}

void TestPDFFileItem::processedFlagFollowsCode()
{
    QFETCH(int, code);
    QFETCH(bool, resetDuringRun);
    PDFFileItem item(fixture(QStringLiteral("plain.pdf")));
    QSignalSpy finished(&item, &FileItem::processFinishedSignal);
    item.setCompressSetting({1, 1});
    if (resetDuringRun)
        item.resetProcessed();
    item.fileProcessFinished(code);
    QCOMPARE(item.isPending(), code != 0 || resetDuringRun);
    QCOMPARE(item.isRunOutdated(), resetDuringRun);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), code);
    item.resetProcessed();
    QVERIFY(item.isPending());
}

QTEST_MAIN(TestPDFFileItem)
#include "tst_pdffileitem.moc"
