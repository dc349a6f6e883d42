#include "FileItemWidget.h"
#include "FileSize.h"
#include "LogCatcher.h"
#include "ModalWatcher.h"
#include "MultiLanguage.h"
#include "PDFFileItem.h"
#include "PdfFixtures.h"
#include "SignalTransferStation.h"
#include "functionRunnable.h"

#include "UrlCatcher.h"

#include <QtTest>
#include <QCheckBox>
#include <QDesktopServices>
#include <QRadioButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <memory>

namespace {

const QString UserPassword = QStringLiteral("user");

struct Row
{
    std::unique_ptr<PDFFileItem> item;
    std::unique_ptr<FileItemWidget> widget;

    template <typename T = QWidget> T* child(const char* name) const
    {
        return widget->findChild<T*>(QLatin1String(name));
    }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    QWidget* mark() const { return child("btn_convert_finished"); }
};

} // namespace

class TestFileItemWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void layout();
    void initialState_data();
    void initialState();
    void compressionRun();
    void failedRun();
    void resetOfAFinishedRow_data();
    void resetOfAFinishedRow();
    void relayReachesOnlyExistingRows();
    void settingOfRowsWhoseDialogIsNotBuilt();
    void unlockThroughThePasswordDialog_data();
    void unlockThroughThePasswordDialog();
    void clicksOpenTheDocumentAndTheOutput();

private:
    QString fixture(const QString& name) const { return m_dir.filePath(name); }
    Row makeRow(const QString& name, QWidget* parent = nullptr);
    // Reports a successful compression the way a task does, minus Ghostscript.
    static void finish(Row& row, const QString& outputPath);

    QTemporaryDir m_dir;
    UrlCatcher m_urls;
};

void TestFileItemWidget::initTestCase()
{
    // No desktop session: nothing may reach the tester's own file manager.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");

    QVERIFY(m_dir.isValid());
    const QString plain = fixture(QStringLiteral("plain.pdf"));
    QVERIFY(PdfFixtures::writePlain(plain, 3));
    const QString longName = QStringLiteral("a-very-long-name-of-a-quarterly-report-that-does-not-fit-into-any-row-"
                                            "of-the-list-at-all-END.pdf");
    for (const QString& copy :
         {QStringLiteral("UPPER.PDF"), QStringLiteral("archive.pdfa"), longName, QStringLiteral("b.pdf"),
          QStringLiteral("c.pdf"), QStringLiteral("<b>bold.pdf"), QStringLiteral("<img src=x>.pdf")})
        QVERIFY(QFile::copy(plain, fixture(copy)));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("locked.pdf")), PdfFixtures::Cipher::Aes256,
                                        UserPassword, QStringLiteral("owner")));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture(QStringLiteral("packed.pdf")),
                                        PdfFixtures::Cipher::Aes256ObjectStreams, UserPassword,
                                        QStringLiteral("owner")));
}

Row TestFileItemWidget::makeRow(const QString& name, QWidget* parent)
{
    Row row;
    row.item = std::make_unique<PDFFileItem>(fixture(name));
    if (!row.item->openPdf())
        qFatal("fixture %s does not open", qPrintable(name));
    row.widget = std::make_unique<FileItemWidget>(row.item.get(), parent);
    row.widget->resize(500, 72);
    return row;
}

void TestFileItemWidget::finish(Row& row, const QString& outputPath)
{
    emit row.item->CompressedInfo(QFileInfo(outputPath).fileName(), QStringLiteral("1.5 KB"));
    emit row.item->outputFileSignal(outputPath);
    row.item->fileProcessFinished(0);
}

