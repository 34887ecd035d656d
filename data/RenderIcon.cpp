// Renders the program's SVG icon into the PNG sizes of the hicolor icon theme, for
// desktops that do not scale SVG icons. A build step, never installed:
//   kamsulo_render_icon ICON.svg OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/kamsulo.png
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("Aufruf: kamsulo_render_icon ICON.svg ZIELORDNER GRÖSSE...\n", stderr);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "kamsulo_render_icon: %s ist kein lesbares SVG.\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "kamsulo_render_icon: %s ist keine Größe.\n", argv[i]);
            return 2;
        }
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        if (!QDir().mkpath(folder) || !icon.save(folder + QStringLiteral("/kamsulo.png"), "PNG")) {
            std::fprintf(stderr, "kamsulo_render_icon: %s/kamsulo.png ließ sich nicht schreiben.\n",
                         qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
