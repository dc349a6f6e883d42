// Draws every picture of the interface with QPainter and writes the files that the forms load from
// ":/resource/". scripts/remake-images.sh builds and runs it; the only argument is the folder to write into.
//
// Qt 5 shows a style-sheet "image:" and a QIcon at most as large as the spot it is given (the contents
// rectangle, or the icon size) and scales a larger picture down to fit that spot, keeping its aspect ratio;
// a "@2x" file beside a smaller one is drawn too large wherever the spot is larger than the 1x picture. So
// each picture is drawn on a canvas exactly the size of its spot, in logical pixels, and stored at three
// times that size: it fits its spot on every screen and stays sharp up to 3x. Straight edges lie on the
// logical pixel grid, so the copies Qt scales down for 1x and 2x screens keep hard edges.

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

const QColor kBlue(0x39, 0x93, 0xF2);
const QColor kBluePressed(0x28, 0x67, 0xA9);
const QColor kBlueDeep(0x2B, 0x7D, 0xD6); // the back of a folder, behind its blue front
const QColor kBlueDeepPressed(0x1D, 0x4F, 0x86);
const QColor kBlueLine(0xB9, 0xD7, 0xF8); // text lines drawn on a page
const QColor kBluePale(0xDC, 0xEB, 0xFC); // folded page corners
const QColor kBluePalePressed(0xC3, 0xD6, 0xEC);
const QColor kPagePressed(0xEE, 0xF3, 0xF9);
const QColor kTrack(0xA8, 0xCE, 0xF8); // slider tracks of the settings button
const QColor kTrackPressed(0x8F, 0xAF, 0xD2);
const QColor kGrey(181, 181, 181); // disabled controls
const QColor kGreyDeep(0x9A, 0x9A, 0x9A);
const QColor kBoxBorder(0xA4, 0xB1, 0xBF); // unticked check box
const QColor kGreen(0x2E, 0xB0, 0x67);
const QColor kGreenPressed(0x22, 0x86, 0x4E);
const QColor kRed(0xE5, 0x48, 0x4D);
const QColor kInk(0x55, 0x5B, 0x63); // window buttons on the light title bar

// Device pixels per logical pixel of every stored picture but the spinners.
constexpr qreal kScale = 3;
// The spinner label stretches its picture with bilinear filtering while it turns, which only averages
// neighbouring pixels; a picture twice the label's size keeps that filter from skipping detail at 1x.
constexpr qreal kSpinnerScale = 2;

using Painting = std::function<void(QPainter&)>;

