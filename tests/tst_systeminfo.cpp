#include "platform/linux/ProcInfo.h"

#include <QtTest>

class TestSystemInfo : public QObject
{
    Q_OBJECT

private slots:
    void meminfo_data();
    void meminfo();
    void cpuinfo_data();
    void cpuinfo();
};

void TestSystemInfo::meminfo_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("load");
    QTest::addColumn<qulonglong>("totalMB");
    QTest::addColumn<qulonglong>("availableMB");

    QTest::newRow("16 GiB, 6.5 GiB available")
        << QByteArray("MemTotal:       16777216 kB\nMemFree:         1048576 kB\nMemAvailable:    6815744 kB\n"
                      "Buffers:          204800 kB\nSwapTotal:       2097152 kB\n")
        << 59 << 16384ull << 6656ull;
    QTest::newRow("rounded down to whole MB")
        << QByteArray("MemTotal: 2048000 kB\nMemAvailable: 1023 kB\n") << 100 << 2000ull << 0ull;
    QTest::newRow("kernel without MemAvailable")
        << QByteArray("MemTotal: 8388608 kB\nMemFree: 2097152 kB\nBuffers: 1024 kB\n") << 75 << 8192ull << 2048ull;
    QTest::newRow("nothing readable") << QByteArray() << 0 << 0ull << 0ull;
    QTest::newRow("more available than installed")
        << QByteArray("MemTotal: 1024 kB\nMemAvailable: 4096 kB\n") << 0 << 1ull << 1ull;
}

void TestSystemInfo::meminfo()
{
    QFETCH(QByteArray, text);
    QFETCH(int, load);
    QFETCH(qulonglong, totalMB);
    QFETCH(qulonglong, availableMB);

    const platform::MemoryStatus status = platform::parseMeminfo(text);
    QCOMPARE(status.loadPercent, load);
    QCOMPARE(qulonglong(status.totalBytes >> 20), totalMB);
    QCOMPARE(qulonglong(status.availableBytes >> 20), availableMB);
}

void TestSystemInfo::cpuinfo_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("revision");

    QTest::newRow("x86, first processor counts")
        << QByteArray("processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 85\n"
                      "model name\t: Intel(R) Xeon(R) Gold 6148 CPU @ 2.40GHz\nstepping\t: 4\n\n"
                      "processor\t: 1\ncpu family\t: 15\nmodel\t\t: 1\nstepping\t: 9\n\n")
        << 6 << 0x5504;
    QTest::newRow("ARM reports none of them")
        << QByteArray("processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x41\nCPU part\t: 0xd08\n\n") << 0 << 0;
    QTest::newRow("nothing readable") << QByteArray() << 0 << 0;
}

void TestSystemInfo::cpuinfo()
{
    QFETCH(QByteArray, text);
    QFETCH(int, level);
    QFETCH(int, revision);

    platform::ProcessorInfo info;
    platform::readCpuinfo(text, info);
    QCOMPARE(info.level, level);
    QCOMPARE(info.revision, revision);
}

QTEST_GUILESS_MAIN(TestSystemInfo)
#include "tst_systeminfo.moc"
