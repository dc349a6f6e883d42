#include "CompressSettingWidget.h"

#include "MultiLanguage.h"
#include "ui_CompressSettingWidget.h"

#include <QButtonGroup>

namespace {
constexpr int CustomLevel = 3;
} // namespace

bool CompressSettingWidget::applyToAll = false;
CompressSetting CompressSettingWidget::sharedCompressSetting;

CompressSettingWidget::CompressSettingWidget(QWidget* parent)
    : QDialog(parent), ui(new Ui_CompressSettingWidget), levelGroup(nullptr)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    levelGroup = new QButtonGroup(this);
    levelGroup->addButton(ui->btn_high, 0);
    levelGroup->addButton(ui->btn_medium, 1);
    levelGroup->addButton(ui->btn_low, 2);
    levelGroup->addButton(ui->btn_custom, CustomLevel);

    loadSetting();

    connect(ui->btn_ok, &QPushButton::clicked, this, &CompressSettingWidget::btn_ok_clicked);
    connect(ui->btn_cancel, &QPushButton::clicked, this, &QWidget::hide);
    // Made after loadSetting, which enables the custom controls itself.
    connect(ui->btn_custom, &QRadioButton::toggled, this, &CompressSettingWidget::setCustomEnabled);
    connect(MultiLanguage::gInstance(), &MultiLanguage::languageChanged, this,
            &CompressSettingWidget::onLanguageChanged);
}

CompressSettingWidget::~CompressSettingWidget()
{
    delete ui;
}

CompressSetting& CompressSettingWidget::compressSetting()
{
    return settingInForce(setting);
}

CompressSetting& CompressSettingWidget::settingInForce(CompressSetting& own)
{
    return applyToAll ? sharedCompressSetting : own;
}

void CompressSettingWidget::loadSetting()
{
    loadSetting(compressSetting());
}

void CompressSettingWidget::loadSetting(const CompressSetting& shown)
{
    setCustomEnabled(false);
    // Any level beyond the three fixed ones is the custom one.
    const int level = (shown.level >= 0 && shown.level < CustomLevel) ? shown.level : CustomLevel;
    levelGroup->button(level)->setChecked(true);
    ui->checkBoxApplyToAll->setChecked(applyToAll);
    // The other levels leave the slider where the user last put it.
    if (level == CustomLevel) {
        setCustomEnabled(true);
        ui->customSlider->setValue(shown.value);
    }
}

void CompressSettingWidget::btn_ok_clicked()
{
    setting.level = levelGroup->checkedId();
    setting.value = static_cast<quint16>(ui->customSlider->value());
    // Every OK decides the shared mode: a cleared box gives every row its own setting back.
    applyToAll = ui->checkBoxApplyToAll->isChecked();
    if (applyToAll) {
        sharedCompressSetting = setting;
        emit settingApplyToAll();
    }
    accept();
}

void CompressSettingWidget::setCustomEnabled(bool enabled)
{
    ui->customSlider->setEnabled(enabled);
    ui->sliderLabel->setEnabled(enabled);
    ui->sliderLabel1->setEnabled(enabled);
}

void CompressSettingWidget::onLanguageChanged()
{
    ui->retranslateUi(this);
}