void TestFileItemWidget::layout()
{
    Row row = makeRow(QStringLiteral("plain.pdf"));
    row.widget->resize(491, 72); // the list's viewport beside its scroll bar
    row.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(row.widget.get()));

    QCOMPARE(row.widget->objectName(), QStringLiteral("FileItemWidget"));
    QCOMPARE(row.widget->minimumHeight(), 72);
    QCOMPARE(row.widget->maximumHeight(), 72);
    QCOMPARE(row.widget->windowTitle(), QStringLiteral("Form"));

    // Left to right: icon, name column, output column, button strip flush with the right edge.
    const auto x = [&](const char* name) { return row.child(name)->mapTo(row.widget.get(), QPoint()).x(); };
    QCOMPARE(x("btn_icon"), 15);
    QVERIFY(x("btn_icon") < x("label_name"));
    QVERIFY(x("label_name") + row.child("label_name")->width() + 20 <= x("label_newName"));
    QVERIFY(x("label_newName") < x("frame_right"));
    QCOMPARE(x("frame_right") + row.child("frame_right")->width(), 491);
    QCOMPARE(row.child("btn_icon")->height(), 50);
    QVERIFY(row.child("frame_left")->width() <= 360);
    for (const char* label : {"label_name", "label_size", "label_pages", "label_newName"})
        QVERIFY2(row.child(label)->width() >= 150, label);

    // The spinner and the mark share one spot, and the strip keeps its width while both are hidden.
    QCOMPARE(row.child("btn_convert_finished")->geometry(), QRect(0, 0, 22, 22));
    QCOMPARE(row.child("label_waiting")->geometry(), QRect(0, 0, 22, 22));
    const int strip = row.child("frame_right")->width();
    finish(row, fixture(QStringLiteral("out.pdf")));
    QVERIFY(row.mark()->isVisible());
    QCOMPARE(row.child("frame_right")->width(), strip);
}

void TestFileItemWidget::initialState_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("pages"); // empty: no page label

    QTest::newRow("plain") << "plain.pdf" << false << "3 Pages";
    QTest::newRow("capital suffix keeps its pages") << "UPPER.PDF" << false << "3 Pages";
    QTest::newRow("other suffix shows no pages") << "archive.pdfa" << false << "";
    QTest::newRow("locked") << "locked.pdf" << true << "3 Pages";
    // The page tree is encrypted too: no count until the file is unlocked.
    QTest::newRow("locked, pages in encrypted object streams") << "packed.pdf" << true << "1 Pages";
    // A name is shown as it is, never as markup (an image would even be loaded from the working folder).
    QTest::newRow("markup in the name") << "<b>bold.pdf" << false << "3 Pages";
    QTest::newRow("image in the name") << "<img src=x>.pdf" << false << "3 Pages";
}

void TestFileItemWidget::initialState()
{
    QFETCH(QString, file);
    QFETCH(bool, locked);
    QFETCH(QString, pages);

    Row row = makeRow(file);
    row.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(row.widget.get()));

    QCOMPARE(row.text("label_name"), file);
    for (const char* label : {"label_name", "label_size", "label_pages", "label_newName", "label_newSize"})
        QVERIFY2(row.child<QLabel>(label)->textFormat() == Qt::PlainText, label);
    QCOMPARE(row.text("label_size"), row.item->fileSizeText());
    QCOMPARE(row.child("label_pages")->isVisible(), !pages.isEmpty());
    if (!pages.isEmpty())
        QCOMPARE(row.text("label_pages"), pages);
    QCOMPARE(row.child("btn_decrypt")->isVisible(), locked);
    QCOMPARE(row.child("btn_compressSetting")->isVisible(), !locked);
    const QString icon = row.child("btn_icon")->styleSheet();
    QCOMPARE(icon.contains(QLatin1String("url(:/resource/PDFLock-3x.png)")), locked);
    QCOMPARE(icon.contains(QLatin1String("url(:/resource/Pressed-PDFLock-3x.png)")), locked);
    QCOMPARE(icon.contains(QLatin1String("url(:/resource/PDF-3x.png)")), !locked);
    QVERIFY(!row.mark()->isVisible());
    QVERIFY(!row.child("label_waiting")->isVisible());

    // The page count follows the interface language.
    if (!pages.isEmpty()) {
        MultiLanguage::gInstance()->loadLanguage(5);
        QCOMPARE(row.text("label_pages"), QString(pages).replace(QLatin1String("Pages"), QLatin1String("Seiten")));
        MultiLanguage::gInstance()->loadLanguage(1);
        QCOMPARE(row.text("label_pages"), pages);
    }
}

