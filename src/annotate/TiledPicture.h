#pragma once
// An immutable copy of a picture held as square tiles that copies may share. A copy
// made from a changed picture shares every tile that did not change, so that keeping
// several snapshots of a large picture costs little more than one.
#include <QImage>
#include <QSize>
#include <QtGlobal>
#include <memory>
#include <vector>

namespace kamsulo::annotate {

class TiledPicture {
public:
    static constexpr int kTile = 64;

    TiledPicture() = default;
    // A copy of the picture (held as Format_RGB32).
    static TiledPicture fromImage(const QImage& picture);
    // A copy of `picture` that reuses every tile of this one whose pixels are equal.
    TiledPicture updatedFrom(const QImage& picture) const;

    bool isNull() const { return tiles_.empty(); }
    QSize size() const { return size_; }
    QImage toImage() const;
    // Makes `target` an RGB32 picture equal to this one, reusing its memory when it
    // already has the size.
    void writeInto(QImage& target) const;

    // Bytes of pixel memory held by the distinct tiles of these pictures.
    static qsizetype distinctBytes(const std::vector<const TiledPicture*>& pictures);
    // Number of tiles this picture shares with `other` (same memory).
    int sharedTilesWith(const TiledPicture& other) const;

private:
    using Tile = std::vector<quint32>;
    QRect tileRect(int index) const;
    std::shared_ptr<const Tile> copyTile(const QImage& src, int index) const;
    bool tileEquals(const Tile& tile, const QImage& src, int index) const;

    QSize size_;
    int cols_ = 0;
    int rows_ = 0;
    std::vector<std::shared_ptr<const Tile>> tiles_;
};

} // namespace kamsulo::annotate
