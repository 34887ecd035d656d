#include "modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace kamsulo::test {

ModalWatch whenModal(std::function<void(QWidget*)> action, int timeoutMs,
                     std::function<bool(QWidget*)> accept) {
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    auto live = std::make_shared<bool>(true);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, accept, deadline, poll, live]() {
        if (!*live) {
            *poll = nullptr;
            return;
        }
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && (!accept || accept(w))) {
            action(w);
            *poll = nullptr; // break the cycle
            return;
        }
        if (deadline->hasExpired()) {
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(20, *poll);
    };
    QTimer::singleShot(0, *poll);
    return ModalWatch(live);
}

static QString plain(QString s) {
    return s.remove(QLatin1Char('&'));
}

bool pressButton(QWidget* box, const QString& text) {
    if (!box) return false;
    for (QAbstractButton* b : box->findChildren<QAbstractButton*>()) {
        if (plain(b->text()) == plain(text) && b->isVisible()) {
            b->click();
            return true;
        }
    }
    return false;
}

QString boxText(QWidget* box) {
    if (auto* mb = qobject_cast<QMessageBox*>(box)) return mb->text();
    return {};
}

bool waitFor(const std::function<bool()>& cond, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace kamsulo::test
