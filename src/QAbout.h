#pragma once

#include <QDialog>

class Ui_QAbout;

// The About box: logo, name, the running version, the rights line and a button to the product's web
// page in the interface language. Run it with exec(); it deletes itself when closed.
class QAbout : public QDialog
{
    Q_OBJECT

public:
    explicit QAbout(QWidget* parent = nullptr);
    ~QAbout() override;

    // Opens the product page; the box stays open.
    void on_pushButton_clicked();

private:
    Q_DISABLE_COPY(QAbout)

    Ui_QAbout* ui;
};
