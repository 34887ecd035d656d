#pragma once
// A capture straight into a file, without the main window: for scripts and key
// bindings. It waits the given delay, takes the capture (Region with its overlay, as
// the button does; the window that is active then, without asking), writes the file
// with the program's own encoders and ends the program: status 0, or 1 with one line
// on stderr when the file cannot be written.
#include "app/CommandLine.h"
#include "capture/region/RegionHost.h"

#include <QImage>
#include <QObject>
#include <QString>

namespace kamsulo::app {

class HeadlessCapture : public QObject, public capture::RegionHost {
    Q_OBJECT
public:
    HeadlessCapture(CommandLine::Capture what, QString output, int delayMs);

    // Checks the file name, then takes the capture after the delay; the program ends
    // when it is written.
    void start();

    // --- RegionHost ---
    void clearCanvasPicture() override { picture_ = {}; }
    void setCaptureFailure(const QString& reason) override { failure_ = reason; }
    void handOverPicture(const QImage& picture) override { picture_ = picture; }
    void showMainWindowNormal() override;
    void resetScrollBars() override {}
    void updateCanvasToolTip() override {}
    // No message box: write() prints the reason and the program ends.
    void refused(const QString&) override {}

private:
    void capture();
    void write();
    void fail(const QString& reason);

    CommandLine::Capture what_;
    QString output_;
    int delayMs_;
    QImage picture_;
    QString failure_; // the desktop's reason when it gave no picture
};

} // namespace kamsulo::app
