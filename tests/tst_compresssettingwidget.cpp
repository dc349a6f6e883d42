#include "CompressSettingWidget.h"
#include "MultiLanguage.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace {

constexpr int Unlimited = QWIDGETSIZE_MAX;

// Every text of the form, by object name ("" is the window title).
const QVector<QPair<QString, QString>> FormTexts = {
    {QString(), QStringLiteral("Compress Setting")},
    {QStringLiteral("checkBoxApplyToAll"), QStringLiteral("Apply to all")},
    {QStringLiteral("btn_cancel"), QStringLiteral("Cancel")},
    {QStringLiteral("btn_ok"), QStringLiteral("OK")},
    {QStringLiteral("btn_high"), QStringLiteral("Small File Size")},
    {QStringLiteral("label"), QStringLiteral("High compression, low quality.")},
    {QStringLiteral("btn_medium"), QStringLiteral("Medium File Size")},
    {QStringLiteral("label_2"), QStringLiteral("Medium compression, medium quality.")},
    {QStringLiteral("btn_low"), QStringLiteral("Large File Size")},
    {QStringLiteral("label_3"), QStringLiteral("Low compression, high quality.")},
    {QStringLiteral("btn_custom"), QStringLiteral("Custom")},
    {QStringLiteral("sliderLabel1"), QStringLiteral("Small Size")},
    {QStringLiteral("sliderLabel"), QStringLiteral("Large Size")},
};

// Answers in one translation context only, in capitals: a text in capitals was looked up there.
class CapitalsTranslator : public QTranslator
{
public:
    explicit CapitalsTranslator(const char* context) : m_context(context) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        return qstrcmp(context, m_context) == 0 ? QString::fromUtf8(sourceText).toUpper() : QString();
    }

private:
    const char* m_context;
};

QWidget* part(QWidget& dialog, const QString& name)
{
    return name.isEmpty() ? &dialog : dialog.findChild<QWidget*>(name);
}

QString textOf(QWidget* widget)
{
    return widget->isWindow() ? widget->windowTitle() : widget->property("text").toString();
}

template <typename T> T* child(QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
}

// 1: the slider and its two end labels are enabled, 0: all three are disabled, -1: they disagree.
int customState(CompressSettingWidget& dialog)
{
    const bool slider = child<QSlider>(dialog, "customSlider")->isEnabled();
    if (child<QLabel>(dialog, "sliderLabel")->isEnabled() != slider ||
        child<QLabel>(dialog, "sliderLabel1")->isEnabled() != slider)
        return -1;
    return slider ? 1 : 0;
}

} // namespace

class TestCompressSettingWidget : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void form_data();
    void form();
    void okStoresTheChosenLevel_data();
    void okStoresTheChosenLevel();
    void loadSettingShowsTheSettingInForce_data();
    void loadSettingShowsTheSettingInForce();
    void cancelStoresNothing();
    void applyToAllAcrossDialogs();
    void retextsOnLanguageChange_data();
    void retextsOnLanguageChange();

private:
    // Runs the dialog modally, as its row does, with script as the user; gives up after a while.
    int runModal(CompressSettingWidget& dialog, const std::function<void()>& script);
};

void TestCompressSettingWidget::cleanup()
{
    // The shared mode belongs to the whole process: switch it off as a user would, by an OK with the
    // box cleared.
    CompressSettingWidget dialog;
    child<QCheckBox>(dialog, "checkBoxApplyToAll")->setChecked(false);
    child<QPushButton>(dialog, "btn_ok")->click();
}

