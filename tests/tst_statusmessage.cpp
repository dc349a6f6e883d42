#include "StatusMessage.h"

#include <QtTest>

#include <stdexcept>

class TestStatusMessage : public QObject
{
    Q_OBJECT

private slots:
    void knownCodes();
    void crashTextTakesTheDumpPath();
    void unknownCodesThrow();
};

void TestStatusMessage::knownCodes()
{
    QCOMPARE(statusMessageText(1), "Error network, please check your connection!");
    QCOMPARE(statusMessageText(3), "The program gets crashed.");
    QCOMPARE(statusMessageText(7), "is currently the newest version available.");
    QCOMPARE(statusMessageText(8), "Requests are too frequent, please try again later.");
}

void TestStatusMessage::crashTextTakesTheDumpPath()
{
    const QString text = QString::fromUtf8(statusMessageText(4)).arg("/opt/zolvane/Log/crash_20261208141516.dmp");
    QCOMPARE(text, "Please send the crash report to the developer. (/opt/zolvane/Log/crash_20261208141516.dmp)");
}

void TestStatusMessage::unknownCodesThrow()
{
    for (int code : {-1, 0, 2, 5, 6, 9})
        QVERIFY_EXCEPTION_THROWN(statusMessageText(code), std::out_of_range);
}

QTEST_GUILESS_MAIN(TestStatusMessage)
#include "tst_statusmessage.moc"