QImage render(const QSizeF& canvas, qreal scale, const Painting& paint)
{
    QImage image(qRound(canvas.width() * scale), qRound(canvas.height() * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    paint(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QPainterPath strokeOf(const QPainterPath& line, qreal width, Qt::PenCapStyle cap = Qt::RoundCap,
                      Qt::PenJoinStyle join = Qt::RoundJoin)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(join);
    stroker.setMiterLimit(4);
    return stroker.createStroke(line);
}

QPainterPath disc(const QPointF& centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// ---- check boxes --------------------------------------------------------------------------------------

void checkBox(QPainter& p, bool checked)
{
    if (checked) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(2, 2, 16, 16), 3, 3);
        QPainterPath tick;
        tick.moveTo(5.5, 10.25);
        tick.lineTo(8.6, 13.25);
        tick.lineTo(14.5, 7.25);
        p.fillPath(strokeOf(tick, 2), Qt::white);
    } else {
        p.setPen(QPen(kBoxBorder, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 2.5, 2.5);
    }
}

// ---- tool buttons of the main window (34 x 34) ---------------------------------------------------------

void addGlyph(QPainter& p, const QColor& c)
{
    QPainterPath ring;
    ring.addEllipse(QPointF(17, 17), 12, 12);
    QPainterPath plus;
    plus.moveTo(17, 11);
    plus.lineTo(17, 23);
    plus.moveTo(11, 17);
    plus.lineTo(23, 17);
    p.fillPath(strokeOf(ring, 2), c);
    p.fillPath(strokeOf(plus, 2), c);
}

void deleteGlyph(QPainter& p, const QColor& c)
{
    QPainterPath can;
    can.moveTo(8, 10); // lid
    can.lineTo(26, 10);
    can.moveTo(14, 10); // handle
    can.lineTo(14, 7);
    can.lineTo(20, 7);
    can.lineTo(20, 10);
    can.moveTo(11, 10); // body
    can.lineTo(11, 25);
    can.quadTo(11, 27, 13, 27);
    can.lineTo(21, 27);
    can.quadTo(23, 27, 23, 25);
    can.lineTo(23, 10);
    can.moveTo(15, 14); // ribs
    can.lineTo(15, 23);
    can.moveTo(19, 14);
    can.lineTo(19, 23);
    p.fillPath(strokeOf(can, 2), c);
}

void clearGlyph(QPainter& p, const QColor& c)
{
    QPainterPath list;
    list.moveTo(6.5, 8);
    list.lineTo(22.5, 8);
    list.moveTo(6.5, 14);
    list.lineTo(22.5, 14);
    list.moveTo(6.5, 20);
    list.lineTo(15.5, 20);
    const QPointF x(23.5, 22);
    list.moveTo(x + QPointF(-4, -4));
    list.lineTo(x + QPointF(4, 4));
    list.moveTo(x + QPointF(4, -4));
    list.lineTo(x + QPointF(-4, 4));
    p.fillPath(strokeOf(list, 2), c);
}

// ---- pages ----------------------------------------------------------------------------------------------

// A sheet of paper with its top right corner folded over.
QPainterPath pageOutline(const QRectF& r, qreal fold, qreal radius)
{
    QPainterPath path;
    path.moveTo(r.left() + radius, r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom() - radius);
    path.arcTo(QRectF(r.right() - 2 * radius, r.bottom() - 2 * radius, 2 * radius, 2 * radius), 0, -90);
    path.lineTo(r.left() + radius, r.bottom());
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * radius, 2 * radius, 2 * radius), -90, -90);
    path.lineTo(r.left(), r.top() + radius);
    path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
    path.closeSubpath();
    return path;
}

QPainterPath foldOf(const QRectF& r, qreal fold)
{
    QPainterPath path;
    path.moveTo(r.right() - fold, r.top());
    path.lineTo(r.right() - fold, r.top() + fold);
    path.lineTo(r.right(), r.top() + fold);
    path.closeSubpath();
    return path;
}

struct PageColours
{
    QColor paper, edge, fold;
};

void page(QPainter& p, const QRectF& r, qreal fold, qreal radius, qreal edgeWidth, const PageColours& c)
{
    p.setPen(QPen(c.edge, edgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c.paper);
    p.drawPath(pageOutline(r, fold, radius));
    p.setBrush(c.fold);
    p.drawPath(foldOf(r, fold));
}

// The letters P, D and F as outlines, each w wide and h high, drawn with strokes of width s.
QPainterPath pdfLetters(qreal x, qreal y, qreal w, qreal h, qreal gap, qreal s)
{
    const qreal in = s / 2;
    QPainterPath letters;
    letters.setFillRule(Qt::WindingFill);

    // P: a stem and a bowl over its upper half.
    const qreal bowlBottom = y + h * 0.56;
    const qreal bowl = (bowlBottom - y - s) / 2 + in; // radius of the bowl's centre line
    QPainterPath pp;
    pp.moveTo(x + in, y + h);
    pp.lineTo(x + in, y + in);
    pp.lineTo(x + w - in - bowl, y + in);
    pp.arcTo(QRectF(x + w - in - 2 * bowl, y + in, 2 * bowl, bowlBottom - in - (y + in)), 90, -180);
    pp.lineTo(x + in, bowlBottom - in);
    letters.addPath(strokeOf(pp, s, Qt::FlatCap, Qt::MiterJoin));

    // D: a stem closed by half an ellipse.
    x += w + gap;
    const qreal rx = w * 0.62;
    QPainterPath dd;
    dd.moveTo(x + in, y + in);
    dd.lineTo(x + w - in - rx, y + in);
    dd.arcTo(QRectF(x + w - in - 2 * rx, y + in, 2 * rx, h - s), 90, -180);
    dd.lineTo(x + in, y + h - in);
    dd.closeSubpath();
    letters.addPath(strokeOf(dd, s, Qt::FlatCap, Qt::MiterJoin));

    // F: a stem, a top bar and a shorter middle bar.
    x += w + gap;
    QPainterPath ff;
    ff.moveTo(x + in, y + h);
    ff.lineTo(x + in, y + in);
    ff.lineTo(x + w, y + in);
    ff.moveTo(x + in, y + h * 0.52);
    ff.lineTo(x + w * 0.82, y + h * 0.52);
    letters.addPath(strokeOf(ff, s, Qt::FlatCap, Qt::MiterJoin));
    return letters;
}

// A padlock whose body fills `body`; the shackle's legs stand `legInset` inside the body's sides. The
// keyhole is cut out, and `halo` (when positive) rings the lock with white to part it from what lies below.
void padlock(QPainter& p, const QRectF& body, qreal legInset, qreal legHeight, qreal stroke, const QColor& c,
             qreal halo = 0)
{
    const qreal left = body.left() + legInset;
    const qreal right = body.right() - legInset;
    const qreal radius = (right - left) / 2;
    QPainterPath shackle;
    shackle.moveTo(left, body.top() + 1);
    shackle.lineTo(left, body.top() - legHeight);
    shackle.arcTo(QRectF(left, body.top() - legHeight - radius, 2 * radius, 2 * radius), 180, -180);
    shackle.lineTo(right, body.top() + 1);

    QPainterPath lock;
    lock.addRoundedRect(body, body.width() * 0.16, body.width() * 0.16);
    lock = lock.united(strokeOf(shackle, stroke, Qt::FlatCap));
    if (halo > 0) {
        p.fillPath(lock.united(strokeOf(lock, 2 * halo)), Qt::white);
    }
    const QPointF hole(body.center().x(), body.top() + body.height() * 0.42);
    const qreal holeRadius = body.width() * 0.12;
    QPainterPath keyhole = disc(hole, holeRadius);
    keyhole.addRect(QRectF(hole.x() - holeRadius * 0.45, hole.y(), holeRadius * 0.9, body.height() * 0.32));
    p.fillPath(lock.subtracted(keyhole.simplified()), c);
}

// ---- the empty list's picture --------------------------------------------------------------------------

void addPicture(QPainter& p)
{
    const QRectF sheet(13, 6, 34, 54);
    page(p, sheet, 11, 3, 2, {Qt::white, kBlue, kBluePale});
    QPainterPath lines;
    for (const auto& [y, right] : {std::pair<qreal, qreal>{23, 39}, {30, 39}, {37, 32}}) {
        lines.moveTo(20, y);
        lines.lineTo(right, y);
    }
    p.fillPath(strokeOf(lines, 2), kBlueLine);

    const QPointF badge(46, 53);
    p.fillPath(disc(badge, 14.5), Qt::white);
    p.fillPath(disc(badge, 12), kBlue);
    QPainterPath plus;
    plus.moveTo(badge + QPointF(0, -5.5));
    plus.lineTo(badge + QPointF(0, 5.5));
    plus.moveTo(badge + QPointF(-5.5, 0));
    plus.lineTo(badge + QPointF(5.5, 0));
    p.fillPath(strokeOf(plus, 2.5), Qt::white);
}

// ---- folders --------------------------------------------------------------------------------------------

// A folder whose body fills `body`: the tab and back in `back`, the lower front flap in `front`.
void folder(QPainter& p, const QRectF& body, qreal tabWidth, qreal tabHeight, qreal flapTop, const QColor& back,
            const QColor& front)
{
    const qreal r = body.height() * 0.1;
    QPainterPath rear;
    rear.moveTo(body.left(), body.top() - tabHeight + r);
    rear.quadTo(body.left(), body.top() - tabHeight, body.left() + r, body.top() - tabHeight);
    rear.lineTo(body.left() + tabWidth, body.top() - tabHeight);
    rear.lineTo(body.left() + tabWidth + tabHeight, body.top());
    rear.lineTo(body.right() - r, body.top());
    rear.quadTo(body.right(), body.top(), body.right(), body.top() + r);
    rear.lineTo(body.right(), body.bottom() - r);
    rear.quadTo(body.right(), body.bottom(), body.right() - r, body.bottom());
    rear.lineTo(body.left() + r, body.bottom());
    rear.quadTo(body.left(), body.bottom(), body.left(), body.bottom() - r);
    rear.closeSubpath();
    p.fillPath(rear, back);

    QPainterPath flap;
    flap.addRoundedRect(QRectF(body.left(), flapTop, body.width(), body.bottom() - flapTop), r, r);
    p.fillPath(flap, front);
}

void openFolderButton(QPainter& p, const QColor& back, const QColor& front)
{
    folder(p, QRectF(2, 5, 20, 14), 7, 2, 8, back, front);
    // An arrow out of the folder: this button shows the folder in the file manager.
    QPainterPath arrow;
    arrow.moveTo(9, 16.5);
    arrow.lineTo(14.5, 11);
    arrow.moveTo(10.5, 11);
    arrow.lineTo(14.5, 11);
    arrow.lineTo(14.5, 15);
    p.fillPath(strokeOf(arrow, 1.5), Qt::white);
}

// ---- the file row --------------------------------------------------------------------------------------

struct DocumentColours
{
    PageColours page;
    QColor band, line, lock;
};

const DocumentColours kDocument{{Qt::white, kBlue, kBluePale}, kBlue, kBlueLine, kBluePressed};
const DocumentColours kDocumentPressed{
    {kPagePressed, kBluePressed, kBluePalePressed}, kBluePressed, kBluePalePressed, kBlueDeepPressed};

// The row's document icon on a 36 x 50 canvas: a page with a "PDF" band, and a padlock when locked.
void document(QPainter& p, const DocumentColours& c, bool locked)
{
    const QRectF sheet(6, 3, 28, 44);
    page(p, sheet, 8, 2, 2, c.page);
    QPainterPath lines;
    lines.moveTo(11, 13);
    lines.lineTo(23, 13);
    lines.moveTo(11, 18);
    lines.lineTo(29, 18);
    p.fillPath(strokeOf(lines, 2), c.line);

    // The band reaches out over the page's left edge, like a label stuck on it.
    p.setPen(Qt::NoPen);
    p.setBrush(c.band);
    p.drawRoundedRect(QRectF(2, 23, 25, 12), 1.5, 1.5);
    p.fillPath(pdfLetters(5.5, 25, 5, 8, 1.5, 1.5), Qt::white);

    if (locked) {
        padlock(p, QRectF(24, 39.5, 11, 8.5), 2.5, 1.5, 1.75, c.lock, 1.5);
    }
}

void lockButton(QPainter& p, const QColor& c)
{
    padlock(p, QRectF(5, 11, 12, 10), 3, 1.5, 2, c);
}

void settingsButton(QPainter& p, const QColor& track, const QColor& knob)
{
    QPainterPath tracks;
    for (const qreal y : {6, 11, 16}) {
        tracks.moveTo(4, y);
        tracks.lineTo(18, y);
    }
    p.fillPath(strokeOf(tracks, 2), track);
    for (const auto& [x, y] : {std::pair<qreal, qreal>{14, 6}, {8, 11}, {12.5, 16}}) {
        p.fillPath(disc(QPointF(x, y), 3), knob);
        p.fillPath(disc(QPointF(x, y), 1.25), Qt::white);
    }
}

void finishedMark(QPainter& p, const QColor& c)
{
    p.fillPath(disc(QPointF(11, 11), 9), c);
    QPainterPath tick;
    tick.moveTo(6.5, 11.25);
    tick.lineTo(9.5, 14.25);
    tick.lineTo(15.5, 8.25);
    p.fillPath(strokeOf(tick, 2), Qt::white);
}

void failedMark(QPainter& p)
{
    p.fillPath(disc(QPointF(11, 11), 9), kRed);
    QPainterPath cross;
    cross.moveTo(7.75, 7.75);
    cross.lineTo(14.25, 14.25);
    cross.moveTo(14.25, 7.75);
    cross.lineTo(7.75, 14.25);
    p.fillPath(strokeOf(cross, 2), Qt::white);
}

// Twelve dots, 30 degrees apart, that fade behind the leading one. The label turns the picture clockwise in
// 30-degree steps, so each dot lands where its neighbour was and the fading tail seems to chase the head.
void spinner(QPainter& p, qreal size)
{
    const QPointF centre(size / 2, size / 2);
    const qreal ring = size * 0.36;
    const qreal dot = size * 0.074;
    for (int i = 0; i < 12; ++i) {
        // i = 0 is the head at twelve o'clock; i = 11 follows right behind it, i = 1 is the faintest.
        const int behind = (12 - i) % 12;
        const qreal angle = (-90 + 30 * i) * M_PI / 180;
        QColor c = kBlue;
        c.setAlphaF(1.0 - 0.75 * behind / 11.0);
        const qreal r = dot * (1.0 - 0.25 * behind / 11.0);
        p.fillPath(disc(centre + ring * QPointF(std::cos(angle), std::sin(angle)), r), c);
    }
}

// ---- window frame ---------------------------------------------------------------------------------------

// The title-bar buttons are 30 x 30 and their pictures fill them, so the 16-pixel glyphs sit in the middle
// of a 30 x 30 canvas.
void menuGlyph(QPainter& p)
{
    for (const int y : {10, 15, 20}) {
        p.fillRect(QRectF(9, y, 12, 1), kInk);
    }
}

void minimizeGlyph(QPainter& p)
{
    p.fillRect(QRectF(10, 15, 10, 1), kInk);
}

void maximizeGlyph(QPainter& p)
{
    p.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(10.5, 10.5, 9, 9));
}

// The close button's icon: a grey cross with a thin white rim, so that it stays clear on the red the button
// turns while hovered as well as on the light title bar.
void closeGlyph(QPainter& p)
{
    QPainterPath cross;
    cross.moveTo(3.5, 3.5);
    cross.lineTo(12.5, 12.5);
    cross.moveTo(12.5, 3.5);
    cross.lineTo(3.5, 12.5);
    p.fillPath(strokeOf(cross, 3.4), QColor(255, 255, 255, 235));
    p.fillPath(strokeOf(cross, 1.4, Qt::FlatCap), kInk);
}

// ---- the logo -------------------------------------------------------------------------------------------

// Where the parts of the logo lie, in units of `unit` pixels.
struct LogoGeometry
{
    qreal unit;
    QRectF tile;
    qreal tileRadius;
    QRectF sheet;
    qreal fold, sheetRadius;
    qreal barHeight, barHalfWidth;
    qreal headBase, headTip, headHalfWidth; // the upper arrow; the lower one mirrors it about the bar
    qreal shaftTop, shaftHalfWidth;         // no shaft when shaftHalfWidth is 0
};

// The drawing on a 256-unit grid, and hand-placed copies for the sizes where every pixel shows: there the
// edges lie on whole pixels, the arrows lose their shafts and the smallest page its folded corner.
LogoGeometry logoGeometry(int size)
{
    switch (size) {
    case 16:
        return {1, {0, 0, 16, 16}, 3, {4, 2, 8, 12}, 0, 1, 2, 3, 3, 6, 3, 0, 0};
    case 24:
        return {1, {0, 0, 24, 24}, 4.5, {6, 3, 12, 18}, 4, 1.5, 2, 4, 7, 10, 4, 0, 0};
    case 32:
        return {1, {0, 0, 32, 32}, 6, {8, 4, 16, 24}, 6, 2, 2, 6, 10, 13.5, 4, 0, 0};
    default:
        return {size / 256.0, {8, 8, 240, 240}, 52, {64, 32, 128, 192}, 44, 10, 12, 40, 84, 110, 34, 54, 7};
    }
}

// A page on the blue tile, with two arrows pressing on a bar from above and below: the program makes PDF
// files smaller.
void logo(QPainter& p, int size)
{
    const LogoGeometry g = logoGeometry(size);
    p.scale(g.unit, g.unit);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRoundedRect(g.tile, g.tileRadius, g.tileRadius);

    p.setBrush(Qt::white);
    p.drawPath(pageOutline(g.sheet, g.fold, g.sheetRadius));
    if (g.fold > 0) {
        p.setBrush(kBluePale);
        p.drawPath(foldOf(g.sheet, g.fold));
    }

    p.setBrush(kBlue);
    const qreal x = g.sheet.center().x();
    const qreal mid = g.sheet.center().y();
    p.drawRoundedRect(QRectF(x - g.barHalfWidth, mid - g.barHeight / 2, 2 * g.barHalfWidth, g.barHeight),
                      g.barHeight / 4, g.barHeight / 4);
    for (const int dir : {-1, 1}) {
        // dir -1 is the upper arrow; the lower one is its mirror image about the bar.
        const auto y = [mid, dir](qreal upper) { return dir < 0 ? upper : 2 * mid - upper; };
        QPolygonF head;
        head << QPointF(x - g.headHalfWidth, y(g.headBase)) << QPointF(x + g.headHalfWidth, y(g.headBase))
             << QPointF(x, y(g.headTip));
        p.drawPolygon(head);
        if (g.shaftHalfWidth > 0) {
            p.drawRect(
                QRectF(QPointF(x - g.shaftHalfWidth, y(g.shaftTop)), QPointF(x + g.shaftHalfWidth, y(g.headBase + 1)))
                    .normalized());
        }
    }
}

// ---- output ---------------------------------------------------------------------------------------------

class Writer
{
public:
    explicit Writer(const QString& folder) : dir(folder) {}

    bool png(const QString& name, const QImage& image)
    {
        if (!image.save(dir.filePath(name), "PNG")) {
            return fail(name);
        }
        return done(name);
    }

    // Qt's own ICO writer stores one image; the title bar wants the small sizes drawn on their own grid and
    // the About box the big one, so the file holds one PNG-compressed image per size, the largest first
    // (a plain QPixmap load takes the first).
    bool ico(const QString& name, const QList<QImage>& images)
    {
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << quint16(0) << quint16(1) << quint16(images.size());
        QList<QByteArray> blobs;
        for (const QImage& image : images) {
            QByteArray blob;
            QBuffer buffer(&blob);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            blobs << blob;
        }
        quint32 offset = 6 + 16 * images.size();
        for (int i = 0; i < images.size(); ++i) {
            // A side of 256 is written as 0.
            out << quint8(images[i].width() & 0xFF) << quint8(images[i].height() & 0xFF) << quint8(0) << quint8(0)
                << quint16(1) << quint16(32) << quint32(blobs[i].size()) << offset;
            offset += blobs[i].size();
        }
        for (const QByteArray& blob : blobs) {
            out.writeRawData(blob.constData(), blob.size());
        }
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
            return fail(name);
        }
        return done(name);
    }

    bool ok = true;

private:
    bool done(const QString& name)
    {
        QTextStream(stdout) << name << '\n';
        return true;
    }
    bool fail(const QString& name)
    {
        QTextStream(stderr) << "paint-images: cannot write " << dir.filePath(name) << '\n';
        ok = false;
        return false;
    }

    QDir dir;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2 || !QDir(QString::fromLocal8Bit(argv[1])).exists()) {
        QTextStream(stderr) << "usage: paint-images <resource folder>\n";
        return 2;
    }
    Writer out(QString::fromLocal8Bit(argv[1]));
    const auto save = [&out](const QString& name, QSizeF canvas, const Painting& paint) {
        out.png(name, render(canvas, kScale, paint));
    };

    save("chkImage.png", {20, 20}, [](QPainter& p) { checkBox(p, true); });
    save("unchkImage.png", {20, 20}, [](QPainter& p) { checkBox(p, false); });

    save("pic_add.png", {34, 34}, [](QPainter& p) { addGlyph(p, kBlue); });
    save("pic_add_clicked.png", {34, 34}, [](QPainter& p) { addGlyph(p, kBluePressed); });
    save("pic_delete.png", {34, 34}, [](QPainter& p) { deleteGlyph(p, kBlue); });
    save("pic_delete_clicked.png", {34, 34}, [](QPainter& p) { deleteGlyph(p, kBluePressed); });
    save("pic_clear.png", {34, 34}, [](QPainter& p) { clearGlyph(p, kBlue); });
    save("pic_clear_clicked.png", {34, 34}, [](QPainter& p) { clearGlyph(p, kBluePressed); });

    save("addicon.png", {70, 70}, addPicture);

    save("exportfolder.png", {16, 16},
         [](QPainter& p) { folder(p, QRectF(1, 4, 14, 10), 5, 2, 6.5, kBlueDeep, kBlue); });
    save("OutPutFolder.png", {24, 22}, [](QPainter& p) { openFolderButton(p, kBlueDeep, kBlue); });
    save("OutPutFolder_clicked.png", {24, 22},
         [](QPainter& p) { openFolderButton(p, kBlueDeepPressed, kBluePressed); });
    save("OutPutFolder_disabled.png", {24, 22}, [](QPainter& p) { openFolderButton(p, kGreyDeep, kGrey); });

    // The row's form names the plain icon "PDF.png" and "PDF-pressed-3x.png" until the row sets its own.
    for (const char* name : {"PDF-3x.png", "PDF.png"}) {
        save(name, {36, 50}, [](QPainter& p) { document(p, kDocument, false); });
    }
    for (const char* name : {"Pressed-PDF-3x.png", "PDF-pressed-3x.png"}) {
        save(name, {36, 50}, [](QPainter& p) { document(p, kDocumentPressed, false); });
    }
    save("PDFLock-3x.png", {36, 50}, [](QPainter& p) { document(p, kDocument, true); });
    save("Pressed-PDFLock-3x.png", {36, 50}, [](QPainter& p) { document(p, kDocumentPressed, true); });

    save("lock.png", {22, 24}, [](QPainter& p) { lockButton(p, kBlue); });
    save("lock-pressed.png", {22, 24}, [](QPainter& p) { lockButton(p, kBluePressed); });
    save("pic_ocr_editSeting-3x.png", {22, 22}, [](QPainter& p) { settingsButton(p, kTrack, kBlue); });
    save("pic_ocr_editSeting-pressed.png", {22, 22},
         [](QPainter& p) { settingsButton(p, kTrackPressed, kBluePressed); });
    save("finished-3x.png", {22, 22}, [](QPainter& p) { finishedMark(p, kGreen); });
    save("finished-pressed.png", {22, 22}, [](QPainter& p) { finishedMark(p, kGreenPressed); });
    save("pic_failed-3x.png", {22, 22}, failedMark);

    out.png("processing.png", render({22, 22}, kSpinnerScale, [](QPainter& p) { spinner(p, 22); }));
    out.png("waiting-48.png", render({48, 48}, kSpinnerScale, [](QPainter& p) { spinner(p, 48); }));

    save("menu-16.png", {30, 30}, menuGlyph);
    save("minimize-16.png", {30, 30}, minimizeGlyph);
    save("maximize-16.png", {30, 30}, maximizeGlyph);
    save("close.png", {16, 16}, closeGlyph);

    QList<QImage> logos;
    for (const int size : {256, 128, 64, 48, 32, 24, 16}) {
        logos << render({qreal(size), qreal(size)}, 1, [size](QPainter& p) { logo(p, size); });
    }
    out.ico("logo.ico", logos);

    return out.ok ? 0 : 1;
}