void TestFileItemWidget::compressionRun()
{
    // Long enough to need eliding in either column.
    const QString name = QDir(m_dir.path()).entryList({QStringLiteral("a-very-long-*")}).value(0);
    Row row = makeRow(name);
    row.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(row.widget.get()));

    const QString shown = row.text("label_name");
    QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
    QVERIFY(shown.startsWith(QLatin1String("a-v")));
    QVERIFY(shown.endsWith(QLatin1String(".pdf")));

    // The task announces the start on its pool thread.
    std::unique_ptr<QThread> announcer(QThread::create([&row] { emit row.item->processing(); }));
    announcer->start();
    QVERIFY(announcer->wait(30000));
    auto* spinner = row.child<QLabel>("label_waiting");
    QTRY_VERIFY_WITH_TIMEOUT(spinner->isVisible(), 30000);
    QVERIFY(!row.mark()->isVisible());

    QTemporaryDir out;
    auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, row.item.get(), out.path());
    connect(task, &FunctionRunnable::finished, row.item.get(), &FileItem::fileProcessFinished);
    QThreadPool::globalInstance()->start(task);
    QTRY_VERIFY_WITH_TIMEOUT(row.mark()->isVisible(), 30000);

    QVERIFY(row.mark()->isEnabled());
    QVERIFY(!spinner->isVisible());
    QVERIFY(!row.item->isPending());
    const QString newName = row.text("label_newName");
    QVERIFY2(newName.contains(QChar(0x2026)) && newName.endsWith(QLatin1String(".pdf")), qPrintable(newName));
    QCOMPARE(row.text("label_newSize"), formatFileSize(QFileInfo(out.filePath(name)).size()));
}

void TestFileItemWidget::failedRun()
{
    Row row = makeRow(QStringLiteral("b.pdf"));
    row.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(row.widget.get()));

    // A file stands where the output folder would have to be made.
    const QString blocked = fixture(QStringLiteral("b.pdf")) + QStringLiteral("/out");
    auto* task = new FunctionRunnable(FunctionRunnable::CompressTask, row.item.get(), blocked);
    connect(task, &FunctionRunnable::finished, row.item.get(), &FileItem::fileProcessFinished);
    QThreadPool::globalInstance()->start(task);
    QTRY_VERIFY_WITH_TIMEOUT(row.mark()->isVisible(), 30000);

    QVERIFY(!row.mark()->isEnabled()); // the failure mark, which cannot be clicked
    QVERIFY(row.text("label_newName").isEmpty());
    QVERIFY(row.item->isPending()); // tried again by the next run
}

void TestFileItemWidget::resetOfAFinishedRow_data()
{
    QTest::addColumn<QString>("how");
    // "finished" before the reset; else handed its setting before and reporting after it ("succeeds", "fails"),
    // and then maybe followed by a run in which nothing changes ("succeeds, then another").
    QTest::addColumn<QString>("run");
    QTest::addColumn<bool>("reset");

    // clang-format off
    QTest::newRow("settings button, dialog cancelled") << "settings" << "finished" << true;
    QTest::newRow("apply-to-all relay") << "relay" << "finished" << true;
    // Every row's dialog is built on first use; its apply to all must reach the other rows.
    QTest::newRow("apply to all in another row's dialog") << "other dialog" << "finished" << true;
    QTest::newRow("hideLabel") << "hideLabel" << "finished" << true;
    // The window system hides the mark with the window; the result stays.
    QTest::newRow("window minimised") << "minimise" << "finished" << false;
    // The run was handed the old setting: its success must not mark the file done.
    QTest::newRow("settings button during the run") << "settings" << "succeeds" << true;
    QTest::newRow("apply-to-all relay during the run") << "relay" << "succeeds" << true;
    QTest::newRow("nothing changed during the run") << "nothing" << "succeeds" << false;
    // Its log line names no output, which this run did not write.
    QTest::newRow("settings button during a failing run") << "settings" << "fails" << true;
    QTest::newRow("run after an outdated one") << "settings" << "succeeds, then another" << false;
    // clang-format on
}

