#pragma once

#include <QDialog>

class PDFFileItem;
class Ui_EnterPassword;

// Asks for the password of a protected PDF and closes only once the file is unlocked (or the user
// gives up). Made on the heap per request; it deletes itself when closed. GUI thread only.
class EnterPassword : public QDialog
{
    Q_OBJECT

public:
    // item is not owned and must outlive the dialog.
    EnterPassword(PDFFileItem* item, QWidget* parent = nullptr);
    ~EnterPassword() override;

    // Runs a new prompt for item over the main window. 1 after the file was unlocked, 0 after Cancel or
    // the close button.
    static int askPassword(PDFFileItem* item);

public slots:
    void btn_ok_clicked();
    void btn_cencel_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Q_DISABLE_COPY(EnterPassword)

    Ui_EnterPassword* ui;
    PDFFileItem* item;
};
