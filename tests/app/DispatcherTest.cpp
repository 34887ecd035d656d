// The dispatcher's state rules: which presses ask, what Yes and No do, closing, and
// the one-shot timer.
#include "annotate/AnzeigePic.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/frmAnzeige.h"
#include "support/modal.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kamsulo;
using kamsulo::app::frmAnzeige;

namespace {

struct Box {
    QString title, text;
};

// Answers every modal box with `button` and records what it showed.
struct Answerer {
    QList<Box> seen;
    void arm(const QString& button) {
        test::whenModal([this, button](QWidget* w) {
            seen.append({w->windowTitle(), test::boxText(w)});
            test::pressButton(w, button);
        });
    }
};

QImage solid(QColor c, QSize s = QSize(50, 40)) {
    QImage img(s, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

struct Shown {
    frmAnzeige w;
    int saves = 0, overlays = 0, saveUnloads = 0;
    Shown() {
        w.showSaveDialog = [this] { ++saves; };
        w.showRegionOverlay = [this] { ++overlays; };
        w.unloadSaveDialog = [this] { ++saveUnloads; };
        w.show();
        test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); });
    }
};

} // namespace

TEST(Dispatcher, CapturesNeverAskAndReplaceThePicture) {
    Shown s;
    s.w.handOverCapture(solid(Qt::green));
    s.w.ShotSaved = false;
    Answerer a;
    a.arm(QStringLiteral("Nein"));
    s.w.Command1_Click(1);
    EXPECT_TRUE(a.seen.isEmpty());
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(s.w.canvasImage().size(), screen);
    const auto& ring = s.w.AnzeigePic->undoRing();
    EXPECT_EQ(ring.picCopy().toImage(), s.w.canvasImage());
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(ring.picDummy(slot).toImage(), s.w.canvasImage());
    EXPECT_EQ(s.w.undoReadSlot(), 0);
    EXPECT_EQ(s.w.undoWriteSlot(), 0);
    EXPECT_FALSE(s.w.ShotSaved);
    EXPECT_TRUE(s.w.Picture1->isHidden());
    EXPECT_TRUE(s.w.Picture2->isEnabled());
    EXPECT_TRUE(s.w.isVisible());
    EXPECT_EQ(s.w.windowStateValue(), 0);

    // The window capture asks nothing either; its only box is the prompt, answered OK.
    Answerer prompt;
    prompt.arm(QStringLiteral("OK"));
    s.w.Command1_Click(2);
    ASSERT_EQ(prompt.seen.size(), 1);
    EXPECT_EQ(prompt.seen[0].text,
              QStringLiteral("Klicke auf das gewünschte Fenster, und warte einen Augenblick ..."));
    EXPECT_EQ(prompt.seen[0].title, QStringLiteral("Kamsulo"));
    EXPECT_FALSE(s.w.canvasImage().isNull());
    EXPECT_EQ(s.saves, 0);
}

TEST(Dispatcher, OpenGuardYesOpensSaveAndChangesNothingElse) {
    Shown s;
    const QImage before = solid(Qt::blue);
    s.w.handOverCapture(before);
    s.w.ShotSaved = false;
    Answerer a;
    a.arm(QStringLiteral("Ja"));
    s.w.Command1_Click(7);
    ASSERT_EQ(a.seen.size(), 1);
    EXPECT_EQ(a.seen[0].title, QStringLiteral("Pixtorel - Kontrollabfrage"));
    EXPECT_EQ(
        a.seen[0].text,
        QStringLiteral("Der letzte ScreenShot wurde noch nicht gespeichert. Jetzt speichern?"));
    EXPECT_EQ(s.saves, 1);
    EXPECT_EQ(s.w.canvasImage(), before);
    EXPECT_FALSE(s.w.ShotSaved);

    // No goes on without opening the save dialog; a saved picture is not guarded.
    Answerer no;
    no.arm(QStringLiteral("Nein"));
    s.w.Command1_Click(7);
    EXPECT_EQ(no.seen.size(), 1);
    EXPECT_EQ(s.saves, 1);
    s.w.ShotSaved = true;
    Answerer none;
    none.arm(QStringLiteral("Nein"));
    s.w.Command1_Click(7);
    test::waitFor([] { return false; }, 200);
    EXPECT_TRUE(none.seen.isEmpty());
}

TEST(Dispatcher, ClosingUnsavedAsksOnceAndYesKeepsRunning) {
    Shown s;
    s.w.ShotSaved = false;
    Answerer a;
    a.arm(QStringLiteral("Ja"));
    EXPECT_FALSE(s.w.close());
    ASSERT_EQ(a.seen.size(), 1);
    EXPECT_EQ(a.seen[0].title, QStringLiteral("Pixtorel - Kontrollabfrage"));
    EXPECT_EQ(a.seen[0].text,
              QStringLiteral("Der Screenshot wurde noch nicht gespeichert. Jetzt Speichern?"));
    EXPECT_TRUE(s.w.isVisible());
    EXPECT_EQ(s.saves, 1);

    Answerer no;
    no.arm(QStringLiteral("Nein"));
    EXPECT_TRUE(s.w.close());
    EXPECT_EQ(no.seen.size(), 1);
    EXPECT_FALSE(s.w.isVisible());
}

TEST(Dispatcher, TimerShowsTheOverlayOncePerArming) {
    Shown s;
    s.w.Command1_Click(0);
    ASSERT_TRUE(test::waitFor([&] { return s.overlays == 1; }, 2000));
    test::waitFor([] { return false; }, 150);
    EXPECT_EQ(s.overlays, 1);
    EXPECT_FALSE(s.w.Timer->isActive());
    EXPECT_EQ(s.saveUnloads, 1);
    EXPECT_FALSE(s.w.ShotSaved);

    s.w.Command1_Click(0);
    ASSERT_TRUE(test::waitFor([&] { return s.overlays == 2; }, 2000));
    test::waitFor([] { return false; }, 150);
    EXPECT_EQ(s.overlays, 2);

    // Screen leaves an open save dialog alone.
    s.w.Command1_Click(1);
    EXPECT_EQ(s.saveUnloads, 2);
}

TEST(Dispatcher, OnlySaveAndItsGuardsOpenTheSaveDialog) {
    Shown s;
    s.w.ShotSaved = true;
    for (int i : {3, 4, 6, 7}) s.w.Command1_Click(i);
    EXPECT_EQ(s.saves, 0);
    s.w.Command1_Click(5);
    s.w.Command1_Click(5);
    EXPECT_EQ(s.saves, 2);
}

TEST(Dispatcher, AnyPressDeselectsOnlyThePixelTools) {
    Shown s;
    s.w.ShotSaved = true;
    for (int tool : {8, 11}) {
        s.w.Picture2->setToolSelected(tool, true);
        ASSERT_EQ(s.w.Picture2->selectedTool(), tool);
        s.w.Command1_Click(6);
        EXPECT_EQ(s.w.Picture2->selectedTool(), -1);
    }
    s.w.Picture2->setToolSelected(3, true);
    s.w.Command1_Click(6);
    EXPECT_EQ(s.w.Picture2->selectedTool(), 3);
}
