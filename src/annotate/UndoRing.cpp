#include "annotate/UndoRing.h"

namespace kamsulo::annotate {

void UndoRing::handOver(const QImage& canvas) {
    handedOver_ = canvas;
    handOverPending_ = true;
}

void UndoRing::copyHandOver() const {
    if (!handOverPending_) return;
    handOverPending_ = false;
    mirror_ = mirror_.updatedFrom(handedOver_);
    handedOver_ = QImage();
    copy_ = mirror_;
    for (TiledPicture& slot : slots_)
        slot = mirror_;
}

void UndoRing::newPicture(const QImage& canvas) {
    handOver(canvas);
    resetIndexes();
}

void UndoRing::resetIndexes() {
    write_ = 0;
    read_ = 0;
}

void UndoRing::takeUndoSnapshot(const QImage& canvas) {
    copyHandOver();
    write_ = write_ < kSlotCount ? write_ + 1 : 1;
    read_ = write_;
    mirror_ = mirror_.updatedFrom(canvas);
    slots_[std::size_t(write_ - 1)] = mirror_;
}

void UndoRing::restore(const TiledPicture& from, QImage& canvas) {
    from.writeInto(canvas);
    mirror_ = from;
}

bool UndoRing::undo(QImage& canvas, bool markingsDrawn) {
    copyHandOver();
    bool restored = false;
    if (markingsDrawn && read_ >= 1 && read_ <= kSlotCount &&
        !slots_[std::size_t(read_ - 1)].isNull()) {
        restore(slots_[std::size_t(read_ - 1)], canvas);
        restored = true;
    }
    read_ = read_ < 2 ? kSlotCount : read_ - 1;
    return restored;
}

bool UndoRing::clearAll(QImage& canvas) {
    copyHandOver();
    read_ = 0;
    if (copy_.isNull()) return false;
    restore(copy_, canvas);
    return true;
}

qsizetype UndoRing::memoryBytes() const {
    copyHandOver();
    std::vector<const TiledPicture*> all{&mirror_, &copy_};
    for (const TiledPicture& s : slots_)
        all.push_back(&s);
    return TiledPicture::distinctBytes(all);
}

} // namespace kamsulo::annotate
