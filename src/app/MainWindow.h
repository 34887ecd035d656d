#pragma once
// The main window: the button row and its dispatcher, the banner, the canvas in its
// viewport with the scroll bars, the palette strip, the unsaved-picture guard and
// closing. Other windows reach it only through the host interfaces it implements.
#include "annotate/CanvasHost.h"
#include "annotate/TextDialogHost.h"
#include "app/MainButton.h"
#include "app/PaintProgram.h"
#include "capture/CaptureHost.h"
#include "capture/region/RegionHost.h"
#include "imaging/save/SaveHost.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QMimeData;
class QScrollBar;
class QTimer;
class QToolButton;

namespace kamsulo::capture {
class ScreenCapture;
}
namespace kamsulo::annotate {
class Canvas;
class PaletteStrip;
} // namespace kamsulo::annotate

namespace kamsulo::app {

class Banner;
class FlatButtonStyle;
class SizeGrip;
class TrayIcon;

class MainWindow : public QWidget,
                   public capture::CaptureHost,
                   public capture::RegionHost,
                   public annotate::CanvasHost,
                   public annotate::TextDialogHost,
                   public imaging::SaveHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // What a press of a button of the row does (also the tray menu's entries).
    void onButton(MainButton button);
    // The largest picture the window opens.
    static QSize largestPicture();

    // The windows of other subsystems, opened through these so that they stay
    // replaceable.
    struct Windows {
        std::function<void()> showRegionOverlay; // the one-shot timer's tick
        std::function<void()> showSaveDialog;    // the Save button
        std::function<void()> unloadSaveDialog;  // Region and closing
    };
    Windows& windows() { return windows_; }

    // Opens an image file as the Open button would after its file dialog (the
    // command line's FILE): a refused file leaves the canvas empty and says why.
    void openFile(const QString& path);

    // Whether a capture runs, from its button to the window's return.
    bool capturing() const { return captureStage_ != CaptureStage::None; }
    // Whether the paint program is being started and awaited (the MsPaint button).
    bool handingToPaintProgram() const;

    // The current canvas image (the picture with its markings).
    QImage canvasImage() const;
    FormState formState() const { return formState_; }
    void setFormState(FormState state);
    // The background colour of a button as it was last written (0x00BBGGRR, or a
    // system colour reference when negative).
    long long buttonBackColor(MainButton button) const;

    // --- CaptureHost and RegionHost ---
    void handOverCapture(const QImage& picture) override;
    const QWindow* hostWindow() const override { return windowHandle(); }
    void clearCanvasPicture() override;
    void handOverPicture(const QImage& picture) override { handOverCapture(picture); }
    void showMainWindowNormal() override;
    void resetScrollBars() override;
    void updateCanvasToolTip() override;

    // --- CanvasHost ---
    QString caption() const override { return windowTitle(); }
    void setCaption(const QString& text) override { setWindowTitle(text); }
    void clearButtonHighlight() override;
    annotate::ToolId selectedTool() const override;
    void deselectAllTools() override;
    quint32 currentColor() const override;
    void setCurrentColor(quint32 bgr) override;
    QSize viewportSize() const override;
    void panCanvas(Qt::Orientation direction, int offset) override;
    void showTextDialog() override;
    bool markingsDrawn() const override { return markingsDrawn_; }
    void setMarkingsDrawn() override { markingsDrawn_ = true; }

    // --- SaveHost ---
    QImage pictureToSave() const override;
    bool shotSaved() const override { return shotSaved_; }
    void setShotSaved(bool saved) override { shotSaved_ = saved; }

    // --- TextDialogHost ---
    annotate::CanvasTarget& canvasTarget() override;
    QString textPosX() const override;
    QString textPosY() const override;
    void setSkipCentering() override { skipCentering_ = true; }
    void focusMainWindow() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void initialise();
    capture::ScreenCapture& screenCapture();

    // The dispatcher's branches.
    void capture(MainButton button);
    void finishCapture(MainButton button);
    void startRegion();
    bool askToSaveFirst(); // true when the user chose to save first
    // The window gets out of the way of a capture: it hides, and `then` runs after the
    // two pauses in which the screen repaints.
    void stepAside(std::function<void()> then);
    void onStepAsidePause();
    // Withdraws the capture that runs (the pauses, the prompt, the desktop's request,
    // the overlay); false when none ran.
    bool cancelCapture();
    void hideOwnedWindows();
    void restoreOwnedWindows();
    void onRegionTimer();
    void enterTray();
    void onTrayEntry(int entry);
    void askToExit();