int TestCompressSettingWidget::runModal(CompressSettingWidget& dialog, const std::function<void()>& script)
{
    QTimer::singleShot(0, &dialog, [&] {
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        script();
        // A check that failed half-way leaves the dialog open.
        if (QTest::currentTestFailed() && dialog.isVisible())
            dialog.done(-1);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, &dialog, [&] { dialog.done(-1); });
    watchdog.start(10000);
    return dialog.exec(); // -1: the script did not end the run
}

void TestCompressSettingWidget::form_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // null: placed by a layout
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    QTest::addColumn<bool>("enabled");

    const QSize none(0, 0);
    const QSize unlimited(Unlimited, Unlimited);
    // clang-format off
    QTest::newRow("dialog")             << QString() << QRect(0, 0, 390, 280) << QSize(390, 280) << QSize(390, 280) << true;
    QTest::newRow("checkBoxApplyToAll") << "checkBoxApplyToAll" << QRect(22, 240, 171, 21) << QSize(80, 0) << unlimited << true;
    QTest::newRow("btn_cancel")         << "btn_cancel"   << QRect(210, 240, 75, 23) << none << unlimited << true;
    QTest::newRow("btn_ok")             << "btn_ok"       << QRect(300, 240, 75, 23) << none << unlimited << true;
    QTest::newRow("layoutWidget")       << "layoutWidget" << QRect(21, 21, 361, 203) << none << unlimited << true;
    QTest::newRow("btn_high")           << "btn_high"     << QRect() << none << unlimited << true;
    QTest::newRow("label")              << "label"        << QRect() << none << unlimited << true;
    QTest::newRow("btn_medium")         << "btn_medium"   << QRect() << none << unlimited << true;
    QTest::newRow("label_2")            << "label_2"      << QRect() << none << unlimited << true;
    QTest::newRow("btn_low")            << "btn_low"      << QRect() << none << unlimited << true;
    QTest::newRow("label_3")            << "label_3"      << QRect() << none << unlimited << true;
    QTest::newRow("btn_custom")         << "btn_custom"   << QRect() << none << unlimited << true;
    QTest::newRow("sliderLabel1")       << "sliderLabel1" << QRect() << none << unlimited << false;
    QTest::newRow("customSlider")       << "customSlider" << QRect() << QSize(100, 15) << QSize(130, 15) << false;
    QTest::newRow("sliderLabel")        << "sliderLabel"  << QRect() << QSize(20, 0) << unlimited << false;
    // clang-format on
}

void TestCompressSettingWidget::form()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QFETCH(bool, enabled);

    CompressSettingWidget dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QWidget* widget = part(dialog, name);
    QVERIFY(widget);
    QCOMPARE(widget->objectName(), name.isEmpty() ? QStringLiteral("CompressSettingWidget") : name);
    QCOMPARE(widget->minimumSize(), minimum);
    QCOMPARE(widget->maximumSize(), maximum);
    QCOMPARE(widget->isEnabled(), enabled);
    const QRect laidOut = widget->isWindow() ? QRect(QPoint(), widget->size()) : widget->geometry();
    if (!geometry.isNull()) {
        QCOMPARE(laidOut, geometry);
    } else {
        // Inside its box, not squeezed below its minimum nor stretched past its maximum.
        QVERIFY2(widget->parentWidget()->rect().contains(laidOut), qPrintable(name));
        QCOMPARE(laidOut.size().expandedTo(minimum).boundedTo(maximum), laidOut.size());
    }
    const auto text = std::find_if(FormTexts.begin(), FormTexts.end(), [&](const auto& t) { return t.first == name; });
    QCOMPARE(textOf(widget), text == FormTexts.end() ? QString() : text->second);

    if (widget != &dialog)
        return;
    QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));
    QCOMPARE(dialog.font().weight(), 50);
    QCOMPARE(dialog.styleSheet(), QStringLiteral("font: 12px \"Arial\";"));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    // Top to bottom, and the slider row from left to right.
    int y = -1;
    for (const char* below :
         {"btn_high", "label", "btn_medium", "label_2", "btn_low", "label_3", "btn_custom", "customSlider"}) {
        QVERIFY2(child<QWidget>(dialog, below)->y() > y, below);
        y = child<QWidget>(dialog, below)->y();
    }
    QVERIFY(child<QWidget>(dialog, "sliderLabel1")->geometry().right() < child<QWidget>(dialog, "customSlider")->x());
    QVERIFY(child<QWidget>(dialog, "customSlider")->geometry().right() < child<QWidget>(dialog, "sliderLabel")->x());
    // The keyboard walks the bottom row first, then the levels.
    QStringList focusChain;
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            focusChain << w->objectName();
    }
    QCOMPARE(focusChain, QStringList({"checkBoxApplyToAll", "btn_cancel", "btn_ok", "btn_high", "btn_medium", "btn_low",
                                      "btn_custom", "customSlider"}));
}

