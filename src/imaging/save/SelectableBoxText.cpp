#include "imaging/save/SelectableBoxText.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace kamsulo::imaging {

SelectableBoxText::SelectableBoxText() {
    qApp->installEventFilter(this);
}

SelectableBoxText::~SelectableBoxText() {
    qApp->removeEventFilter(this);
}

bool SelectableBoxText::eventFilter(QObject* watched, QEvent* event) {
    if (!done_ && event->type() == QEvent::Show) {
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            done_ = true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kamsulo::imaging
