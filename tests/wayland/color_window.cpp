// A native window of one colour for the Wayland story. Its app_id,
// kamsulo-test-color, lets the test session's compositor float and place it.
//   color_window #RRGGBB
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

namespace {

class ColorWindow : public QRasterWindow {
public:
    explicit ColorWindow(const QColor& color) : color_(color) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(0, 0), size()), color_);
    }

private:
    QColor color_;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication::setDesktopFileName(QStringLiteral("kamsulo-test-color"));
    QGuiApplication app(argc, argv);
    ColorWindow window(QColor(QString::fromLocal8Bit(argc > 1 ? argv[1] : "#ff8800")));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
