// bench_make_samples OUT_DIR INDEX PAGES [INCHES]
// Writes OUT_DIR/sample_INDEX.pdf: PAGES pages, each with its own picture of INCHES x INCHES at 300 dpi.
#include "PdfFixtures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fputs("usage: bench_make_samples OUT_DIR INDEX PAGES [INCHES]\n", stderr);
        return 2;
    }
    const QString outDir = args.at(1);
    const int index = args.at(2).toInt();
    const int pages = args.at(3).toInt();
    const double inches = args.size() > 4 ? args.at(4).toDouble() : 8.0;
    QDir().mkpath(outDir);
    const QString path = QDir(outDir).filePath(QStringLiteral("sample_%1.pdf").arg(index, 3, 10, QLatin1Char('0')));
    return PdfFixtures::writeImageHeavy(path, pages, inches, index) ? 0 : 1;
}
