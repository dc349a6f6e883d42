#pragma once

#include <QLabel>

class QTimer;

// A label that spins its pixmap about its centre, 30 degrees every 50 ms, while work runs. It paints
// nothing unless started, so merely showing it (with its parent, say) leaves an empty spot.
class CRotateLabel : public QLabel
{
public:
    explicit CRotateLabel(QWidget* parent = nullptr);
    ~CRotateLabel() override;

    // Shows the label and lets it paint; it goes on from the angle where it last stopped.
    void startRotate();
    // Stops painting and hides the label.
    void stopRotate();
    // One step of the turn; the timer's receiver.
    void rotate();

    double currentAngle() const { return angle; }
    bool isRotating() const { return rotating; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Q_DISABLE_COPY(CRotateLabel)

    QTimer* timer = nullptr;
    double angle = 0;
    bool rotating = false;
};
