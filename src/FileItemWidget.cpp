#include "FileItemWidget.h"
#include "ui_FileItemWidget.h"

#include "CompressSettingWidget.h"
#include "EnterPassword.h"
#include "FileItem.h"
#include "LogPosition.h"
#include "MainWindow.h"
#include "MultiLanguage.h"
#include "PDFFileItem.h"
#include "SignalTransferStation.h"
#include "platform/FileManager.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QUrl>
#include <QtPlugin>

// Every row's style sheets name the same pictures: decode each of them once (CachedIconEngine.h).
Q_IMPORT_PLUGIN(CachedIconEnginePlugin)

namespace {

// The icon button's look for a document icon ("PDF-3x.png", "PDFLock-3x.png"); the pressed picture is
// the same name with "Pressed-" in front.
QString iconStyle(const QString& iconName)
{
    return QStringLiteral("QPushButton#btn_icon{\t\t\t\tborder:none;\t\t\t\timage:url(:/resource/%1);\t\t\t\t"
                          "background-color:rgba(255, 255, 255, 0);}\t\t\t\tQPushButton#btn_icon:pressed{\t\t\t\t"
                          "image:url(:/resource/Pressed-%1);\t\t\t\t}")
        .arg(iconName);
}

const QString UnlockedIconStyle =
    QStringLiteral("QPushButton#btn_icon{\t\t\tborder:none;\t\t\timage:url(:/resource/PDF-3x.png);\t\t\t"
                   "background-color:rgba(255, 255, 255, 0);}\t\t\tQPushButton#btn_icon:pressed{\t\t\t"
                   "image:url(:/resource/Pressed-PDF-3x.png);\t\t\t}");

QString elidedFor(const QLabel* label, const QString& text)
{
    return QFontMetrics(label->font()).elidedText(text, Qt::ElideMiddle, label->width());
}

} // namespace

FileItemWidget::FileItemWidget(FileItem* item, QWidget* parent) : QWidget(parent), ui(new Ui_FileItemWidget), item(item)
{
    ui->setupUi(this);
    // The level dialog is built when the row first needs it: most rows never open theirs, and a list of
    // a thousand files would otherwise build a thousand dialogs.
    settingDialog = nullptr;
    settingWhenMade = CompressSettingWidget::settingInForce(ownSetting);
    initItemView();

    connect(ui->btn_icon, &QPushButton::clicked, this, &FileItemWidget::btn_icon_clicked);
    connect(item, &FileItem::processFinishedSignal, this, &FileItemWidget::processFinished);
    // Emitted on a pool thread: the automatic connections queue them to the row.
    connect(item, &FileItem::processing, this, &FileItemWidget::startProcess);
    connect(item, &FileItem::outputFileSignal, this, &FileItemWidget::saveOutputFilePath);
    connect(ui->btn_convert_finished, &MyMarkButton::buttonHide, this, &FileItemWidget::changeProcessedState);
    connect(ui->btn_decrypt, &QPushButton::clicked, this, &FileItemWidget::pdfDecrypt);
    connect(ui->btn_compressSetting, &QPushButton::clicked, this, &FileItemWidget::openCompressSetting);
    connect(ui->btn_convert_finished, &QPushButton::clicked, this, &FileItemWidget::openOutpuFilePath);
    // Direct, so that every row has dropped its result before the dialog's OK returns. A run on its way has
    // no mark to hide; it is told that its result will not count.
    connect(
        SignalTransferStation::gInstance(), &SignalTransferStation::changeProcessedState, this,
        [this] {
            ui->btn_convert_finished->hide();
            this->item->resetProcessed();
        },
        Qt::DirectConnection);
    if (auto* pdfItem = qobject_cast<PDFFileItem*>(item))
        connect(pdfItem, &PDFFileItem::CompressedInfo, this, &FileItemWidget::showCompressedInfo);
    connect(MultiLanguage::gInstance(), &MultiLanguage::languageChanged, this, [this] { updatePagesLabel(); });
}

FileItemWidget::~FileItemWidget()
{
    delete ui;
    delete settingDialog;
}

CompressSetting& FileItemWidget::compressSetting()
{
    // Until the row's dialog exists, nothing can have changed the row's own setting.
    return settingDialog ? settingDialog->compressSetting() : CompressSettingWidget::settingInForce(ownSetting);
}

