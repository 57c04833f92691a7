// The program's desktop icon, drawn from the emblem at build time: one PNG per
// size named <size>.png plus scalable.svg, all in the given folder.
//   QT_QPA_PLATFORM=offscreen quintelle_render_icons <folder> <size>...
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSvgGenerator>
#include <cstdio>

#include "art.h"

namespace {

bool writePng(const QDir& folder, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.scale(size / qreal(quintelle::art::emblemSize.width()),
            size / qreal(quintelle::art::emblemSize.height()));
    quintelle::art::drawEmblem(p);
    p.end();
    return image.save(folder.filePath(QStringLiteral("%1.png").arg(size)), "PNG");
}

bool writeSvg(const QDir& folder) {
    const QSize size = quintelle::art::emblemSize;
    QSvgGenerator svg;
    svg.setFileName(folder.filePath(QStringLiteral("scalable.svg")));
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Quintelle"));
    svg.setDescription(QStringLiteral("The Quintelle emblem"));
    QPainter p;
    if (!p.begin(&svg)) return false;
    p.setRenderHint(QPainter::Antialiasing);
    quintelle::art::drawEmblem(p);
    return p.end();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) return 1;
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0 || !writePng(folder, size)) {
            std::fprintf(stderr, "cannot write the %s pixel icon\n", argv[i]);
            return 1;
        }
    }
    if (!writeSvg(folder)) {
        std::fprintf(stderr, "cannot write the scalable icon\n");
        return 1;
    }
    return 0;
}
