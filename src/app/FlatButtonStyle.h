#pragma once
// The button row's look: the button face filled flat in its palette colour (the
// hover yellow stays one yellow), with a thin raised or sunken edge.
#include <QProxyStyle>

namespace kamsulo::app {

class FlatButtonStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace kamsulo::app
