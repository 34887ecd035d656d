#include "annotate/TiledPicture.h"

#include <cstring>
#include <unordered_set>

namespace kamsulo::annotate {

namespace {
QImage asRgb32(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 ? picture
                                                    : picture.convertToFormat(QImage::Format_RGB32);
}
} // namespace

QRect TiledPicture::tileRect(int index) const {
    const int cx = index % cols_;
    const int cy = index / cols_;
    const int x = cx * kTile;
    const int y = cy * kTile;
    return QRect(x, y, std::min(kTile, size_.width() - x), std::min(kTile, size_.height() - y));
}

std::shared_ptr<const TiledPicture::Tile> TiledPicture::copyTile(const QImage& src,
                                                                 int index) const {
    const QRect r = tileRect(index);
    auto tile = std::make_shared<Tile>();
    // Filled row by row, with no zeros written first.
    tile->reserve(std::size_t(r.width()) * std::size_t(r.height()));
    for (int row = 0; row < r.height(); ++row) {
        const auto* line = reinterpret_cast<const quint32*>(src.constScanLine(r.y() + row));
        tile->insert(tile->end(), line + r.x(), line + r.x() + r.width());
    }
    return tile;
}

bool TiledPicture::tileEquals(const Tile& tile, const QImage& src, int index) const {
    const QRect r = tileRect(index);
    for (int row = 0; row < r.height(); ++row) {
        const auto* line = reinterpret_cast<const quint32*>(src.constScanLine(r.y() + row));
        if (std::memcmp(tile.data() + std::size_t(row) * r.width(), line + r.x(),
                        std::size_t(r.width()) * sizeof(quint32)) != 0)
            return false;
    }
    return true;
}

TiledPicture TiledPicture::fromImage(const QImage& picture) {
    TiledPicture t;
    if (picture.isNull()) return t;
    const QImage src = asRgb32(picture);
    t.size_ = src.size();
    t.cols_ = (t.size_.width() + kTile - 1) / kTile;
    t.rows_ = (t.size_.height() + kTile - 1) / kTile;
    t.tiles_.reserve(std::size_t(t.cols_) * t.rows_);
    for (int i = 0; i < t.cols_ * t.rows_; ++i)
        t.tiles_.push_back(t.copyTile(src, i));
    return t;
}

TiledPicture TiledPicture::updatedFrom(const QImage& picture) const {
    if (picture.isNull()) return {};
    if (isNull() || picture.size() != size_) return fromImage(picture);
    const QImage src = asRgb32(picture);
    TiledPicture t = *this;
    for (int i = 0; i < int(t.tiles_.size()); ++i)
        if (!tileEquals(*t.tiles_[i], src, i)) t.tiles_[i] = copyTile(src, i);
    return t;
}

void TiledPicture::writeInto(QImage& target) const {
    if (isNull()) {
        target = QImage();
        return;
    }
    if (target.size() != size_ || target.format() != QImage::Format_RGB32)
        target = QImage(size_, QImage::Format_RGB32);
    for (int i = 0; i < int(tiles_.size()); ++i) {
        const QRect r = tileRect(i);
        const Tile& tile = *tiles_[i];
        for (int row = 0; row < r.height(); ++row) {
            auto* line = reinterpret_cast<quint32*>(target.scanLine(r.y() + row));
            std::memcpy(line + r.x(), tile.data() + std::size_t(row) * r.width(),
                        std::size_t(r.width()) * sizeof(quint32));
        }
    }
}

QImage TiledPicture::toImage() const {
    QImage img;
    writeInto(img);
    return img;
}

qsizetype TiledPicture::distinctBytes(const std::vector<const TiledPicture*>& pictures) {
    std::unordered_set<const Tile*> seen;
    qsizetype bytes = 0;
    for (const TiledPicture* p : pictures)
        for (const auto& tile : p->tiles_)
            if (seen.insert(tile.get()).second) bytes += qsizetype(tile->size() * sizeof(quint32));
    return bytes;
}

int TiledPicture::sharedTilesWith(const TiledPicture& other) const {
    if (other.tiles_.size() != tiles_.size()) return 0;
    int n = 0;
    for (std::size_t i = 0; i < tiles_.size(); ++i)
        n += tiles_[i] == other.tiles_[i];
    return n;
}

} // namespace kamsulo::annotate
