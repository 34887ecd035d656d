#include "app/FlatButtonStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <qdrawutil.h>

namespace kamsulo::app {

void FlatButtonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelButtonTool && element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const bool sunken = option->state & (State_Sunken | State_On);
    painter->fillRect(option->rect, option->palette.button());
    qDrawShadePanel(painter, option->rect, option->palette, sunken, 1);
}

} // namespace kamsulo::app
