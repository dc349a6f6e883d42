#include "PdfFixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRadialGradient>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <sys/stat.h>

#include <exception>
#include <string>
#include <vector>

namespace PdfFixtures {

namespace {

constexpr int PictureDpi = 300;

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Soft shapes under a fine grain, so that the picture neither packs into nothing (flat colour) nor
// resists every encoder (pure noise), much like a scanned photograph.
QImage picture(int pixels, int seed)
{
    QImage image(pixels, pixels, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    quint32 state = 2654435761u * static_cast<quint32>(seed + 1);
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };

    QLinearGradient background(0, 0, pixels, pixels);
    background.setColorAt(0, QColor::fromHsv(next() % 360, 120, 230));
    background.setColorAt(1, QColor::fromHsv(next() % 360, 200, 90));
    painter.fillRect(image.rect(), background);
    for (int i = 0; i < 12; ++i) {
        const QPointF centre(next() % pixels, next() % pixels);
        const qreal radius = pixels / 12.0 + next() % (pixels / 4);
        QRadialGradient blob(centre, radius);
        blob.setColorAt(0, QColor::fromHsv(next() % 360, 180, 250, 220));
        blob.setColorAt(1, QColor::fromHsv(next() % 360, 160, 60, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(blob);
        painter.drawEllipse(centre, radius, radius);
    }
    painter.end();

    for (int y = 0; y < pixels; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pixels; ++x) {
            const int grain = static_cast<int>(next() % 25) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + grain, 255), qBound(0, qGreen(p) + grain, 255),
                           qBound(0, qBlue(p) + grain, 255));
        }
    }
    return image;
}

// A stream object whose dictionary holds entries and the stream's length.
QByteArray stream(const QByteArray& entries, const QByteArray& content)
{
    return "<< " + entries + "/Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
           "\nendstream";
}

// A PDF of the objects, numbered from 1, with a cross-reference table; object 1 is the catalogue. Object missing, when
// given, has its place in the table but is not written.
QByteArray objectsPdf(const std::vector<QByteArray>& objects, int missing = 0)
{
    QByteArray pdf = QByteArrayLiteral("%PDF-1.4\n");
    QByteArray xref = "xref\n0 " + QByteArray::number(int(objects.size()) + 1) + "\n0000000000 65535 f \n";
    for (size_t i = 0; i < objects.size(); ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        if (int(i) + 1 != missing)
            pdf += QByteArray::number(int(i) + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const QByteArray xrefOffset = QByteArray::number(pdf.size());
    return pdf + xref + "trailer\n<< /Size " + QByteArray::number(int(objects.size()) + 1) +
           " /Root 1 0 R >>\nstartxref\n" + xrefOffset + "\n%%EOF\n";
}

bool writeObjects(const QString& path, const std::vector<QByteArray>& objects)
{
    return writeBytes(path, objectsPdf(objects));
}

// Catalogue, page tree and pages, each page with contents of its own: objects 3 and 4 are the first page and its
// contents, and so on.
std::vector<QByteArray> pageObjects(int pages)
{
    QByteArrayList kids;
    for (int page = 0; page < pages; ++page)
        kids << QByteArray::number(3 + 2 * page) + " 0 R";
    std::vector<QByteArray> objects = {
        QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
        "<< /Type /Pages /Kids [" + kids.join(' ') + "] /Count " + QByteArray::number(pages) + " >>",
    };
    for (int page = 0; page < pages; ++page) {
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents " +
                          QByteArray::number(4 + 2 * page) + " 0 R >>");
        objects.push_back(stream(QByteArray(), "0 0 1 rg 10 10 " + QByteArray::number(20 + page) + " 100 re f"));
    }
    return objects;
}

} // namespace

bool writePlain(const QString& path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A5));
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.setFont(QFont(QStringLiteral("Liberation Sans"), 14));
        painter.drawText(QPointF(40, 60), QStringLiteral("Page %1 of %2").arg(page).arg(pages));
        painter.drawText(QPointF(40, 90), QStringLiteral("Quarterly figures, draft for review."));
        painter.setBrush(QColor(40, 90, 160));
        painter.drawRect(QRectF(40, 120, 200, 80));
    }
    return painter.end();
}

