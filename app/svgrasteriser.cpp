// Build-time helper: draws one of our SVG icons into a square raster image (PNG, or ICO for the
// window icon), so the program carries ready images and needs no SVG support to show them.
//   varen-svgrasteriser <input.svg> <output> <size> <format>
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv); // image-format plugins (ICO) need it
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: varen-svgrasteriser <input.svg> <output> <size> <format>\n");
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    const int size = args[3].toInt();
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "varen-svgrasteriser: cannot draw %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    QImageWriter writer(args[2], args[4].toLatin1());
    if (!writer.write(image)) {
        std::fprintf(stderr, "varen-svgrasteriser: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
