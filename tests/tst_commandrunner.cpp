#include "CommandRunner.h"

#include <QtTest>

class TestCommandRunner : public QObject
{
    Q_OBJECT

private slots:
    void cleansOutput_data();
    void cleansOutput();
    void missingCommandGivesEmptyText();
};

void TestCommandRunner::cleansOutput_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");

    // The shell is handed the last word as $0, so the command line ends in it like "wmic cpu get name".
    QTest::newRow("heading removed ignoring case")
        << R"(sh -c "printf 'Name  \r\n  Intel(R) Xeon(R)   CPU @ 2.20GHz  \r\n\r\n'" name)"
        << "Intel(R) Xeon(R) CPU @ 2.20GHz";
    QTest::newRow("every occurrence removed") << R"(sh -c "printf 'Name\r\nNamer 9000 NAME\r\n'" name)"
                                              << "r 9000";
    QTest::newRow("trailing blank removes nothing") << R"(sh -c "printf 'Name\r\nWidget CPU\r\n'" )"
                                                    << "NameWidget CPU"; // line ends go, no blank comes in
    QTest::newRow("quiet command") << "true name"
                                   << "";
}

void TestCommandRunner::cleansOutput()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QCOMPARE(runCommand(command), expected);
}

void TestCommandRunner::missingCommandGivesEmptyText()
{
    QCOMPARE(runCommand("zolvane-no-such-command-here cpu get name"), QString());
    QCOMPARE(runCommand(QString()), QString());
}

QTEST_GUILESS_MAIN(TestCommandRunner)
#include "tst_commandrunner.moc"
