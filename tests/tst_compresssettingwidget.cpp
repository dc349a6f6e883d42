#include "CompressSettingWidget.h"
#include "MultiLanguage.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace {

// Answers in the dialog's translation context only, in capitals: a text in capitals was looked up there.
class CapitalsTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        return qstrcmp(context, "CompressSettingWidget") == 0 ? QString::fromUtf8(sourceText).toUpper() : QString();
    }
};

template <typename T = QWidget> T* child(QWidget& dialog, const QString& name)
{
    return name == dialog.objectName() ? qobject_cast<T*>(&dialog) : dialog.findChild<T*>(name);
}

QString textOf(QWidget* widget)
{
    return widget->isWindow() ? widget->windowTitle() : widget->property("text").toString();
}

// 1: the slider and its two end labels are enabled, 0: all three are disabled, -1: they disagree.
int customState(CompressSettingWidget& dialog)
{
    const bool slider = child(dialog, "customSlider")->isEnabled();
    if (child(dialog, "sliderLabel")->isEnabled() != slider || child(dialog, "sliderLabel1")->isEnabled() != slider)
        return -1;
    return slider ? 1 : 0;
}

// Runs the dialog modally, as its row does, with script as the user. -1: the script left it open.
int runModal(CompressSettingWidget& dialog, const std::function<void()>& script)
{
    QTimer::singleShot(0, &dialog, [&] {
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        script();
    });
    QTimer::singleShot(0, &dialog, [&] {
        if (dialog.isVisible())
            dialog.done(-1);
    });
    return dialog.exec();
}

// Chooses a level, the slider and the box, and presses OK.
int confirm(CompressSettingWidget& dialog, const char* button, int slider, bool toAll)
{
    return runModal(dialog, [&] {
        child<QRadioButton>(dialog, button)->click();
        child<QSlider>(dialog, "customSlider")->setValue(slider);
        child<QCheckBox>(dialog, "checkBoxApplyToAll")->setChecked(toAll);
        QTest::mouseClick(child<QPushButton>(dialog, "btn_ok"), Qt::LeftButton);
    });
}

using Setting = QPair<int, int>;
Setting settingOf(CompressSettingWidget& dialog)
{
    return {dialog.compressSetting().level, dialog.compressSetting().value};
}

} // namespace

class TestCompressSettingWidget : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void form_data();
    void form();
    void retextsWhileHidden_data() { form_data(); }
    void retextsWhileHidden();
    void okStoresTheChosenLevel_data();
    void okStoresTheChosenLevel();
    void cancelStoresNothing();
    void applyToAllAcrossDialogs();
};

void TestCompressSettingWidget::cleanup()
{
    // The shared mode belongs to the whole process: switch it off as a user would, by an OK with the
    // box cleared.
    CompressSettingWidget dialog;
    child<QCheckBox>(dialog, "checkBoxApplyToAll")->setChecked(false);
    child<QPushButton>(dialog, "btn_ok")->click();
}

void TestCompressSettingWidget::form_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // null: placed by a layout
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    QTest::addColumn<QString>("text");

    const QSize none(0, 0);
    const QSize unlimited(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // clang-format off
    QTest::newRow("dialog") << "CompressSettingWidget" << QRect(0, 0, 390, 280) << QSize(390, 280) << QSize(390, 280) << "Compress Setting";
    QTest::newRow("checkBoxApplyToAll") << "checkBoxApplyToAll" << QRect(22, 240, 171, 21) << QSize(80, 0) << unlimited << "Apply to all";
    QTest::newRow("btn_cancel")   << "btn_cancel"   << QRect(210, 240, 75, 23) << none << unlimited << "Cancel";
    QTest::newRow("btn_ok")       << "btn_ok"       << QRect(300, 240, 75, 23) << none << unlimited << "OK";
    QTest::newRow("layoutWidget") << "layoutWidget" << QRect(21, 21, 361, 203) << none << unlimited << QString();
    QTest::newRow("btn_high")     << "btn_high"     << QRect() << none << unlimited << "Small File Size";
    QTest::newRow("label")        << "label"        << QRect() << none << unlimited << "High compression, low quality.";
    QTest::newRow("btn_medium")   << "btn_medium"   << QRect() << none << unlimited << "Medium File Size";
    QTest::newRow("label_2")      << "label_2"      << QRect() << none << unlimited << "Medium compression, medium quality.";
    QTest::newRow("btn_low")      << "btn_low"      << QRect() << none << unlimited << "Large File Size";
    QTest::newRow("label_3")      << "label_3"      << QRect() << none << unlimited << "Low compression, high quality.";
    QTest::newRow("btn_custom")   << "btn_custom"   << QRect() << none << unlimited << "Custom";
    QTest::newRow("sliderLabel1") << "sliderLabel1" << QRect() << none << unlimited << "Small Size";
    QTest::newRow("customSlider") << "customSlider" << QRect() << QSize(100, 15) << QSize(130, 15) << QString();
    QTest::newRow("sliderLabel")  << "sliderLabel"  << QRect() << QSize(20, 0) << unlimited << "Large Size";
    // clang-format on
}

