#include "EnterPassword.h"
#include "MainWindow.h"
#include "PDFFileItem.h"
#include "PdfFixtures.h"

#include <QtTest>
#include <QtWidgets>

using PdfFixtures::Cipher;

namespace {

const QString UserPassword = QStringLiteral("Öffnen 1");
const QString OwnerPassword = QStringLiteral("owner");

// Answers in the dialog's translation context only, in capitals: a text in capitals was looked up there.
class CapitalsTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        return qstrcmp(context, "EnterPassword") == 0 ? QString::fromUtf8(sourceText).toUpper() : QString();
    }
};

template <typename T> T* child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QLatin1String(name));
}

} // namespace

class TestEnterPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void form_data();
    void form();
    void prompt_data();
    void prompt();

private:
    QString fixture(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    CapitalsTranslator m_translator;
};

void TestEnterPassword::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString plain = fixture(QStringLiteral("plain.pdf"));
    QVERIFY(PdfFixtures::writePlain(plain));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture("owner-rc4.pdf"), Cipher::Rc4, QString(), OwnerPassword));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture("owner-aes.pdf"), Cipher::Aes256, QString(), OwnerPassword));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture("user-rc4.pdf"), Cipher::Rc4, UserPassword, OwnerPassword));
    QVERIFY(PdfFixtures::writeEncrypted(plain, fixture("user-aes.pdf"), Cipher::Aes256, UserPassword, OwnerPassword));
    // Every text below is expected in capitals, which proves the dialog's own translation context.
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
}

void TestEnterPassword::form_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // null: placed by a layout
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    QTest::addColumn<QString>("text");

    const QSize none(0, 0);
    const QSize unlimited(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // clang-format off
    QTest::newRow("dialog")       << "EnterPassword" << QRect(0, 0, 340, 110) << QSize(340, 110) << QSize(340, 110) << "PASSWORD";
    QTest::newRow("btn_cancel")   << "btn_cancel"   << QRect(160, 78, 75, 23) << none << unlimited << "CANCEL";
    QTest::newRow("btn_ok")       << "btn_ok"       << QRect(253, 78, 75, 23) << none << unlimited << "OK";
    QTest::newRow("layoutWidget") << "layoutWidget" << QRect(1, 20, 341, 51)  << none << unlimited << QString();
    QTest::newRow("label")        << "label"        << QRect() << QSize(0, 27) << QSize(QWIDGETSIZE_MAX, 27) << "PRINT PASSWORD";
    QTest::newRow("lineEdit_password")   << "lineEdit_password"   << QRect() << QSize(170, 27) << unlimited << QString();
    QTest::newRow("label_incorrect_pwd") << "label_incorrect_pwd" << QRect() << QSize(0, 20) << unlimited << "INCORRECT PASSWORD";
    // clang-format on
}

void TestEnterPassword::form()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QFETCH(QString, text);

    PDFFileItem item(fixture("owner-aes.pdf"));
    QVERIFY(item.openPdf());
    QPointer<EnterPassword> dialog = new EnterPassword(&item);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    QWidget* widget = name == dialog->objectName() ? dialog.data() : child<QWidget>(dialog, qPrintable(name));
    QVERIFY(widget);
    QCOMPARE(widget->minimumSize(), minimum);
    QCOMPARE(widget->maximumSize(), maximum);
    const QRect laidOut = widget->isWindow() ? QRect(QPoint(), widget->size()) : widget->geometry();
    if (!geometry.isNull())
        QCOMPARE(laidOut, geometry);
    else
        QCOMPARE(laidOut.size().expandedTo(minimum).boundedTo(maximum), laidOut.size());
    QCOMPARE(widget->isWindow() ? widget->windowTitle() : widget->property("text").toString(), text);

    if (widget == dialog) {
        QCOMPARE(dialog->font().family(), QStringLiteral("Arial"));
        QCOMPARE(dialog->styleSheet(), QStringLiteral("font: 12px \"Arial\";"));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
        auto* field = child<QLineEdit>(dialog, "lineEdit_password");
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        // Typing goes to the field; the message waits, hidden, for a wrong password.
        QCOMPARE(dialog->focusWidget(), field);
        QVERIFY(!child<QWidget>(dialog, "label_incorrect_pwd")->isVisible());
    }
    dialog->close();
    QTRY_VERIFY(dialog.isNull());
}