void TestFileItemWidget::resetOfAFinishedRow()
{
    QFETCH(QString, how);
    QFETCH(QString, run);
    QFETCH(bool, reset);

    QWidget window;
    window.resize(500, 72);
    Row row = makeRow(QStringLiteral("plain.pdf"), &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString output = fixture(QStringLiteral("out/plain.pdf"));
    // As the window starts a run.
    const auto startRun = [&row] {
        row.item->setCompressSetting(row.widget->compressSetting());
        emit row.item->processing();
    };
    const bool duringRun = run != QLatin1String("finished");
    if (duringRun) {
        startRun();
    } else {
        finish(row, output);
        QVERIFY(row.mark()->isVisible());
        QCOMPARE(row.text("label_newName"), QStringLiteral("plain.pdf"));
    }

    if (how == QLatin1String("settings")) {
        ModalWatcher answerer([](QWidget* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btn_cancel")), Qt::LeftButton);
        });
        QTest::mouseClick(row.child<QPushButton>("btn_compressSetting"), Qt::LeftButton);
    } else if (how == QLatin1String("relay")) {
        SignalTransferStation::gInstance()->updateAllItemStatus();
    } else if (how == QLatin1String("other dialog")) {
        Row other = makeRow(QStringLiteral("b.pdf"), &window);
        // The second OK ends the shared mode again, for the tests that follow.
        for (bool toAll : {true, false}) {
            ModalWatcher answerer([toAll](QWidget* dialog) {
                dialog->findChild<QCheckBox*>(QStringLiteral("checkBoxApplyToAll"))->setChecked(toAll);
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btn_ok")), Qt::LeftButton);
            });
            other.child<QPushButton>("btn_compressSetting")->click();
        }
    } else if (how == QLatin1String("hideLabel")) {
        row.widget->hideLabel();
    } else if (how == QLatin1String("minimise")) {
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        window.showNormal();
        QTRY_VERIFY(!window.isMinimized());
    }
    LogCatcher log;
    if (run == QLatin1String("fails"))
        row.item->fileProcessFinished(-100);
    else if (duringRun)
        finish(row, output);
    if (run == QLatin1String("succeeds, then another")) {
        startRun();
        finish(row, output);
    }

    // A run that reports after the reset says so, and names an output only when it wrote one.
    const QStringList outdated = log.messages().filter(QStringLiteral("compress again:"));
    QCOMPARE(outdated.size(), duringRun && how != QLatin1String("nothing") ? 1 : 0);
    if (!outdated.isEmpty()) {
        QString line = QStringLiteral("compress again: \"%1\"").arg(row.item->filePath());
        if (run != QLatin1String("fails"))
            line += QStringLiteral(" output kept: \"%1\"").arg(output);
        QVERIFY2(outdated.first().endsWith(line), qPrintable(outdated.first()));
    }

    QVERIFY(!row.child("label_waiting")->isVisible());
    QCOMPARE(row.item->isPending(), reset);
    QCOMPARE(row.text("label_newName").isEmpty(), reset);
    QCOMPARE(row.text("label_newSize").isEmpty(), reset);
    QCOMPARE(row.mark()->isVisible(), !reset);
}

void TestFileItemWidget::relayReachesOnlyExistingRows()
{
    QWidget list; // rows live inside the list, not as windows of their own
    std::vector<Row> rows;
    for (const char* name : {"plain.pdf", "b.pdf", "c.pdf"}) {
        rows.push_back(makeRow(QLatin1String(name), &list));
    }
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    for (Row& row : rows)
        finish(row, fixture(QStringLiteral("out/") + row.item->fileName()));
    rows[1].widget.reset(); // the row is taken out of the list; its document stays a moment longer

    SignalTransferStation::gInstance()->updateAllItemStatus();

    QVERIFY(rows[0].item->isPending());
    QVERIFY(rows[2].item->isPending());
    QVERIFY(rows[0].text("label_newName").isEmpty());
    QVERIFY(rows[2].text("label_newName").isEmpty());
    QVERIFY(!rows[1].item->isPending());
}

void TestFileItemWidget::settingOfRowsWhoseDialogIsNotBuilt()
{
    // A row builds its level dialog when it is first opened; until then it must still follow the shared
    // setting and show it once its dialog comes up.
    Row a = makeRow(QStringLiteral("plain.pdf"));
    Row b = makeRow(QStringLiteral("b.pdf"));
    Row c = makeRow(QStringLiteral("c.pdf"));
    const auto setting = [](const Row& row) {
        return QPair<int, int>(row.widget->compressSetting().level, row.widget->compressSetting().value);
    };
    // step: where the slider is put; 0 leaves it.
    const auto choose = [](const Row& row, const char* level, bool toAll, bool* shownToAll = nullptr, int step = 0) {
        ModalWatcher answerer([=](QWidget* dialog) {
            if (shownToAll)
                *shownToAll = dialog->findChild<QCheckBox*>(QStringLiteral("checkBoxApplyToAll"))->isChecked();
            dialog->findChild<QRadioButton*>(QLatin1String(level))->click();
            if (step != 0)
                dialog->findChild<QSlider*>(QStringLiteral("customSlider"))->setValue(step);
            dialog->findChild<QCheckBox*>(QStringLiteral("checkBoxApplyToAll"))->setChecked(toAll);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btn_ok")), Qt::LeftButton);
        });
        row.child<QPushButton>("btn_compressSetting")->click();
    };
    QCOMPARE(setting(b), qMakePair(0, 1));

    choose(a, "btn_low", true);
    QCOMPARE(setting(b), qMakePair(2, 5));
    bool shownToAll = false;
    choose(b, "btn_medium", false, &shownToAll);
    QVERIFY(shownToAll);
    QCOMPARE(setting(a), qMakePair(2, 5));
    QCOMPARE(setting(b), qMakePair(1, 5));
    QCOMPARE(setting(c), qMakePair(0, 1));

    // A row added while a custom step is applied to all: its dialog, first opened after the shared mode ended, has
    // its slider at that step, as it would have had if it had been built with the row.
    choose(a, "btn_custom", true, nullptr, 8);
    Row d = makeRow(QStringLiteral("UPPER.PDF"));
    choose(a, "btn_high", false);
    choose(d, "btn_custom", false);
    QCOMPARE(setting(d), qMakePair(3, 8));
}

void TestFileItemWidget::unlockThroughThePasswordDialog_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("unlocked");

    QTest::newRow("right password") << "locked.pdf" << UserPassword << true;
    QTest::newRow("wrong password, then cancel") << "locked.pdf"
                                                 << "guess" << false;
    // The row learns the page count only from the unlocked file.
    QTest::newRow("right password, pages in encrypted object streams") << "packed.pdf" << UserPassword << true;
}