void TestCompressSettingWidget::okStoresTheChosenLevel_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("level");

    QTest::newRow("small file") << "btn_high" << 0;
    QTest::newRow("medium") << "btn_medium" << 1;
    QTest::newRow("large file") << "btn_low" << 2;
    QTest::newRow("custom") << "btn_custom" << 3;
}

void TestCompressSettingWidget::okStoresTheChosenLevel()
{
    QFETCH(QString, button);
    QFETCH(int, level);

    CompressSettingWidget dialog;
    QCOMPARE(dialog.compressSetting().level, 0);
    QCOMPARE(dialog.compressSetting().value, quint16(1));
    QVERIFY(child<QRadioButton>(dialog, "btn_high")->isChecked());
    QCOMPARE(customState(dialog), 0);

    const int result = runModal(dialog, [&] {
        child<QRadioButton>(dialog, "btn_custom")->click();
        QCOMPARE(customState(dialog), 1);
        dialog.findChild<QRadioButton*>(button)->click();
        QCOMPARE(customState(dialog), level == 3 ? 1 : 0);
        QTest::mouseClick(child<QPushButton>(dialog, "btn_ok"), Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(dialog.isHidden());
    // The slider's first position goes with every level, not the record's default of 1.
    QCOMPARE(dialog.compressSetting().level, level);
    QCOMPARE(dialog.compressSetting().value, quint16(5));

    dialog.loadSetting();
    QVERIFY(dialog.findChild<QRadioButton*>(button)->isChecked());
    QCOMPARE(customState(dialog), level == 3 ? 1 : 0);
}

void TestCompressSettingWidget::loadSettingShowsTheSettingInForce_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("slider");

    QTest::newRow("custom, 8") << 3 << 8 << "btn_custom" << 8;
    QTest::newRow("custom, 10") << 3 << 10 << "btn_custom" << 10;
    // Only the custom level moves the slider.
    QTest::newRow("medium, 8") << 1 << 8 << "btn_medium" << 5;
    QTest::newRow("large file, 2") << 2 << 2 << "btn_low" << 5;
    QTest::newRow("unknown level counts as custom") << 7 << 2 << "btn_custom" << 2;
}

void TestCompressSettingWidget::loadSettingShowsTheSettingInForce()
{
    QFETCH(int, level);
    QFETCH(int, value);
    QFETCH(QString, button);
    QFETCH(int, slider);

    CompressSettingWidget dialog;
    dialog.compressSetting() = CompressSetting{level, quint16(value)};
    dialog.loadSetting();
    QVERIFY(dialog.findChild<QRadioButton*>(button)->isChecked());
    QCOMPARE(child<QSlider>(dialog, "customSlider")->value(), slider);
    QCOMPARE(customState(dialog), button == QLatin1String("btn_custom") ? 1 : 0);
    QVERIFY(!child<QCheckBox>(dialog, "checkBoxApplyToAll")->isChecked());
}

void TestCompressSettingWidget::cancelStoresNothing()
{
    CompressSettingWidget dialog;
    QSignalSpy applied(&dialog, &CompressSettingWidget::settingApplyToAll);
    auto* slider = child<QSlider>(dialog, "customSlider");

    int result = runModal(dialog, [&] {
        child<QRadioButton>(dialog, "btn_custom")->click();
        slider->setFocus();
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 8);
        child<QRadioButton>(dialog, "btn_medium")->click();
        child<QCheckBox>(dialog, "checkBoxApplyToAll")->click();
        QTest::mouseClick(child<QPushButton>(dialog, "btn_cancel"), Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(dialog.compressSetting().level, 0);
    QCOMPARE(dialog.compressSetting().value, quint16(1));
    QCOMPARE(applied.count(), 0);

    // The next run shows the stored level again but keeps the slider where the user left it.
    dialog.loadSetting();
    QVERIFY(child<QRadioButton>(dialog, "btn_high")->isChecked());
    QVERIFY(!child<QCheckBox>(dialog, "checkBoxApplyToAll")->isChecked());
    QCOMPARE(customState(dialog), 0);
    QCOMPARE(slider->value(), 8);
    result = runModal(dialog, [&] {
        child<QRadioButton>(dialog, "btn_custom")->click();
        QTest::mouseClick(child<QPushButton>(dialog, "btn_ok"), Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.compressSetting().level, 3);
    QCOMPARE(dialog.compressSetting().value, quint16(8));
}

void TestCompressSettingWidget::applyToAllAcrossDialogs()
{
    const auto confirm = [this](CompressSettingWidget& dialog, const char* button, int value, bool toAll) {
        return runModal(dialog, [&] {
            dialog.findChild<QRadioButton*>(QLatin1String(button))->click();
            child<QSlider>(dialog, "customSlider")->setValue(value);
            child<QCheckBox>(dialog, "checkBoxApplyToAll")->setChecked(toAll);
            QTest::mouseClick(child<QPushButton>(dialog, "btn_ok"), Qt::LeftButton);
        });
    };
    const auto setting = [](CompressSettingWidget& dialog) {
        return qMakePair(dialog.compressSetting().level, int(dialog.compressSetting().value));
    };
    using Setting = QPair<int, int>;

    CompressSettingWidget first;
    CompressSettingWidget second;
    CompressSettingWidget third;
    QSignalSpy applied(&third, &CompressSettingWidget::settingApplyToAll);
    QCOMPARE(confirm(first, "btn_medium", 5, false), int(QDialog::Accepted));
    QCOMPARE(confirm(second, "btn_custom", 8, false), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 0);
    QCOMPARE(setting(first), Setting(1, 5));
    QCOMPARE(setting(second), Setting(3, 8));

    QCOMPARE(confirm(third, "btn_low", 5, true), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 1);
    for (CompressSettingWidget* dialog : {&first, &second, &third})
        QCOMPARE(setting(*dialog), Setting(2, 5));
    // A file listed now, and any dialog opened now, show the shared setting with the box ticked.
    CompressSettingWidget added;
    QCOMPARE(setting(added), Setting(2, 5));
    for (CompressSettingWidget* dialog : {&added, &first}) {
        dialog->loadSetting();
        QVERIFY(child<QRadioButton>(*dialog, "btn_low")->isChecked());
        QVERIFY(child<QCheckBox>(*dialog, "checkBoxApplyToAll")->isChecked());
    }

    // Every OK with the box ticked asks for a new run, changed or not.
    QCOMPARE(confirm(third, "btn_low", 5, true), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 2);

    QCOMPARE(confirm(third, "btn_low", 5, false), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 2);
    QCOMPARE(setting(first), Setting(1, 5));
    QCOMPARE(setting(second), Setting(3, 8));
    QCOMPARE(setting(third), Setting(2, 5));
    QCOMPARE(setting(added), Setting(0, 1));
}

void TestCompressSettingWidget::retextsOnLanguageChange_data()
{
    QTest::addColumn<int>("shown"); // 0 never, 1 shown then hidden, 2 on screen

    QTest::newRow("never shown") << 0;
    QTest::newRow("hidden after a run") << 1;
    QTest::newRow("on screen") << 2;
}

void TestCompressSettingWidget::retextsOnLanguageChange()
{
    QFETCH(int, shown);

    CompressSettingWidget dialog;
    if (shown > 0) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (shown == 1)
            dialog.hide();
    }

    CapitalsTranslator translator("CompressSettingWidget");
    QVERIFY(QCoreApplication::installTranslator(&translator));
    MultiLanguage::gInstance()->loadLanguage(1);
    for (const auto& text : FormTexts)
        QCOMPARE(textOf(part(dialog, text.first)), text.second.toUpper());

    QCoreApplication::removeTranslator(&translator);
    MultiLanguage::gInstance()->loadLanguage(1);
    for (const auto& text : FormTexts)
        QCOMPARE(textOf(part(dialog, text.first)), text.second);
}

QTEST_MAIN(TestCompressSettingWidget)
#include "tst_compresssettingwidget.moc"
