// Windows owned by the main window step aside with it for a capture and come back
// where they were; afterwards the main window keeps its normal state.
#include "app/MainWindow.h"
#include "support/modal.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPainter>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kamsulo;
using kamsulo::app::FormState;
using kamsulo::app::MainButton;

namespace {

// A tool window in a colour no screen shows by chance.
class OwnedWindow : public QWidget {
public:
    explicit OwnedWindow(QWidget* owner) : QWidget(owner, Qt::Tool) { resize(120, 90); }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(1, 254, 3)); }
};

int markedPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4)
            if (img.pixel(x, y) == qRgb(1, 254, 3)) ++n;
    return n;
}

bool exposed(QWidget& w) {
    return w.windowHandle() && w.windowHandle()->isExposed();
}

} // namespace

TEST(OwnedWindows, StepAsideForACaptureAndComeBack) {
    app::MainWindow w;
    w.windows().showSaveDialog = [] {};
    w.show();
    ASSERT_TRUE(test::waitFor([&] { return exposed(w); }));
    OwnedWindow owned(&w);
    owned.move(40, 40);
    owned.show();
    ASSERT_TRUE(test::waitFor([&] { return exposed(owned); }));
    const QPoint place = owned.pos();

    w.onButton(MainButton::Screen);
    ASSERT_TRUE(test::waitFor([&] { return !w.capturing(); }));
    EXPECT_EQ(markedPixels(w.canvasImage()), 0) << "the owned window is in the capture";
    EXPECT_TRUE(owned.isVisible());
    EXPECT_EQ(owned.pos(), place);

    // A modal dialog over the owned window leaves the main window as it is.
    bool stayed = false;
    test::whenModal([&](QWidget* dialog) {
        test::waitFor([&] { return dialog->isActiveWindow(); });
        QCoreApplication::processEvents();
        stayed = w.isVisible() && w.formState() == FormState::Normal &&
                 !(w.windowState() & Qt::WindowMinimized);
        test::pressButton(dialog, QStringLiteral("Abbrechen"));
    });
    QFileDialog(&owned).exec();
    EXPECT_TRUE(stayed);
    w.setShotSaved(true);
}
