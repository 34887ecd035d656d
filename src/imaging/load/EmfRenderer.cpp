#include "imaging/load/EmfRenderer.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <cstdlib>
#include <emf2svg.h>
#include <memory>

namespace kamsulo::imaging {

namespace {

constexpr double HundredthsPerMillimetre = 100.0;

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

QRectF emfFrameInSvg(const EmfHeader& header) {
    const QSizeF& mm = header.deviceMillimetres;
    if (mm.width() <= 0 || mm.height() <= 0 || header.device.isEmpty()) return {};
    const double perX = header.device.width() / (mm.width() * HundredthsPerMillimetre);
    const double perY = header.device.height() / (mm.height() * HundredthsPerMillimetre);
    const QRect& frame = header.frame;
    const double left = std::round(frame.left() * perX);
    const double top = std::round(frame.top() * perY);
    const double right = std::round((double(frame.right()) + 1) * perX);
    const double bottom = std::round((double(frame.bottom()) + 1) * perY);
    return QRectF(left - header.bounds.left(), top - header.bounds.top(), right - left,
                  bottom - top);
}

DecodeResult renderEmf(const QByteArray& file, const EmfHeader& header, QSize size) {
    const QRectF frame = emfFrameInSvg(header);
    if (size.isEmpty() || frame.isEmpty()) return DecodeResult::failed(UnknownImageFormat);

    generatorOptions options{};
    options.nameSpace = nullptr;
    options.svgDelimiter = true;
    options.emfplus = false; // dual files carry plain records as well
    char* svgBytes = nullptr;
    std::size_t svgLength = 0;
    // libemf2svg only reads the buffer.
    const int converted =
        emf2svg(const_cast<char*>(file.constData()), static_cast<std::size_t>(file.size()),
                &svgBytes, &svgLength, &options);
    const std::unique_ptr<char, FreeDeleter> svg(svgBytes);
    if (!converted || !svg || svgLength == 0) return DecodeResult::failed(UnknownImageFormat);

    QSvgRenderer renderer(QByteArray::fromRawData(svg.get(), qsizetype(svgLength)));
    if (!renderer.isValid()) return DecodeResult::failed(UnknownImageFormat);
    renderer.setViewBox(frame);

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return DecodeResult::failed(OutOfMemory);
    image.fill(MetafilePaper);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return {image, Ok};
}

} // namespace kamsulo::imaging
