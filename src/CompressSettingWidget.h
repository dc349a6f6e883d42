#pragma once

#include "CompressSetting.h"

#include <QDialog>

class QButtonGroup;
class Ui_CompressSettingWidget;

// The modal dialog in which the user picks how one listed file is compressed: one of four levels and,
// for the custom level, a quality step of 1..10. Each file row has its own; the "Apply to all" box
// switches every row over to one shared setting. Neither the rows' settings nor the shared one are
// stored: every run of the program starts at level 0. GUI thread only.
class CompressSettingWidget : public QDialog
{
    Q_OBJECT

public:
    explicit CompressSettingWidget(QWidget* parent = nullptr);
    ~CompressSettingWidget() override;

    // The setting in force: the shared one while "Apply to all" is on, else this dialog's own.
    CompressSetting& compressSetting();
    // The same for a row that has no dialog yet: the shared setting, or the row's own.
    static CompressSetting& settingInForce(CompressSetting& own);
    // Puts the setting in force into the controls; the row calls it before every run of the dialog.
    void loadSetting();
    // Puts shown into the controls as if it were in force: a dialog built after its row starts from the setting that
    // was in force when the row was made, where one built with the row would have started.
    void loadSetting(const CompressSetting& shown);

signals:
    // OK with "Apply to all" ticked: every file must be compressed again.
    void settingApplyToAll();

private:
    Q_DISABLE_COPY(CompressSettingWidget)

    void btn_ok_clicked();
    void setCustomEnabled(bool enabled);
    void onLanguageChanged();

    Ui_CompressSettingWidget* ui;
    QButtonGroup* levelGroup;
    CompressSetting setting;

    static bool applyToAll;
    static CompressSetting sharedCompressSetting;
};