void TestCompressSettingWidget::form()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QFETCH(QString, text);

    CompressSettingWidget dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* widget = child(dialog, name);
    QVERIFY(widget);
    QCOMPARE(widget->minimumSize(), minimum);
    QCOMPARE(widget->maximumSize(), maximum);
    QCOMPARE(textOf(widget), text);
    const QRect laidOut = widget->isWindow() ? QRect(QPoint(), widget->size()) : widget->geometry();
    if (!geometry.isNull()) {
        QCOMPARE(laidOut, geometry);
    } else {
        // Inside its box, neither squeezed below its minimum nor stretched past its maximum.
        QVERIFY(widget->parentWidget()->rect().contains(laidOut));
        QCOMPARE(laidOut.size().expandedTo(minimum).boundedTo(maximum), laidOut.size());
    }
    if (widget == &dialog) {
        QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));
        QCOMPARE(dialog.styleSheet(), QStringLiteral("font: 12px \"Arial\";"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    }
}

void TestCompressSettingWidget::retextsWhileHidden()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    CompressSettingWidget dialog;
    CapitalsTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    MultiLanguage::gInstance()->loadLanguage(1);
    QCOMPARE(textOf(child(dialog, name)), text.toUpper());
    QCoreApplication::removeTranslator(&translator);
    MultiLanguage::gInstance()->loadLanguage(1);
    QCOMPARE(textOf(child(dialog, name)), text);
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
    QCOMPARE(settingOf(dialog), Setting(0, 1));
    QVERIFY(child<QRadioButton>(dialog, "btn_high")->isChecked());
    QVERIFY(!child<QCheckBox>(dialog, "checkBoxApplyToAll")->isChecked());
    QCOMPARE(customState(dialog), 0);
    const int result = runModal(dialog, [&] {
        child<QRadioButton>(dialog, "btn_custom")->click();
        QCOMPARE(customState(dialog), 1);
        child<QRadioButton>(dialog, button)->click();
        QCOMPARE(customState(dialog), level == 3 ? 1 : 0);
        QTest::mouseClick(child<QPushButton>(dialog, "btn_ok"), Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    // The slider's first position goes with every level, not the record's default of 1.
    QCOMPARE(settingOf(dialog), Setting(level, 5));
}

void TestCompressSettingWidget::cancelStoresNothing()
{
    CompressSettingWidget dialog;
    QSignalSpy applied(&dialog, &CompressSettingWidget::settingApplyToAll);
    auto* slider = child<QSlider>(dialog, "customSlider");
    int result = runModal(dialog, [&] {
        child<QRadioButton>(dialog, "btn_custom")->click();
        QTest::keyClick(slider, Qt::Key_End);
        child<QRadioButton>(dialog, "btn_medium")->click();
        child<QCheckBox>(dialog, "checkBoxApplyToAll")->click();
        QTest::mouseClick(child<QPushButton>(dialog, "btn_cancel"), Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(settingOf(dialog), Setting(0, 1));
    QCOMPARE(applied.count(), 0);

    // The next run shows the stored level, and the slider where the user left it.
    dialog.loadSetting();
    QVERIFY(child<QRadioButton>(dialog, "btn_high")->isChecked());
    QVERIFY(!child<QCheckBox>(dialog, "checkBoxApplyToAll")->isChecked());
    QCOMPARE(customState(dialog), 0);
    QCOMPARE(slider->value(), 10);
}

void TestCompressSettingWidget::applyToAllAcrossDialogs()
{
    CompressSettingWidget first;
    CompressSettingWidget second;
    CompressSettingWidget third;
    QSignalSpy applied(&third, &CompressSettingWidget::settingApplyToAll);
    QCOMPARE(confirm(first, "btn_medium", 5, false), int(QDialog::Accepted));
    QCOMPARE(confirm(second, "btn_custom", 8, false), int(QDialog::Accepted));
    QCOMPARE(confirm(third, "btn_low", 4, true), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 1);
    for (CompressSettingWidget* dialog : {&first, &second, &third})
        QCOMPARE(settingOf(*dialog), Setting(2, 4));
    // A file listed now, and any dialog opened now, have the shared setting with the box ticked.
    CompressSettingWidget added;
    QCOMPARE(settingOf(added), Setting(2, 4));
    QVERIFY(child<QRadioButton>(added, "btn_low")->isChecked());
    QVERIFY(child<QCheckBox>(added, "checkBoxApplyToAll")->isChecked());
    second.loadSetting();
    QVERIFY(child<QRadioButton>(second, "btn_low")->isChecked());
    QVERIFY(child<QCheckBox>(second, "checkBoxApplyToAll")->isChecked());
    // Every OK with the box ticked asks for a new run, changed or not.
    QCOMPARE(confirm(third, "btn_low", 4, true), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 2);

    QCOMPARE(confirm(third, "btn_low", 4, false), int(QDialog::Accepted));
    QCOMPARE(applied.count(), 2);
    QCOMPARE(settingOf(first), Setting(1, 5));
    QCOMPARE(settingOf(second), Setting(3, 8));
    QCOMPARE(settingOf(third), Setting(2, 4));
    QCOMPARE(settingOf(added), Setting(0, 1));
    // Dialogs opened from now on have the box cleared again, also one that showed it ticked before.
    CompressSettingWidget later;
    QVERIFY(!child<QCheckBox>(later, "checkBoxApplyToAll")->isChecked());
    // The custom level brings its step back onto the slider, wherever a cancelled run left it.
    child<QSlider>(second, "customSlider")->setValue(1);
    second.loadSetting();
    QVERIFY(!child<QCheckBox>(second, "checkBoxApplyToAll")->isChecked());
    QVERIFY(child<QRadioButton>(second, "btn_custom")->isChecked());
    QCOMPARE(child<QSlider>(second, "customSlider")->value(), 8);
    QCOMPARE(customState(second), 1);
}

QTEST_MAIN(TestCompressSettingWidget)
#include "tst_compresssettingwidget.moc"
