#include "PDFFileItem.h"
#include "PdfFixtures.h"
#include "PdfPageCount.h"
#include "TimeLimit.h"

#include <QtTest>

#include <malloc.h>
#include <unistd.h>

using PdfFixtures::Cipher;

Q_DECLARE_METATYPE(PdfRepair)

namespace {
const QString UserPassword = QStringLiteral("Öffnen 1");
const QString OwnerPassword = QStringLiteral("owner");
const QString PlainIcon = QStringLiteral("PDF-3x.png");
const QString LockedIcon = QStringLiteral("PDFLock-3x.png");
constexpr int FixturePages = 3;
constexpr int RepeatedPages = 100000;

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

// A field of /proc/self/status, in kB.
qint64 processStatus(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// How far this process's resident memory rose above where it stood while work ran, in bytes; -1 when the
// kernel cannot say.
template <typename Work> qint64 peakMemoryGrowth(Work work)
{
    malloc_trim(0); // what earlier tests freed would hide what this one takes
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    // 5 sets the peak back to what is resident now.
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        return -1;
    clearRefs.close();
    const qint64 before = processStatus("VmRSS");
    work();
    return (processStatus("VmHWM") - before) * 1024;
}

// Listing a file may cost a few times its size and what qpdf needs in any case, not gigabytes for a small file that
// names one page many times.
qint64 memoryAllowedFor(const QString& path)
{
    return 20 * QFileInfo(path).size() + 4 * 1024 * 1024;
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
    void countsPages_data();
    void countsPages();
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
    QVERIFY(PdfFixtures::writeRepeatedPage(fixture(QStringLiteral("repeated.pdf")), RepeatedPages));
    QVERIFY(PdfFixtures::writeSharedPageTree(fixture(QStringLiteral("shared-30.pdf")), 30));
    QVERIFY(PdfFixtures::writeSharedPageTree(fixture(QStringLiteral("shared-64.pdf")), 64));
    QVERIFY(PdfFixtures::writePageTreeLoop(fixture(QStringLiteral("tree-loop.pdf"))));
    using PdfFixtures::OddPageTree;
    QVERIFY(PdfFixtures::writeOddPageTree(fixture(QStringLiteral("null-kids.pdf")), OddPageTree::NullAndNumberKids));
    QVERIFY(PdfFixtures::writeOddPageTree(fixture(QStringLiteral("direct-pages.pdf")), OddPageTree::DirectPages));
    QVERIFY(PdfFixtures::writeOddPageTree(fixture(QStringLiteral("shared-node.pdf")), OddPageTree::SharedNode));
    QVERIFY(PdfFixtures::writeOddPageTree(fixture(QStringLiteral("pages-at-page.pdf")), OddPageTree::PagesAtAPage));
    QVERIFY(PdfFixtures::writeOddPageTree(fixture(QStringLiteral("pages-at-only-page.pdf")),
                                          OddPageTree::PagesAtTheOnlyPage));
    QVERIFY(PdfFixtures::writeTruncated(fixture(QStringLiteral("truncated.pdf")), FixturePages));
    QVERIFY(PdfFixtures::writeMissingObject(fixture(QStringLiteral("missing-object.pdf")), FixturePages));
    QVERIFY(PdfFixtures::writeMissingPageObject(fixture(QStringLiteral("missing-page.pdf"))));
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
    QTest::newRow("one page named 100 000 times")
        << "repeated.pdf" << true << false << false << false << PlainIcon << RepeatedPages;
    QTest::newRow("page tree loop") << "tree-loop.pdf" << false << false << false << false << QString() << 1;
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
    bool opened = false;
    const qint64 memory = peakMemoryGrowth([&item, &opened] { opened = item.openPdf(); });
    QVERIFY2(memory >= 0, "The kernel keeps no peak of resident memory");
    QVERIFY2(memory <= memoryAllowedFor(item.filePath()), qPrintable(QString::number(memory)));
    QCOMPARE(opened, kept);
    if (!kept)
        return;
    QCOMPARE(item.isLocked(), locked);
    QCOMPARE(item.needOpenPassword(), needOpenPassword);
    QCOMPARE(item.hasPermissionPassword(), hasPermissionPassword);
    QCOMPARE(item.iconName(), icon);
    QCOMPARE(item.pageCount(), pages);
}

void TestPDFFileItem::countsPages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<PdfRepair>("repair");
    QTest::addColumn<qint64>("pages");
    QTest::addColumn<qint64>("distinctPages");

    const qint64 none = -1;
    for (const PdfRepair repair : {PdfRepair::Allowed, PdfRepair::Refused}) {
        const char* mode = repair == PdfRepair::Allowed ? "repaired" : "as written";
        QTest::addRow("plain, %s", mode) << "plain.pdf" << repair << qint64(FixturePages) << qint64(FixturePages);
        QTest::addRow("one page named 100 000 times, %s", mode)
            << "repeated.pdf" << repair << qint64(RepeatedPages) << qint64(1);
    }
    // Nodes shared down a chain double the references at each step: refused at the first, not walked 2^30 times.
    QTest::newRow("shared nodes, 2^30 references") << "shared-30.pdf" << PdfRepair::Allowed << none << none;
    QTest::newRow("shared nodes, 2^64 references") << "shared-64.pdf" << PdfRepair::Allowed << none << none;
    QTest::newRow("page tree loop") << "tree-loop.pdf" << PdfRepair::Allowed << none << none;
    // Trees that getAllPages and Ghostscript count apart are damaged: the output could never match the listed count.
    QTest::newRow("a null and a number among the kids") << "null-kids.pdf" << PdfRepair::Allowed << none << none;
    QTest::newRow("a node under two parents") << "shared-node.pdf" << PdfRepair::Allowed << none << none;
    QTest::newRow("/Pages at a page") << "pages-at-page.pdf" << PdfRepair::Allowed << none << none;
    // As written by some producers: both find the one page.
    QTest::newRow("/Pages at the only page")
        << "pages-at-only-page.pdf" << PdfRepair::Allowed << qint64(1) << qint64(1);
    QTest::newRow("pages written into the kids") << "direct-pages.pdf" << PdfRepair::Allowed << qint64(2) << qint64(2);
    // What a full disk leaves of a file: a reader rebuilds it, a check of an output must not.
    QTest::newRow("cut short, repaired") << "truncated.pdf" << PdfRepair::Allowed << qint64(FixturePages)
                                         << qint64(FixturePages);
    QTest::newRow("cut short, as written") << "truncated.pdf" << PdfRepair::Refused << none << none;
    QTest::newRow("object missing, repaired")
        << "missing-object.pdf" << PdfRepair::Allowed << qint64(FixturePages) << qint64(FixturePages);
    QTest::newRow("object missing, as written") << "missing-object.pdf" << PdfRepair::Refused << none << none;
    // getAllPages counts the missing one, Ghostscript does not.
    QTest::newRow("page object missing, repaired") << "missing-page.pdf" << PdfRepair::Allowed << none << none;
    QTest::newRow("page object missing, as written") << "missing-page.pdf" << PdfRepair::Refused << none << none;
}

void TestPDFFileItem::countsPages()
{
    QFETCH(QString, file);
    QFETCH(PdfRepair, repair);
    QFETCH(qint64, pages);
    QFETCH(qint64, distinctPages);

    PdfPages counted;
    const qint64 memory = peakMemoryGrowth([&] { counted = pdfPages(fixture(file), QString(), repair); });
    QVERIFY2(memory >= 0, "The kernel keeps no peak of resident memory");
    QVERIFY2(memory <= memoryAllowedFor(fixture(file)), qPrintable(QString::number(memory)));
    QCOMPARE(counted.pages, pages);
    QCOMPARE(counted.distinctPages, distinctPages);
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
