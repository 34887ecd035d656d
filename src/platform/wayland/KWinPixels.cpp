#include "platform/wayland/KWinPixels.h"

#include <QPixelFormat>
#include <limits>

namespace kamsulo::platform {

namespace {

// What a line may hold beyond its pixels: compositors align lines, to a page at most.
constexpr qint64 MaxLinePadding = 4096;

// The field when it is a whole number; KWin gives unsigned ones.
std::optional<qint64> whole(const QVariantMap& answer, const char* key) {
    const QVariant value = answer.value(QLatin1String(key));
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max())) return std::nullopt;
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<KWinPixels> kwinPixels(const QVariantMap& answer, QSize bound) {
    const std::optional<qint64> width = whole(answer, "width");
    const std::optional<qint64> height = whole(answer, "height");
    const std::optional<qint64> stride = whole(answer, "stride");
    const std::optional<qint64> format = whole(answer, "format");
    if (!width || !height || !stride || !format) return std::nullopt;
    if (*width <= 0 || *width > bound.width() || *height <= 0 || *height > bound.height())
        return std::nullopt;
    if (*format <= QImage::Format_Invalid || *format >= QImage::NImageFormats) return std::nullopt;
    const QPixelFormat pixel = QImage::toPixelFormat(QImage::Format(*format));
    if (pixel.bitsPerPixel() % 8 != 0 || pixel.colorModel() == QPixelFormat::Indexed)
        return std::nullopt;
    const qint64 row = *width * (pixel.bitsPerPixel() / 8);
    if (*stride < row || *stride > row + MaxLinePadding ||
        *stride > std::numeric_limits<int>::max())
        return std::nullopt;
    return KWinPixels{int(*width), int(*height), int(*stride), QImage::Format(*format)};
}

} // namespace kamsulo::platform
