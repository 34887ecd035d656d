#pragma once
// The main window: the button row and its dispatcher, the banner, the canvas in its
// viewport with the scroll bars, the palette strip, the unsaved-picture guard and
// closing.
#include "annotate/CanvasHost.h"
#include "annotate/TextDialogHost.h"
#include "app/TrayIconData.h"
#include "capture/CaptureHost.h"
#include "capture/region/RegionHost.h"
#include "imaging/save/SaveHost.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QScrollBar;
class QTimer;
class QToolButton;

namespace kamsulo::capture {
class Form1;
}
namespace kamsulo::annotate {
class AnzeigePic;
class PaletteStrip;
} // namespace kamsulo::annotate

namespace kamsulo::app {

class Banner;
class SizeGrip;

class frmAnzeige : public QWidget,
                   public capture::CaptureHost,
                   public capture::RegionHost,
                   public annotate::CanvasHost,
                   public annotate::TextDialogHost,
                   public imaging::SaveHost {
    Q_OBJECT
public:
    explicit frmAnzeige(QWidget* parent = nullptr);
    ~frmAnzeige() override;

    static constexpr int buttonCount = 9;

    // --- program-wide state ---
    bool ShotSaved = true;
    bool SkipCentering = false;
    bool markingsDrawn_ = false;
    QString LastOpenFolder;
    TrayIconData trayIconData;

    // --- form-level state ---
    QString hoverColor;
    QString buttonColor;
    int lastButtonIndex = 0;
    long long minFormWidth = 0;
    long long minFormHeight = 0;
    // The undo ring's positions live with the canvas.
    int undoWriteSlot() const;
    int undoReadSlot() const;
    long long panRangeX = 0;
    long long panRangeY = 0;

    // --- controls ---
    std::array<QToolButton*, buttonCount> Command1{};
    Banner* Picture1 = nullptr;
    annotate::PaletteStrip* Picture2 = nullptr; // the palette strip
    QWidget* AnzeigePicCont = nullptr;
    annotate::AnzeigePic* AnzeigePic = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    SizeGrip* picAnfasser = nullptr;
    QTimer* Timer = nullptr;

    // --- handlers ---
    void Form_Load();
    void Command1_Click(int index);
    void ref();
    void Timer_Timer();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload();
    void mnuExit_Click();

    void Form_Resize();
    void Form_Paint();
    void scroll_init() override;
    void zentrieren();
    void farbverlauf();
    void roll_in(int index);
    void roll_out();
    void tool_tipp() override;
    void HScroll1_Change();
    void VScroll1_Change();
    void Command1_MouseMove(int index);
    void Form_MouseMove();
    void AnzeigePicCont_MouseMove();

    // Forms of other subsystems, opened through these so that they stay replaceable.
    std::function<void()> showRegionOverlay; // the one-shot timer's tick
    std::function<void()> showSaveDialog;    // the Save branch
    std::function<void()> unloadSaveDialog;  // the Region branch

    // Setting a button's value to True raises its click.
    void pressButton(int index) { Command1_Click(index); }

    // The background colour of button `index` as it was last written (0x00BBGGRR or a
    // system colour reference).
    long long buttonBackColor(int index) const { return backColor_[index]; }

    // The capture hand-over: the picture becomes the canvas picture, and the canvas
    // image goes into picCopy and the five undo slots.
    void handOverCapture(const QImage& picture) override;
    // The region overlay's hand-over (see RegionHost).
    void clearCanvasPicture() override;
    void handOverPicture(const QImage& picture) override { handOverCapture(picture); }
    void showMainWindowNormal() override;

    // The canvas's host (see CanvasHost).
    QString caption() const override { return windowTitle(); }
    void setCaption(const QString& text) override { setWindowTitle(text); }
    int selectedTool() const override;
    void deselectAllTools() override;
    quint32 currentColor() const override;
    void setCurrentColor(quint32 bgr) override;
    QSize viewportSize() const override;
    void panCanvas(Qt::Orientation direction, int offset) override;
    void showTextDialog() override;
    bool markingsDrawn() const override { return markingsDrawn_; }
    void setMarkingsDrawn() override { markingsDrawn_ = true; }

    // The save dialog's host (see SaveHost).
    QImage pictureToSave() const override;
    bool shotSaved() const override { return ShotSaved; }
    void setShotSaved(bool saved) override { ShotSaved = saved; }

    // The text dialog's host (see TextDialogHost).
    annotate::CanvasTarget& canvasTarget() override;
    QString textPosX() const override;
    QString textPosY() const override;
    void setSkipCentering() override { SkipCentering = true; }
    void focusMainWindow() override;
    // The current canvas image (the picture with its markings).
    QImage canvasImage() const;
    capture::Form1& form1();

    // Twips geometry of the window and its controls.
    double formWidthTwips() const;
    double formHeightTwips() const;

    // Window state: 0 normal, 1 minimised, 2 maximised.
    int windowStateValue() const;
    void setWindowStateValue(int state);

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void applyButtonColor(int index, long long colour);
    void resizeWindowTwips(double W, double H);
    void setCanvasScaleTwips();

    std::array<long long, buttonCount> backColor_{};
    std::unique_ptr<capture::Form1> form1_;
    int timerCounter_ = 0;
    int formState_ = 0; // 0 normal, 1 minimised, 2 maximised
    bool inResize_ = false;
    bool frameKnown_ = false;
    bool exposeHooked_ = false;
    bool unloaded_ = false;
};

} // namespace kamsulo::app
