#include "CRotateLabel.h"
#include "Waiting.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Left half red, right half blue: shows which way the picture points.
QPixmap halfRedSquare()
{
    QPixmap picture(10, 10);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, 5, 10, Qt::red);
    return picture;
}

// What the label itself paints, without the background that grab() would add.
QImage painted(QWidget* label)
{
    QImage image(label->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    label->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

} // namespace

class TestCRotateLabel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void turnsWhileStarted();
    void picture_data();
    void picture();
    void waitingIsBuiltHidden();

private:
    QWidget* m_window = nullptr;
    CRotateLabel* m_label = nullptr;
};

void TestCRotateLabel::init()
{
    m_window = new QWidget;
    m_window->resize(100, 100);
    m_label = new CRotateLabel(m_window);
    m_label->setGeometry(10, 10, 40, 40);
    m_label->setPixmap(halfRedSquare());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestCRotateLabel::cleanup()
{
    delete m_window;
}

void TestCRotateLabel::turnsWhileStarted()
{
    auto* timer = m_label->findChild<QTimer*>();
    QVERIFY(timer);
    m_label->hide();
    QVERIFY(!timer->isActive());
    const double start = m_label->currentAngle();

    QVector<double> angles;
    connect(timer, &QTimer::timeout, this, [&] { angles << m_label->currentAngle(); });
    m_label->startRotate();
    QVERIFY(m_label->isVisible());
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 50);
    QTRY_VERIFY_WITH_TIMEOUT(angles.size() >= 13, 30000);
    // Twelve steps of 30 degrees make a turn; a paint never sees 360.
    for (int tick = 0; tick < 13; ++tick)
        QCOMPARE(angles.at(tick), std::fmod(start + 30 * (tick + 1), 360));

    m_label->stopRotate();
    QVERIFY(!m_label->isVisible());
    QVERIFY(!timer->isActive());
    const double stoppedAt = m_label->currentAngle();
    QTest::qWait(200);
    QCOMPARE(m_label->currentAngle(), stoppedAt);

    // It goes on where it stopped.
    angles.clear();
    m_label->startRotate();
    QTRY_VERIFY_WITH_TIMEOUT(!angles.isEmpty(), 30000);
    QCOMPARE(angles.first(), std::fmod(stoppedAt + 30, 360));
}

void TestCRotateLabel::picture_data()
{
    QTest::addColumn<bool>("started");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPoint>("red"); // in the label; null when nothing may be painted
    QTest::addColumn<QPoint>("blue");

    // Clockwise on screen about the centre (20, 20), the 10 x 10 picture stretched over 40 x 40.
    QTest::newRow("shown, not started") << false << 0.0 << QPoint() << QPoint();
    QTest::newRow("0 degrees") << true << 0.0 << QPoint(5, 20) << QPoint(35, 20);
    QTest::newRow("90 degrees") << true << 90.0 << QPoint(20, 5) << QPoint(20, 35);
    QTest::newRow("180 degrees") << true << 180.0 << QPoint(35, 20) << QPoint(5, 20);
    QTest::newRow("270 degrees") << true << 270.0 << QPoint(20, 35) << QPoint(20, 5);
}

void TestCRotateLabel::picture()
{
    QFETCH(bool, started);
    QFETCH(double, angle);
    QFETCH(QPoint, red);
    QFETCH(QPoint, blue);

    if (started)
        m_label->startRotate();
    QVERIFY(m_label->isVisible());
    QCOMPARE(m_label->isRotating(), started);
    // The timer turns the angle while the label is shown; render() paints at once, before it ticks again.
    for (int step = 0; step < 12 && m_label->currentAngle() != angle; ++step)
        m_label->rotate();
    QCOMPARE(m_label->currentAngle(), angle);
    const QImage image = painted(m_label);
    QCOMPARE(image.size(), QSize(40, 40));

    if (red.isNull()) {
        QImage nothing(image.size(), image.format());
        nothing.fill(Qt::transparent);
        QCOMPARE(image, nothing);
        return;
    }
    QCOMPARE(QColor(image.pixel(red)), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(blue)), QColor(Qt::blue));
}

void TestCRotateLabel::waitingIsBuiltHidden()
{
    Waiting waiting(nullptr);
    QCoreApplication::processEvents();
    QVERIFY(waiting.isWindow());
    QVERIFY(waiting.isHidden());
    QCOMPARE(waiting.size(), QSize(94, 66));
    QCOMPARE(waiting.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint);
    QVERIFY(waiting.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(waiting.windowModality(), Qt::ApplicationModal);

    auto* spinner = dynamic_cast<CRotateLabel*>(waiting.findChild<QLabel*>());
    QVERIFY(spinner);
    QCOMPARE(spinner->maximumSize(), QSize(48, 48));
    QVERIFY(!spinner->isRotating());
}

QTEST_MAIN(TestCRotateLabel)
#include "tst_crotatelabel.moc"
