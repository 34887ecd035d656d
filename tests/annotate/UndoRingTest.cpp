#include "annotate/UndoRing.h"
#include "PixelHelpers.h"

#include <QPainter>
#include <array>
#include <gtest/gtest.h>

namespace kamsulo::annotate {
namespace {
using namespace test;

// The ring as described, with full copies of the picture.
struct ReferenceRing {
    QImage copy;
    std::array<QImage, 5> snaps;
    int write = 0, read = 0;

    void newPicture(const QImage& c) {
        copy = c.copy();
        for (auto& s : snaps)
            s = c.copy();
        write = read = 0;
    }
    void snapshot(const QImage& c) {
        write = write < 5 ? write + 1 : 1;
        read = write;
        snaps[std::size_t(write - 1)] = c.copy();
    }
    void undo(QImage& c, bool markingsDrawn) {
        if (markingsDrawn && read >= 1) c = snaps[std::size_t(read - 1)].copy();
        read = read < 2 ? 5 : read - 1;
    }
    void clearAll(QImage& c) {
        c = copy.copy();
        read = 0;
    }
};

// Drives the real ring and the reference side by side and compares after each step.
class UndoRingTest : public ::testing::Test {
protected:
    void SetUp() override {
        picture = whitePicture(300, 200);
        QPainter(&picture).fillRect(100, 50, 80, 40, Qt::darkGreen);
        canvas = picture.copy();
        refCanvas = picture.copy();
        ring.newPicture(canvas);
        ref.newPicture(refCanvas);
        check();
    }
    void mark() {
        const QRect r(10 + 23 * (count % 11), 10 + 13 * (count % 7), 9, 9);
        const QColor c = QColor::fromHsv((count * 37) % 360, 255, 200);
        ++count;
        ring.takeUndoSnapshot(canvas);
        ref.snapshot(refCanvas);
        QPainter(&canvas).fillRect(r, c);
        QPainter(&refCanvas).fillRect(r, c);
        history.push_back(canvas.copy());
        markingsDrawn = true;
        check();
    }
    void undo() {
        ring.undo(canvas, markingsDrawn);
        ref.undo(refCanvas, markingsDrawn);
        check();
    }
    void clearAll() {
        ring.clearAll(canvas);
        ref.clearAll(refCanvas);
        check();
    }
    void check() {
        ASSERT_EQ(canvas, refCanvas);
        ASSERT_EQ(ring.undoWriteSlot(), ref.write);
        ASSERT_EQ(ring.undoReadSlot(), ref.read);
        for (int i = 1; i <= 5; ++i)
            ASSERT_EQ(ring.snapshot(i).toImage(), ref.snaps[std::size_t(i - 1)]) << i;
        ASSERT_EQ(ring.unmarkedCopy().toImage(), ref.copy);
    }
    // The canvas after the first n markings (0: the unmarked picture).
    QImage after(int n) const { return n == 0 ? picture : history[std::size_t(n - 1)]; }

