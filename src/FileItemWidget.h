#pragma once

#include "CompressSetting.h"

#include <QString>
#include <QWidget>

class CompressSettingWidget;
class FileItem;
class Ui_FileItemWidget;

// One row of the file list: the document's icon, name, size and pages; while it is compressed a
// spinner; afterwards the output name and size and a finished mark (or a failure mark). Its buttons
// unlock the document, open its compression-level dialog and show the output file. GUI thread only;
// what a compression reports from the pool arrives queued.
class FileItemWidget : public QWidget
{
    Q_OBJECT

public:
    // item is not owned; the row must be deleted before it.
    FileItemWidget(FileItem* item, QWidget* parent = nullptr);
    ~FileItemWidget() override;

    // What the row's document is compressed with at the next run.
    virtual CompressSetting& compressSetting();
    FileItem* fileItem() const { return item; }

signals:
    void decryptionSuccess();

public slots:
    void processFinished(int code);
    void startProcess();
    void hideLabel();
    void changeLabelColor(bool flag);
    void pdfDecrypt();

protected slots:
    void btn_icon_clicked();
    void changeProcessedState();
    void openCompressSetting();
    void showCompressedInfo(QString name, QString size);
    void openOutpuFilePath();
    void saveOutputFilePath(QString path);

private:
    Q_DISABLE_COPY(FileItemWidget)

    void initItemView();
    void updatePagesLabel();
    // The row's level dialog, built on first use.
    CompressSettingWidget* compressSettingDialog();

    Ui_FileItemWidget* ui;
    FileItem* item;
    CompressSettingWidget* settingDialog;
    // The row's own setting while it has no dialog yet.
    CompressSetting ownSetting;
    // The setting in force when the row was made, which its dialog starts from whenever it is built.
    CompressSetting settingWhenMade;
    QString outputPath;
};