CompressSettingWidget* FileItemWidget::compressSettingDialog()
{
    if (!settingDialog) {
        settingDialog = new CompressSettingWidget(MainWindow::gInstance());
        // A dialog built with the row would have loaded the setting in force then: its slider would still stand at a
        // custom step of that setting.
        settingDialog->loadSetting(settingWhenMade);
        connect(settingDialog, &CompressSettingWidget::settingApplyToAll, SignalTransferStation::gInstance(),
                &SignalTransferStation::changeProcessedState);
    }
    return settingDialog;
}

void FileItemWidget::initItemView()
{
    // The spinner and the mark share one spot; the strip keeps its width whether they show or not.
    for (QWidget* widget :
         {static_cast<QWidget*>(ui->btn_convert_finished), static_cast<QWidget*>(ui->label_waiting)}) {
        widget->hide();
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }

    ui->btn_icon->setStyleSheet(iconStyle(item->iconName()));
    ui->label_name->setText(elidedFor(ui->label_name, item->fileName()));
    ui->label_size->setText(item->fileSizeText());
    updatePagesLabel();
    if (item->suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        ui->label_pages->hide();

    const bool locked = item->isLocked();
    ui->btn_decrypt->setVisible(locked);
    ui->btn_compressSetting->setVisible(!locked);
}

void FileItemWidget::updatePagesLabel()
{
    ui->label_pages->setText(tr("%1 Pages").arg(item->pageCount()));
}

void FileItemWidget::processFinished(int code)
{
    ui->label_waiting->stopRotate();
    if (item->isRunOutdated()) {
        // The row was reset while the run was on its way: it ends as if the reset came afterwards, and the
        // next run compresses the file with its new setting. What this run wrote stays where it is.
        QDebug line = LOG_DEBUG("FileItemWidget::processFinished")
                      << "Setting changed during the run; compress again:" << item->filePath();
        // A failed run wrote nothing: the path held then is empty, or an earlier run's.
        if (code == 0)
            line << "output kept:" << outputPath;
        ui->btn_convert_finished->hide();
        changeProcessedState();
        return;
    }
    // A disabled mark shows the failure picture and cannot be clicked.
    ui->btn_convert_finished->setEnabled(code == 0);
    ui->btn_convert_finished->show();
}

void FileItemWidget::startProcess()
{
    ui->label_waiting->startRotate();
}

void FileItemWidget::hideLabel()
{
    ui->btn_convert_finished->hide();
}

void FileItemWidget::changeLabelColor(bool flag)
{
    const QString style = flag ? QStringLiteral("color:white;") : QStringLiteral("color:black;");
    for (QLabel* label : {ui->label_name, ui->label_pages, ui->label_size, ui->label_newName, ui->label_newSize})
        label->setStyleSheet(style);
}

void FileItemWidget::pdfDecrypt()
{
    auto* pdfItem = qobject_cast<PDFFileItem*>(item);
    if (!pdfItem)
        return;
    EnterPassword::askPassword(pdfItem);
    if (item->isLocked())
        return;
    ui->btn_icon->setStyleSheet(UnlockedIconStyle);
    // Pages in encrypted object streams are counted only now.
    updatePagesLabel();
    ui->btn_decrypt->hide();
    ui->btn_compressSetting->show();
    emit decryptionSuccess();
}

void FileItemWidget::btn_icon_clicked()
{
    if (item->isLocked())
        pdfDecrypt();
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(item->filePath()));
}

void FileItemWidget::changeProcessedState()
{
    item->resetProcessed();
    ui->label_newName->setText(QString());
    ui->label_newSize->setText(QString());
}

void FileItemWidget::openCompressSetting()
{
    // Whatever the user does in the dialog, the file is compressed again by the next run.
    item->resetProcessed();
    ui->btn_convert_finished->hide();
    CompressSettingWidget* dialog = compressSettingDialog();
    dialog->loadSetting();
    dialog->exec();
}

void FileItemWidget::showCompressedInfo(QString name, QString size)
{
    ui->label_newName->setText(elidedFor(ui->label_newName, name));
    ui->label_newSize->setText(size);
}

void FileItemWidget::openOutpuFilePath()
{
    platform::showInFileManager(outputPath);
}

void FileItemWidget::saveOutputFilePath(QString path)
{
    outputPath = std::move(path);
}
