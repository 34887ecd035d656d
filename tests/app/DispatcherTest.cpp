// The dispatcher's state rules: which presses ask, what Yes and No do, closing, the
// one-shot timer, and the keyboard shortcuts.
#include "annotate/Canvas.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/MainWindow.h"
#include "info/InfoDialog.h"
#include "support/modal.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kamsulo;
using kamsulo::annotate::PaletteStrip;
using kamsulo::app::FormState;
using kamsulo::app::MainButton;
using kamsulo::app::MainWindow;

namespace {

struct Box {
    QString title, text;
};

// Answers every modal box with `button` and records what it showed.
struct Answerer {
    QList<Box> seen;
    test::ModalWatch watch;
    ~Answerer() { watch.cancel(); }
    void arm(const QString& button) {
        watch = test::whenModal(
            [this, button](QWidget* w) {
                seen.append({w->windowTitle(), test::boxText(w)});
                test::pressButton(w, button);
            },
            5000, [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
    }
};

// Cancels the next file dialog, as a user who changed their mind.
test::ModalWatch cancelFileDialog() {
    return test::whenModal([](QWidget* w) { test::pressButton(w, QStringLiteral("Abbrechen")); },
                           5000,
                           [](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; });
}

QImage solid(QColor c, QSize s = QSize(50, 40)) {
    QImage img(s, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

struct Shown {
    MainWindow w;
    int saves = 0, overlays = 0, saveUnloads = 0;
    Shown() {
        w.windows().showSaveDialog = [this] { ++saves; };
        // An overlay that ends at once, as a release without a drag would.
        w.windows().showRegionOverlay = [this] {
            ++overlays;
            w.showMainWindowNormal();
        };
        w.windows().unloadSaveDialog = [this] { ++saveUnloads; };
        w.show();
        test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); });
    }
    PaletteStrip* strip() { return w.findChild<PaletteStrip*>(QStringLiteral("paletteStrip")); }
    QTimer* regionTimer() { return w.findChild<QTimer*>(QStringLiteral("regionTimer")); }
    const annotate::UndoRing& ring() {
        return w.findChild<annotate::Canvas*>(QStringLiteral("canvas"))->undoRing();
    }
};

} // namespace

TEST(Dispatcher, CapturesNeverAskAndReplaceThePicture) {
    Shown s;
    s.w.handOverCapture(solid(Qt::green));
    s.w.setShotSaved(false);
    Answerer a;
    a.arm(QStringLiteral("Nein"));
    s.w.onButton(MainButton::Screen);
    // Asked for, and answered after the window's pauses.
    EXPECT_FALSE(s.w.isVisible());
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    ASSERT_TRUE(test::waitFor([&] { return s.w.isVisible(); }));
    EXPECT_TRUE(a.seen.isEmpty());
    EXPECT_EQ(s.w.canvasImage().size(), screen);
    const auto& ring = s.ring();
    EXPECT_EQ(ring.unmarkedCopy().toImage(), s.w.canvasImage());
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(ring.snapshot(slot).toImage(), s.w.canvasImage());
    EXPECT_EQ(ring.undoReadSlot(), 0);
    EXPECT_EQ(ring.undoWriteSlot(), 0);
    EXPECT_FALSE(s.w.shotSaved());
    EXPECT_TRUE(s.w.findChild<QWidget*>(QStringLiteral("banner"))->isHidden());
    EXPECT_TRUE(s.strip()->isEnabled());
    EXPECT_TRUE(s.w.isVisible());
    EXPECT_EQ(s.w.formState(), FormState::Normal);

    // The window capture asks nothing either; its only box is the prompt, answered OK.
    Answerer prompt;
    prompt.arm(QStringLiteral("OK"));
    s.w.onButton(MainButton::Window);
    // The prompt, then the wait of two to three seconds.
    ASSERT_TRUE(test::waitFor([&] { return s.w.isVisible(); }, 6000));
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
    s.w.setShotSaved(false);
    Answerer a;
    a.arm(QStringLiteral("Ja"));
    s.w.onButton(MainButton::Open);
    ASSERT_EQ(a.seen.size(), 1);
    EXPECT_EQ(a.seen[0].title, QStringLiteral("Pixtorel - Kontrollabfrage"));
    EXPECT_EQ(
        a.seen[0].text,
        QStringLiteral("Der letzte ScreenShot wurde noch nicht gespeichert. Jetzt speichern?"));
    EXPECT_EQ(s.saves, 1);
    EXPECT_EQ(s.w.canvasImage(), before);
    EXPECT_FALSE(s.w.shotSaved());

    // No goes on without opening the save dialog; a saved picture is not guarded.
    Answerer no;
    no.arm(QStringLiteral("Nein"));
    cancelFileDialog();
    s.w.onButton(MainButton::Open);
    EXPECT_EQ(no.seen.size(), 1);
    EXPECT_EQ(s.w.canvasImage(), before); // a cancelled dialog keeps the picture
    EXPECT_EQ(s.saves, 1);
    s.w.setShotSaved(true);
    Answerer none;
    none.arm(QStringLiteral("Nein"));
    cancelFileDialog();
    s.w.onButton(MainButton::Open); // a box would be answered before this returns
    EXPECT_TRUE(none.seen.isEmpty());
}

TEST(Dispatcher, ClosingUnsavedAsksOnceAndYesKeepsRunning) {
    Shown s;
    s.w.setShotSaved(false);
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

TEST(Dispatcher, TimerShowsTheOverlayOncePerArmingAndOneCaptureRunsAtATime) {
    Shown s;
    s.w.onButton(MainButton::Region);
    // A second capture asked for while the first runs is ignored, whichever it is.
    for (MainButton again : {MainButton::Region, MainButton::Screen, MainButton::Window})
        s.w.onButton(again);
    ASSERT_TRUE(test::waitFor([&] { return s.overlays == 1; }, 2000));
    EXPECT_EQ(s.saveUnloads, 1);
    // Stopped at its first tick, so it cannot show a second overlay.
    EXPECT_FALSE(s.regionTimer()->isActive());
    EXPECT_EQ(s.saveUnloads, 1);
    EXPECT_FALSE(s.w.shotSaved());

    s.w.onButton(MainButton::Region);
    ASSERT_TRUE(test::waitFor([&] { return s.overlays == 2; }, 2000));
    EXPECT_FALSE(s.regionTimer()->isActive());

    // Screen leaves an open save dialog alone.
    s.w.onButton(MainButton::Screen);
    EXPECT_EQ(s.saveUnloads, 2);
    ASSERT_TRUE(test::waitFor([&] { return s.w.isVisible(); }));
    EXPECT_EQ(s.overlays, 2);
}

// Closing while a capture runs withdraws it first; the window stays if the user keeps it.
TEST(Dispatcher, ClosingDuringACaptureCancelsItFirst) {
    Shown s;
    s.w.setShotSaved(true);
    const QImage before = solid(Qt::red);
    s.w.handOverCapture(before);
    s.w.setShotSaved(true);
    Answerer a;
    a.arm(QStringLiteral("Ja")); // Yes: save first, the program stays
    s.w.onButton(MainButton::Window);
    EXPECT_FALSE(s.w.isVisible());
    EXPECT_FALSE(s.w.close());
    // The capture set the picture unsaved: closing asks, Yes keeps the window, which
    // comes back without the prompt's box and without a capture later on.
    ASSERT_EQ(a.seen.size(), 1);
    EXPECT_EQ(a.seen[0].text,
              QStringLiteral("Der Screenshot wurde noch nicht gespeichert. Jetzt Speichern?"));
    EXPECT_TRUE(s.w.isVisible());
    EXPECT_EQ(s.saves, 1);
    QTest::qWait(400); // past both pauses: nothing comes of the capture
    EXPECT_EQ(a.seen.size(), 1);
    EXPECT_EQ(s.w.canvasImage(), before);
    // And another capture may run.
    s.w.onButton(MainButton::Region);
    ASSERT_TRUE(test::waitFor([&] { return s.overlays == 1; }, 2000));
}

TEST(Dispatcher, OnlySaveAndItsGuardsOpenTheSaveDialog) {
    Shown s;
    s.w.setShotSaved(true);
    cancelFileDialog();
    for (MainButton b : {MainButton::Clipboard, MainButton::Info, MainButton::Open})
        s.w.onButton(b);
    EXPECT_EQ(s.saves, 0);
    s.w.onButton(MainButton::Save);
    s.w.onButton(MainButton::Save);
    EXPECT_EQ(s.saves, 2);
}

TEST(Dispatcher, AnyPressDeselectsOnlyThePixelTools) {
    Shown s;
    s.w.setShotSaved(true);
    using annotate::ToolId;
    for (ToolId tool : {ToolId::Pipette, ToolId::RoundRect}) {
        s.strip()->setToolSelected(tool, true);
        ASSERT_EQ(s.strip()->selectedTool(), tool);
        s.w.onButton(MainButton::Info);
        EXPECT_EQ(s.strip()->selectedTool(), ToolId::None);
    }
    s.strip()->setToolSelected(ToolId::Oval, true);
    s.w.onButton(MainButton::Info);
    EXPECT_EQ(s.strip()->selectedTool(), ToolId::Oval);
}

TEST(Dispatcher, ShortcutsDoWhatTheirButtonsDoAndWaitWhileABoxIsOpen) {
    Shown s;
    // A shortcut works in the active window: each press makes sure the window is it.
    const auto press = [&](QKeySequence::StandardKey key) {
        s.w.activateWindow();
        ASSERT_TRUE(test::waitFor([&] { return s.w.isActiveWindow(); }, 20000));
        QTest::keySequence(&s.w, QKeySequence(key));
    };
    const auto shown = [&] { return s.w.canvasImage().convertToFormat(QImage::Format_RGB32); };
    const QImage picture = solid(Qt::darkCyan, QSize(70, 50));
    QGuiApplication::clipboard()->setImage(picture);
    press(QKeySequence::Paste);
    ASSERT_EQ(shown(), picture);
    QGuiApplication::clipboard()->clear();
    press(QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);

    // A marking, taken back as the undo button does.
    s.strip()->setToolSelected(annotate::ToolId::Rectangle, true);
    auto* canvas = s.w.findChild<QWidget*>(QStringLiteral("canvas"));
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), canvas->mapToGlobal(QPointF(40, 30)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(40, 30));
    ASSERT_NE(shown(), picture);
    press(QKeySequence::Undo);
    EXPECT_EQ(shown(), picture);

    press(QKeySequence::Save);
    EXPECT_EQ(s.saves, 1);
    press(QKeySequence::HelpContents);
    EXPECT_TRUE(info::InfoDialog::instance()->isVisible());
    info::InfoDialog::unload();

    // Open asks about the unsaved picture first; while it asks, the keys do nothing.
    int savesWhileAsked = -1;
    const test::ModalWatch guard = test::whenModal(
        [&](QWidget* box) {
            QTest::keySequence(&s.w, QKeySequence(QKeySequence::Save));
            savesWhileAsked = s.saves;
            test::pressButton(box, QStringLiteral("Nein"));
        },
        5000, [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
    cancelFileDialog();
    press(QKeySequence::Open);
    EXPECT_EQ(savesWhileAsked, 1);

    Answerer quit;
    quit.arm(QStringLiteral("Ja"));
    press(QKeySequence::Quit);
    ASSERT_EQ(quit.seen.size(), 1);
    EXPECT_EQ(quit.seen[0].text,
              QStringLiteral("Der Screenshot wurde noch nicht gespeichert. Jetzt Speichern?"));
    EXPECT_TRUE(s.w.isVisible());
    EXPECT_EQ(s.saves, 2);
}
