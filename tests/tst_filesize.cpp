#include "FileSize.h"

#include <QtTest>

class TestFileSize : public QObject
{
    Q_OBJECT

private slots:
    void formatsSizes_data();
    void formatsSizes();
    void truncates_data();
    void truncates();
};

void TestFileSize::formatsSizes_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");

    constexpr qint64 KiB = 1024;
    constexpr qint64 MiB = KiB * KiB;
    constexpr qint64 GiB = MiB * KiB;
    QTest::newRow("empty") << qint64(0) << "0 B";
    QTest::newRow("1 KiB stays bytes") << KiB << "1024 B";
    QTest::newRow("one byte more") << KiB + 1 << "1 KB";
    QTest::newRow("half") << KiB + KiB / 2 << "1.5 KB";
    QTest::newRow("cut, not rounded") << MiB - 1 << "1023.99 KB";
    QTest::newRow("1 MiB stays KB") << MiB << "1024 KB";
    QTest::newRow("just over 1 MiB") << MiB + 1 << "1 MB";
    QTest::newRow("1 GiB stays MB") << GiB << "1024 MB";
    QTest::newRow("2 GiB") << 2 * GiB << "2 GB";
    QTest::newRow("3.75 GiB") << 3 * GiB + 3 * GiB / 4 << "3.75 GB";
    QTest::newRow("5 TiB") << 5 * KiB * GiB << "5120 GB";
}

void TestFileSize::formatsSizes()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(formatFileSize(bytes), expected);
}

void TestFileSize::truncates_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("cut") << 1.239 << 2 << 1.23;
    QTest::newRow("negative cut towards zero") << -1.239 << 2 << -1.23;
    QTest::newRow("decimal value stored below itself") << 1.05 << 2 << 1.05;
    QTest::newRow("no decimals") << 7.99 << 0 << 7.0;
    QTest::newRow("whole number") << 1024.0 << 2 << 1024.0;
    QTest::newRow("beyond 32 bits") << 8589934592.129 << 2 << 8589934592.12;
}

void TestFileSize::truncates()
{
    QFETCH(double, x);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(truncateDecimals(x, decimals), expected);
}

QTEST_GUILESS_MAIN(TestFileSize)
#include "tst_filesize.moc"
