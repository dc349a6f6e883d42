#pragma once

#include <QWidget>

class CRotateLabel;
class MainWindow;

// A small frameless busy overlay with a spinner. The main window keeps one, hidden.
class Waiting : public QWidget
{
    Q_OBJECT

public:
    explicit Waiting(MainWindow* owner);
    ~Waiting() override;

private:
    Q_DISABLE_COPY(Waiting)

    MainWindow* owner; // not owned
    CRotateLabel* spinner;
};
