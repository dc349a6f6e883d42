#include "CRotateLabel.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int StepMilliseconds = 50;
constexpr double StepDegrees = 30; // twelve steps to a turn
} // namespace

CRotateLabel::CRotateLabel(QWidget* parent) : QLabel(parent), timer(new QTimer(this))
{
    connect(timer, &QTimer::timeout, this, &CRotateLabel::rotate);
}

CRotateLabel::~CRotateLabel()
{
    delete timer;
}

void CRotateLabel::startRotate()
{
    show();
    rotating = true;
}

void CRotateLabel::stopRotate()
{
    rotating = false;
    hide();
}

void CRotateLabel::rotate()
{
    angle += StepDegrees;
    // The repaint comes later, on the event loop, so it never sees a full turn.
    update();
    if (angle >= 360)
        angle = 0;
}

void CRotateLabel::showEvent(QShowEvent*)
{
    if (timer && !timer->isActive())
        timer->start(StepMilliseconds);
}

void CRotateLabel::hideEvent(QHideEvent*)
{
    if (timer && timer->isActive())
        timer->stop();
}

void CRotateLabel::paintEvent(QPaintEvent*)
{
    // Shown with its parent but not started: leave the spot empty.
    if (!rotating)
        return;
    const QPixmap picture = pixmap(Qt::ReturnByValue);
    if (picture.isNull())
        return;

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const int halfWidth = width() / 2;
    const int halfHeight = height() / 2;
    painter.translate(halfWidth, halfHeight);
    painter.rotate(angle);
    // Stretched to the label, whatever the picture's own size.
    painter.drawImage(QRect(-halfWidth, -halfHeight, width(), height()), picture.toImage());
}
