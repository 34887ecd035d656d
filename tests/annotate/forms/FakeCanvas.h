#pragma once
// A canvas and a main window for the palette and text-dialog tests: the canvas keeps
// its attributes and prints into a QImage (positions in twips, 15 per pixel).
#include "annotate/CanvasTarget.h"
#include "annotate/TextDialogHost.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <vector>

namespace kamsulo::test {

class FakeCanvas : public annotate::CanvasTarget {
public:
    struct Print {
        QString text;
        double x, y;
        quint32 color;
        QFont font;
    };

    FakeCanvas() : image(400, 300, QImage::Format_RGB32) {
        image.fill(Qt::white);
        font_ = QFont(QStringLiteral("Arial"));
        font_.setPointSizeF(8.25);
    }

    void setScaleMode(annotate::ScaleMode mode) override { scale = mode; }
    annotate::ScaleMode scaleMode() const override { return scale; }
    void setCursorIcon(annotate::CursorIcon cursorIcon) override { icon = cursorIcon; }
    void setPenWidth(int pixels) override { width = pixels; }
    int penWidth() const override { return width; }
    void setPenColor(quint32 bgr) override { fore = bgr; }
    quint32 penColor() const override { return fore; }
    void setDrawColor(quint32 bgr) override { drawColor = bgr; }
    void resetLineStart() override { ++lineStartResets; }
    void focusCanvas() override { ++focusCount; }
    QFont font() const override { return font_; }
    void setFont(const QFont& f) override { font_ = f; }
    void movePenTo(double x, double y) override {
        curX = x;
        curY = y;
    }
    void printText(const QString& text) override {
        prints.push_back({text, curX, curY, fore, font_});
        QPainter p(&image);
        p.setFont(font_);
        p.setPen(QColor(int(fore & 0xFF), int((fore >> 8) & 0xFF), int((fore >> 16) & 0xFF)));
        const QPointF topLeft(curX / 15.0, curY / 15.0);
        p.drawText(QRectF(topLeft, QSizeF(1000, 1000)), Qt::AlignLeft | Qt::AlignTop, text);
    }

    QImage image;
    annotate::ScaleMode scale = annotate::ScaleMode::Twips;
    annotate::CursorIcon icon = annotate::CursorIcon::Hand;
    int width = 2;
    quint32 fore = 0;
    quint32 drawColor = 0;
    int lineStartResets = 0;
    int focusCount = 0;
    double curX = 0, curY = 0;
    std::vector<Print> prints;

private:
    QFont font_;
};

class FakeHost : public annotate::TextDialogHost {
public:
    annotate::CanvasTarget& canvasTarget() override { return canvas; }
    QString textPosX() const override { return posX; }
    QString textPosY() const override { return posY; }
    void setMarkingsDrawn() override { markingsDrawn = true; }
    void setSkipCentering() override { skipCentering = true; }
    void focusMainWindow() override { ++mainFocus; }

    FakeCanvas canvas;
    QString posX = QStringLiteral("500");
    QString posY = QStringLiteral("500");
    bool markingsDrawn = false;
    bool skipCentering = false;
    int mainFocus = 0;
};

} // namespace kamsulo::test