    UndoRing ring;
    ReferenceRing ref;
    QImage picture, canvas, refCanvas;
    std::vector<QImage> history;
    int count = 0;
    bool markingsDrawn = false;
};

TEST_F(UndoRingTest, UndoBeforeAnyMarkingOnlyStepsTheReadSlot) {
    undo();
    EXPECT_EQ(canvas, picture);
    EXPECT_EQ(ring.undoReadSlot(), 5);
    undo();
    EXPECT_EQ(ring.undoReadSlot(), 4);
    markingsDrawn = true; // e.g. set by a text placed earlier: slot 4 holds the picture
    undo();
    EXPECT_EQ(canvas, picture);
}

TEST_F(UndoRingTest, ThreeMarkingsThreeUndosThenAFourth) {
    for (int i = 0; i < 3; ++i)
        mark();
    undo();
    EXPECT_EQ(canvas, after(2));
    undo();
    undo();
    EXPECT_EQ(canvas, after(0));
    undo(); // slot 5 still holds the new picture
    EXPECT_EQ(canvas, after(0));
    EXPECT_EQ(ring.undoReadSlot(), 4);
}

TEST_F(UndoRingTest, SevenMarkingsFiveUndosThenASixth) {
    for (int i = 0; i < 7; ++i)
        mark();
    EXPECT_EQ(ring.undoWriteSlot(), 2);
    for (int i = 0; i < 5; ++i)
        undo();
    EXPECT_EQ(canvas, after(2));
    undo(); // slot 2, written last, before marking 7
    EXPECT_EQ(canvas, after(6));
}

TEST_F(UndoRingTest, TwoMarkingsTwoUndosOneMoreTwoUndos) {
    mark();
    mark();
    undo();
    undo();
    EXPECT_EQ(canvas, after(0));
    mark(); // goes into slot 3
    EXPECT_EQ(ring.undoWriteSlot(), 3);
    undo();
    EXPECT_EQ(canvas, after(0));
    undo(); // slot 2: the picture with the first marking
    EXPECT_EQ(canvas, after(1));
}

TEST_F(UndoRingTest, ClearAllThenUndo) {
    mark();
    mark();
    clearAll();
    EXPECT_EQ(canvas, picture);
    EXPECT_EQ(ring.undoReadSlot(), 0);
    EXPECT_EQ(ring.undoWriteSlot(), 2);
    undo(); // nothing to restore, read slot to 5
    EXPECT_EQ(canvas, picture);
    EXPECT_EQ(ring.undoReadSlot(), 5);
    undo(); // slot 5 is the new picture's copy
    EXPECT_EQ(canvas, picture);
    mark();
    EXPECT_EQ(ring.undoWriteSlot(), 3);
}

TEST_F(UndoRingTest, LongMixedSequenceMatchesFullCopies) {
    const char* script = "mmmuummmmmmmuuuuuuuumcmuumumuuuuummmmmmmmmmmmuuuuuu";
    for (const char* p = script; *p; ++p) {
        if (*p == 'm') mark();
        if (*p == 'u') undo();
        if (*p == 'c') clearAll();
    }
}

TEST_F(UndoRingTest, ClearAllRestoresThePictureAtItsSizeThen) {
    mark();
    canvas = whitePicture(40, 30); // a picture of another size without the reset
    refCanvas = canvas.copy();
    clearAll();
    EXPECT_EQ(canvas.size(), QSize(300, 200));
    EXPECT_EQ(canvas, picture);
}

TEST_F(UndoRingTest, HandOverCopiesButKeepsTheIndexes) {
    mark();
    mark();
    QImage next = whitePicture(50, 60);
    ring.handOver(next);
    EXPECT_EQ(ring.undoWriteSlot(), 2);
    EXPECT_EQ(ring.undoReadSlot(), 2);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(ring.snapshot(i).toImage(), next);
    EXPECT_EQ(ring.unmarkedCopy().toImage(), next);
    ring.newPicture(next);
    EXPECT_EQ(ring.undoWriteSlot(), 0);
    EXPECT_EQ(ring.undoReadSlot(), 0);
}

TEST(UndoRingMemory, SmallMarkingsShareTheUnchangedPixels) {
    QImage canvas(1920, 1080, QImage::Format_RGB32);
    canvas.fill(qRgb(40, 80, 120));
    const qsizetype pictureBytes = canvas.sizeInBytes();
    UndoRing ring;
    ring.newPicture(canvas);
    EXPECT_LE(ring.memoryBytes(), pictureBytes + pictureBytes / 50);
    for (int i = 0; i < 10; ++i) {
        ring.takeUndoSnapshot(canvas);
        QPainter(&canvas).fillRect(100 + 150 * i, 100 + 80 * i, 40, 30, Qt::red);
    }
    // Ten small markings: a few tiles each, not ten copies.
    EXPECT_LE(ring.memoryBytes(), pictureBytes + pictureBytes / 10);
    for (int i = 0; i < 5; ++i)
        ring.undo(canvas, true);
    EXPECT_LE(ring.memoryBytes(), pictureBytes + pictureBytes / 10);
    EXPECT_GT(ring.snapshot(1).sharedTilesWith(ring.unmarkedCopy()), 400);
}

} // namespace
} // namespace kamsulo::annotate