bool writeImageHeavy(const QString& path, int pages, double pictureInches, int seed)
{
    QPdfWriter writer(path);
    // A margin of half an inch round the picture.
    writer.setPageSize(QPageSize(QSizeF(pictureInches + 1, pictureInches + 1), QPageSize::Inch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(PictureDpi);
    const int pixels = qRound(pictureInches * PictureDpi);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawImage(QPoint(PictureDpi / 2, PictureDpi / 2), picture(pixels, seed * 1000 + page));
    }
    return painter.end();
}

bool writeEncrypted(const QString& source, const QString& target, Cipher cipher, const QString& userPassword,
                    const QString& ownerPassword)
{
    return writeEncrypted(source, target, cipher, userPassword.toUtf8(), ownerPassword.toUtf8());
}

bool writeEncrypted(const QString& source, const QString& target, Cipher cipher, const QByteArray& userPassword,
                    const QByteArray& ownerPassword)
{
    try {
        QPDF pdf;
        pdf.processFile(QFile::encodeName(source).constData());
        const std::string user = userPassword.toStdString();
        const std::string owner = ownerPassword.toStdString();
        QPDFWriter writer(pdf, QFile::encodeName(target).constData());
        if (cipher == Cipher::Rc4)
            writer.setR3EncryptionParametersInsecure(user.c_str(), owner.c_str(), true, false, true, true, true, false,
                                                     qpdf_r3p_full);
        else
            writer.setR6EncryptionParameters(user.c_str(), owner.c_str(), true, false, true, true, true, false,
                                             qpdf_r3p_full, true);
        if (cipher == Cipher::Aes256ObjectStreams)
            writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool writeDamaged(const QString& path)
{
    return writeBytes(path, QByteArrayLiteral("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 garbage without objects\n"));
}

bool writeNotPdf(const QString& path)
{
    return writeBytes(path, QByteArrayLiteral("Minutes of the meeting.\nNothing was decided.\n"));
}

bool writeEmpty(const QString& path)
{
    return writeBytes(path, QByteArray());
}

bool writeMissingPageObject(const QString& path)
{
    const QByteArray content = QByteArrayLiteral("0 0 1 rg 10 10 100 100 re f");
    return writeObjects(path, {
                                  QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
                                  QByteArrayLiteral("<< /Type /Pages /Kids [3 0 R 9 0 R] /Count 2 >>"),
                                  QByteArrayLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] "
                                                    "/Contents 4 0 R >>"),
                                  stream(QByteArray(), content),
                              });
}

bool writeNestedForms(const QString& path, int depth, int drawsEach, int pageReferences)
{
    QByteArrayList kids;
    for (int i = 0; i < pageReferences; ++i)
        kids << QByteArrayLiteral("3 0 R");
    // Objects 1 to 4 are the document and its page; form n is object 5 + n.
    std::vector<QByteArray> objects = {
        QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
        "<< /Type /Pages /Kids [" + kids.join(' ') + "] /Count " + QByteArray::number(pageReferences) + " >>",
        QByteArrayLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] "
                          "/Resources << /XObject << /F 5 0 R >> >> /Contents 4 0 R >>"),
        stream(QByteArray(), QByteArrayLiteral("/F Do")),
    };
    const QByteArray form = QByteArrayLiteral("/Type /XObject /Subtype /Form /BBox [0 0 200 200] ");
    for (int n = 0; n < depth; ++n) {
        if (n == depth - 1) {
            objects.push_back(stream(form, QByteArrayLiteral("0 0 1 rg 10 10 100 100 re f")));
            break;
        }
        QByteArrayList draws;
        for (int i = 0; i < drawsEach; ++i)
            draws << QByteArrayLiteral("q /F Do Q");
        objects.push_back(stream(form + "/Resources << /XObject << /F " + QByteArray::number(6 + n) + " 0 R >> >> ",
                                 draws.join(' ')));
    }
    return writeObjects(path, objects);
}

bool writePostScriptWithPdf(const QString& path, const QString& markerPath)
{
    QBuffer pdf;
    pdf.open(QIODevice::ReadWrite);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A5));
        writer.setResolution(72);
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        painter.drawText(QPointF(40, 60), QStringLiteral("The document the user sees."));
        painter.end();
    }
    QByteArray marker = QFile::encodeName(markerPath);
    marker.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
    const QByteArray program = "%!PS\n(" + marker +
                               ") (w) file dup (written by the program) writestring closefile\n"
                               "<< /PageSize [612 792] >> setpagedevice /Helvetica findfont 24 scalefont setfont "
                               "72 700 moveto (NOT YOUR DOCUMENT) show showpage quit\n";
    return writeBytes(path, program + pdf.data());
}

bool writeMemoryHungryPicture(const QString& path)
{
    // Progressive JPEG is decoded whole: 5000 x 5000 pixels take about 100 MB, packed into a fifth of a megabyte.
    constexpr int Pixels = 5000;
    QImage image(Pixels, Pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(QPen(QColor(200, 30, 30), 60));
        painter.drawEllipse(QRect(Pixels / 4, Pixels / 4, Pixels / 2, Pixels / 2));
    }
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    QImageWriter writer(&jpeg, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(50);
    if (!writer.write(image))
        return false;
    const QByteArray size = QByteArray::number(Pixels);
    return writeObjects(path, {
                                  QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
                                  QByteArrayLiteral("<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
                                  QByteArrayLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 600] "
                                                    "/Resources << /XObject << /Im 4 0 R >> >> /Contents 5 0 R >>"),
                                  stream("/Type /XObject /Subtype /Image /Width " + size + " /Height " + size +
                                             " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode ",
                                         jpeg.data()),
                                  stream(QByteArray(), QByteArrayLiteral("q 600 0 0 600 0 0 cm /Im Do Q")),
                              });
}