void TestEnterPassword::prompt_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("replacedBy"); // the file that takes the listed one's place before the prompt
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("action"); // a key, or the button or close box that ends the try
    QTest::addColumn<bool>("tried");     // still open afterwards, with the red message
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("locked");

    const QString none;
    const QString open = QStringLiteral("OPEN PASSWORD");
    const QString print = QStringLiteral("PRINT PASSWORD");
    // clang-format off
    QTest::newRow("open password, Return") << "user-rc4.pdf"  << none << open  << UserPassword  << "Return" << false << 1 << false;
    QTest::newRow("open password, Enter")  << "user-aes.pdf"  << none << open  << UserPassword  << "Enter"  << false << 1 << false;
    QTest::newRow("open password, OK")     << "user-aes.pdf"  << none << open  << UserPassword  << "OK"     << false << 1 << false;
    QTest::newRow("owner password opens")  << "user-rc4.pdf"  << none << open  << OwnerPassword << "OK"     << false << 1 << false;
    QTest::newRow("print password")        << "owner-rc4.pdf" << none << print << OwnerPassword << "Return" << false << 1 << false;
    QTest::newRow("unencrypted file")      << "plain.pdf"     << none << print << "x"           << "OK"     << false << 1 << false;
    QTest::newRow("wrong password")        << "user-rc4.pdf"  << none << open  << "Offnen 1"    << "Return" << true  << 0 << true;
    // The empty text is tried as well: it is the user password of a file restricted by its owner.
    QTest::newRow("empty, locked")         << "user-aes.pdf"  << none << open  << ""            << "OK"     << true  << 0 << true;
    QTest::newRow("empty, restricted")     << "owner-aes.pdf" << none << print << ""            << "OK"     << false << 1 << false;
    QTest::newRow("Escape does nothing")   << "user-rc4.pdf"  << none << open  << UserPassword  << "Escape" << false << 0 << true;
    QTest::newRow("Cancel")                << "user-rc4.pdf"  << none << open  << UserPassword  << "Cancel" << false << 0 << true;
    QTest::newRow("close box")             << "user-rc4.pdf"  << none << open  << UserPassword  << "Close"  << false << 0 << true;
    // qpdf takes any password for a file that is no longer encrypted, but the listed file stays locked.
    QTest::newRow("replaced by a plain file") << "user-rc4.pdf" << "plain.pdf" << open << "x" << "Return" << true << 0 << true;
    // clang-format on
}

void TestEnterPassword::prompt()
{
    QFETCH(QString, file);
    QFETCH(QString, replacedBy);
    QFETCH(QString, label);
    QFETCH(QString, password);
    QFETCH(QString, action);
    QFETCH(bool, tried);
    QFETCH(int, result);
    QFETCH(bool, locked);

    const QString path = fixture(QStringLiteral("listed.pdf"));
    QFile::remove(path);
    QVERIFY(QFile::copy(fixture(file), path));
    PDFFileItem item(path);
    QVERIFY(item.openPdf());
    if (!replacedBy.isEmpty())
        QVERIFY(QFile::remove(path) && QFile::copy(fixture(replacedBy), path));

    QPointer<EnterPassword> dialog;
    bool stillOpen = false;
    const auto attempt = [&] {
        dialog = qobject_cast<EnterPassword*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), MainWindow::gInstance());
        QCOMPARE(child<QLabel>(dialog, "label")->text(), label);
        auto* field = child<QLineEdit>(dialog, "lineEdit_password");
        auto* message = child<QLabel>(dialog, "label_incorrect_pwd");
        const QRect fieldPlace = field->geometry();
        QTest::keyClicks(field, password);
        if (action == QLatin1String("OK") || action == QLatin1String("Cancel"))
            QTest::mouseClick(child<QPushButton>(dialog, action == QLatin1String("OK") ? "btn_ok" : "btn_cancel"),
                              Qt::LeftButton);
        else if (action == QLatin1String("Close"))
            dialog->close();
        else if (action == QLatin1String("Enter"))
            QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(field, action == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);

        stillOpen = dialog->isVisible();
        if (!stillOpen)
            return;
        QCOMPARE(message->isVisible(), tried);
        QCOMPARE(field->text(), password);
        QCOMPARE(dialog->focusWidget(), field); // the buttons do not take it away
        // The next keystroke takes the message away; the field stays where it was all along.
        QTest::keyClick(field, Qt::Key_A);
        QVERIFY(!message->isVisible());
        QCOMPARE(field->geometry(), fieldPlace);
    };
    QTimer::singleShot(0, this, [&] {
        attempt();
        // Still open after a failed try, or after a failed check.
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            open->reject();
    });

    QCOMPARE(EnterPassword::askPassword(&item), result);
    QVERIFY(dialog.isNull()); // deleted by the end of the run
    QCOMPARE(stillOpen, tried || action == QLatin1String("Escape"));
    QCOMPARE(item.isLocked(), locked);
}

QTEST_MAIN(TestEnterPassword)
#include "tst_enterpassword.moc"