void TestFileItemWidget::unlockThroughThePasswordDialog()
{
    QFETCH(QString, file);
    QFETCH(QString, password);
    QFETCH(bool, unlocked);

    Row row = makeRow(file);
    row.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(row.widget.get()));
    QSignalSpy decrypted(row.widget.get(), &FileItemWidget::decryptionSuccess);

    ModalWatcher answerer([password](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit_password"))->setText(password);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btn_ok")), Qt::LeftButton);
        if (QApplication::activeModalWidget() == dialog) // still asking
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btn_cancel")), Qt::LeftButton);
    });
    QTest::mouseClick(row.child<QPushButton>("btn_decrypt"), Qt::LeftButton);

    QCOMPARE(decrypted.count(), unlocked ? 1 : 0);
    QCOMPARE(row.item->isLocked(), !unlocked);
    QCOMPARE(row.child("btn_decrypt")->isVisible(), !unlocked);
    QCOMPARE(row.child("btn_compressSetting")->isVisible(), unlocked);
    QCOMPARE(row.child("btn_icon")->styleSheet().contains(QLatin1String("url(:/resource/PDF-3x.png)")), unlocked);
    if (unlocked)
        QCOMPARE(row.text("label_pages"), QStringLiteral("3 Pages"));
}

void TestFileItemWidget::clicksOpenTheDocumentAndTheOutput()
{
    Row row = makeRow(QStringLiteral("c.pdf"));
    row.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(row.widget.get()));
    m_urls.urls.clear();

    QTest::mouseClick(row.child<QPushButton>("btn_icon"), Qt::LeftButton);
    QCOMPARE(m_urls.urls, QList<QUrl>{QUrl::fromLocalFile(fixture(QStringLiteral("c.pdf")))});

    // Without a file manager on the session bus the output's folder opens.
    QTemporaryDir out;
    const QString output = out.filePath(QStringLiteral("c.pdf"));
    QVERIFY(PdfFixtures::writePlain(output));
    finish(row, output);
    m_urls.urls.clear();
    QTest::mouseClick(row.child<QPushButton>("btn_convert_finished"), Qt::LeftButton);
    QCOMPARE(m_urls.urls, QList<QUrl>{QUrl::fromLocalFile(out.path())});
}

QTEST_MAIN(TestFileItemWidget)
#include "tst_fileitemwidget.moc"