    // Opening (MainWindowOpen.cpp).
    void prepareForNewPicture();
    // These are false when the picture was refused as too large.
    bool openFromDialog();
    bool loadPicture(const QString& path);
    bool showNewPicture(const QImage& picture); // the new-picture steps of Open and paste
    bool refuseTooLarge();

    // The clipboard (MainWindowClipboard.cpp).
    void copyToClipboard();
    void pasteFromClipboard();
    // The paste of picture data from the clipboard or a drop.
    // Whose data a paste or a drop brings: another program's bytes are decoded in the
    // decoder process; only the program's own picture is taken as it is.
    enum class DataOrigin { OtherProgram, ThisProgram };
    void pasteFrom(const QMimeData* data, DataOrigin origin);

    // Keyboard shortcuts and drops (MainWindowShortcuts.cpp).
    void installShortcuts();
    // Starts the paint program and pastes the clipboard into it (MainWindowPaint.cpp).
    void handToPaintProgram();
    void onPaintOutcome(PaintProgram::Outcome outcome);

    // Closing.
    bool mayClose();
    void unload();

    // Layout (MainWindowLayout.cpp).
    void layoutWindow();
    void onExposed();
    void centreCanvas();
    void paintBannerGradient();
    void highlightButton(int index);
    void applyButtonColor(int index, long long colour);
    void resizeWindowTwips(double W, double H);
    void setCanvasScaleTwips();
    double formWidthTwips() const;
    double formHeightTwips() const;
    void scrollCanvasTo(Qt::Orientation direction, int value);
    void centreOnScreen();
    // The frame arrives some time after the window is mapped: looked for until known.
    void watchForFrame();
    void onFrameWatch();

    Windows windows_;
    std::unique_ptr<capture::ScreenCapture> screenCapture_;
    std::unique_ptr<PaintProgram> paintProgram_; // the latest hand-over to the editor

    // The capture that runs: one at a time.
    enum class CaptureStage {
        None,
        SteppingAside, // the window's two pauses
        Grabbing,      // the screen capture: prompt, wait, the desktop's answer
        Region,        // the region overlay, armed or shown
    };
    CaptureStage captureStage_ = CaptureStage::None;
    MainButton captureButton_ = MainButton::Screen;
    QTimer stepAsidePause_;
    int stepAsidePauses_ = 0; // of the two, those that have passed
    std::function<void()> afterStepAside_;

    // Program-wide state.
    bool shotSaved_ = true;
    QDateTime capturedAt_ = QDateTime::currentDateTime(); // names the editor's file
    bool skipCentering_ = false;
    bool markingsDrawn_ = false;
    QString lastOpenFolder_;

    // Controls.
    FlatButtonStyle* buttonStyle_ = nullptr;
    std::array<QToolButton*, kMainButtonCount> buttons_{};
    std::array<long long, kMainButtonCount> backColor_{};
    Banner* banner_ = nullptr;
    annotate::PaletteStrip* paletteStrip_ = nullptr;
    QWidget* viewport_ = nullptr;
    annotate::Canvas* canvas_ = nullptr;
    QScrollBar* hScroll_ = nullptr;
    QScrollBar* vScroll_ = nullptr;
    SizeGrip* sizeGrip_ = nullptr;
    QWidget* pasteCorner_ = nullptr;
    QTimer* regionTimer_ = nullptr;
    TrayIcon* tray_ = nullptr;

    // Owned windows hidden while a capture is taken, with their places.
    QList<QPair<QPointer<QWidget>, QPoint>> hiddenOwned_;

    // Form state.
    long long hoverColor_ = 0;
    long long buttonColor_ = 0;
    int lastButtonIndex_ = 0;
    long long minFormWidth_ = 0;
    long long minFormHeight_ = 0;
    long long panRangeX_ = 0;
    long long panRangeY_ = 0;
    int timerTicks_ = 0;
    FormState formState_ = FormState::Normal;
    bool inLayout_ = false;
    bool steppingAside_ = false; // minimised for a capture, not by the user
    bool frameKnown_ = false;
    QMargins frame_;
    QTimer frameWatch_;
    int frameWatchTicks_ = 0;
    static constexpr int kFrameWatchMs = 20;
    static constexpr int kFrameWatchTicks = 150;
    bool exposeHooked_ = false;
    bool unloaded_ = false;
};

} // namespace kamsulo::app
