#include "QAbout.h"
#include "ui_QAbout.h"

#include "AppConstants.h"
#include "MultiLanguage.h"

#include <QDate>
#include <QDebug>
#include <QDesktopServices>
#include <QUrl>

QAbout::QAbout(QWidget* parent) : QDialog(parent), ui(new Ui_QAbout)
{
    ui->setupUi(this);
    // A title bar with a close button only: no context help, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    ui->lab_product->setText(ProductDisplayName);
    // Always the running version, whatever the form says.
    ui->lab_version->setText(tr("Version %1").arg(AppVersion));
    const QString copyrightSign = QStringLiteral("<span style=\"color: rgb(58, 146, 252);\">&copy;</span>");
    ui->lab_copyright->setText(tr("Copyright %1 %2 Tamrik. All rights reserved.")
                                   .arg(copyrightSign, QString::number(QDate::currentDate().year())));
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->btnMoreInfo, &QPushButton::clicked, this, &QAbout::on_pushButton_clicked);
}

QAbout::~QAbout()
{
    qDebug() << "~QAbout";
    delete ui;
}

void QAbout::on_pushButton_clicked()
{
    QDesktopServices::openUrl(QUrl(MultiLanguage::gInstance()->localizedUrl(ProductPageUrl), QUrl::TolerantMode));
}