bool writeRepeatedPage(const QString& path, int references)
{
    QByteArray kids;
    kids.reserve(references * 6);
    for (int i = 0; i < references; ++i)
        kids += "3 0 R ";
    return writeObjects(path,
                        {
                            QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
                            "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(references) + " >>",
                            QByteArrayLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] "
                                              "/Contents 4 0 R >>"),
                            stream(QByteArray(), QByteArrayLiteral("0 0 1 rg 10 10 100 100 re f")),
                        });
}

bool writeSharedPageTree(const QString& path, int depth)
{
    // Node n is object 2 + n; the node below the last is the page.
    std::vector<QByteArray> objects = {QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>")};
    for (int n = 0; n < depth; ++n) {
        const QByteArray kid = QByteArray::number(3 + n) + " 0 R";
        objects.push_back("<< /Type /Pages /Kids [" + kid + " " + kid + "] >>");
    }
    objects.push_back(QByteArrayLiteral("<< /Type /Page /MediaBox [0 0 200 200] >>"));
    return writeObjects(path, objects);
}

bool writePageTreeLoop(const QString& path)
{
    return writeObjects(path, {
                                  QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
                                  QByteArrayLiteral("<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"),
                                  QByteArrayLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"),
                                  QByteArrayLiteral("<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>"),
                              });
}

bool writeOddPageTree(const QString& path, OddPageTree kind)
{
    const QByteArray catalogue = QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>");
    const QByteArray page =
        QByteArrayLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>");
    const QByteArray contents = stream(QByteArray(), "0 0 1 rg 10 10 100 100 re f");
    switch (kind) {
    case OddPageTree::NullAndNumberKids:
        return writeObjects(path, {catalogue, "<< /Type /Pages /Kids [3 0 R null 42] /Count 3 >>", page, contents});
    case OddPageTree::DirectPages:
        return writeObjects(path, {catalogue,
                                   "<< /Type /Pages /Kids [<< /Type /Page /MediaBox [0 0 200 200] /Contents 4 0 R >> "
                                   "<< /Type /Page /MediaBox [0 0 200 200] /Contents 4 0 R >>] /Count 2 >>",
                                   QByteArrayLiteral("null"), contents});
    case OddPageTree::SharedNode:
        return writeObjects(path, {catalogue, "<< /Type /Pages /Kids [3 0 R 3 0 R] /Count 2 >>",
                                   "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R] /Count 1 >>", contents,
                                   "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>"});
    case OddPageTree::PagesAtTheOnlyPage:
        return writeObjects(
            path, {"<< /Type /Catalog /Pages 3 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", page, contents});
    case OddPageTree::PagesAtAPage:
        return writeObjects(path, {"<< /Type /Catalog /Pages 3 0 R >>",
                                   "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 >>", page, contents, page});
    }
    return false;
}

bool writeTruncated(const QString& path, int pages)
{
    const QByteArray whole = objectsPdf(pageObjects(pages));
    // Cut inside the offset of the cross-reference table. Cut any earlier, and the trailer that names the catalogue is
    // gone: not even qpdf can rebuild that.
    return writeBytes(path, whole.left(whole.lastIndexOf("startxref") + 12));
}

bool writeMissingObject(const QString& path, int pages)
{
    // The contents of the first page.
    return writeBytes(path, objectsPdf(pageObjects(pages), 4));
}

bool writeWithoutHeaderLine(const QString& path)
{
    // The header line gives way to a comment line, and every offset after it is four bytes off.
    return writeBytes(path, "%\xe2\xe3\xcf\xd3\n" + objectsPdf(pageObjects(1)).mid(9));
}

bool writeKidsThatAreNoPages(const QString& path)
{
    return writeObjects(path, {
                                  QByteArrayLiteral("<< /Type /Catalog /Pages 2 0 R >>"),
                                  QByteArrayLiteral("<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
                                  QByteArrayLiteral("<< /Author (nobody) >>"),
                              });
}

bool writeUnusedEmptyObject(const QString& path)
{
    std::vector<QByteArray> objects = pageObjects(1);
    objects.emplace_back();
    return writeObjects(path, objects);
}

bool makeLinkLoop(const QString& path)
{
    return QFile::link(path, path);
}

bool makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

} // namespace PdfFixtures
