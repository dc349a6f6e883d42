#include "EnterPassword.h"

#include "MainWindow.h"
#include "PDFFileItem.h"
#include "ui_EnterPassword.h"

#include <QKeyEvent>

EnterPassword::EnterPassword(PDFFileItem* item, QWidget* parent) : QDialog(parent), ui(new Ui_EnterPassword), item(item)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->lineEdit_password->setStyleSheet(QStringLiteral("border-color: rgb(151, 194, 245);\n"
                                                        "border-style: solid;\n"
                                                        "border-width: 3px;\n"
                                                        "border-radius: 3px;"));

    // The message comes and goes under the field; the field must not jump when it does.
    QSizePolicy messagePolicy = ui->label_incorrect_pwd->sizePolicy();
    messagePolicy.setRetainSizeWhenHidden(true);
    ui->label_incorrect_pwd->setSizePolicy(messagePolicy);
    ui->label_incorrect_pwd->hide();

    ui->lineEdit_password->setFocus();

    connect(ui->lineEdit_password, &QLineEdit::textChanged, ui->label_incorrect_pwd, &QWidget::hide);
    connect(ui->btn_ok, &QPushButton::clicked, this, &EnterPassword::btn_ok_clicked);
    connect(ui->btn_cancel, &QPushButton::clicked, this, &EnterPassword::btn_cencel_clicked);

    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    // A file that cannot be opened without its password asks for that one; every other file for the
    // password that lifts its restrictions.
    if (item->needOpenPassword())
        ui->label->setText(tr("Open password"));
    else if (item->hasPermissionPassword())
        ui->label->setText(tr("Print password"));
}

EnterPassword::~EnterPassword()
{
    delete ui;
}

int EnterPassword::askPassword(PDFFileItem* item)
{
    auto* dialog = new EnterPassword(item, MainWindow::gInstance());
    // The dialog deletes itself before exec() returns.
    return dialog->exec();
}

void EnterPassword::btn_ok_clicked()
{
    // qpdf may take a password and still not open the file with it (the file changed on disk since it
    // was listed, say): only a file that is really unlocked ends the prompt.
    if (item->unlockPdf(ui->lineEdit_password->text()) && !item->isLocked())
        accept();
    else
        ui->label_incorrect_pwd->show();
}

void EnterPassword::btn_cencel_clicked()
{
    reject();
}

void EnterPassword::keyPressEvent(QKeyEvent* event)
{
    // Return tries the password; Escape must not throw the prompt away, so no key reaches QDialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        btn_ok_clicked();
}
