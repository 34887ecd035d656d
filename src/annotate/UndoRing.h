#pragma once
// The unmarked copy of the last new picture and the ring of five undo snapshots
// (slots 1 to 5) with their write and read positions. Copies share the
// tiles that did not change between them. A picture handed over is copied into tiles
// only when the ring is next used, or when copyHandOver() is called once it is shown:
// until then it shares the canvas's pixels.
#include "annotate/TiledPicture.h"

#include <QImage>
#include <array>

namespace kamsulo::annotate {

class UndoRing {
public:
    static constexpr int kSlotCount = 5;

    // New-picture reset: the unmarked copy and every slot := the canvas picture; both indexes 0.
    void newPicture(const QImage& canvas);
    // The capture hand-over: the same copies, the indexes left alone.
    void handOver(const QImage& canvas);
    // Makes the copies of a picture handed over, if one waits for them; whether one waits.
    void copyHandOver() const;
    bool handOverPending() const { return handOverPending_; }
    // Both indexes 0 (a capture starts).
    void resetIndexes();
    // The unmarked copy loses its picture (a region capture that is started empties it).
    void clearUnmarkedCopy() {
        copyHandOver();
        copy_ = TiledPicture();
    }

    // The next slot of the ring := the canvas picture.
    void takeUndoSnapshot(const QImage& canvas);
    // Undo without the focus: restores the slot at undoReadSlot into `canvas`
    // when markings were drawn and the slot exists, then steps the read position back.
    // Returns whether `canvas` was replaced.
    bool undo(QImage& canvas, bool markingsDrawn);
    // Clear-all after the user said yes: the canvas := the unmarked copy; undoReadSlot := 0.
    // Returns whether `canvas` was replaced.
    bool clearAll(QImage& canvas);

    int undoWriteSlot() const { return write_; }
    int undoReadSlot() const { return read_; }
    const TiledPicture& unmarkedCopy() const {
        copyHandOver();
        return copy_;
    }
    // The snapshot in slot 1 to 5.
    const TiledPicture& snapshot(int slot) const {
        copyHandOver();
        return slots_.at(std::size_t(slot - 1));
    }
    // Pixel memory held by all copies together.
    qsizetype memoryBytes() const;

private:
    void restore(const TiledPicture& from, QImage& canvas);

    // The canvas as of the last copy or restore; new copies share its tiles.
    mutable TiledPicture mirror_;
    mutable TiledPicture copy_;
    mutable std::array<TiledPicture, kSlotCount> slots_;
    mutable QImage handedOver_;
    mutable bool handOverPending_ = false;
    int write_ = 0;
    int read_ = 0;
};

} // namespace kamsulo::annotate
