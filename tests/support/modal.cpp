#include "modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace kamsulo::test {

namespace {

// One look for the modal window. The next look is a copy of this one, so that
// nothing outlives the last look that is pending (a look that refers to itself
// would keep itself alive when the program ends before its deadline).
struct ModalPoll {
    std::function<void(QWidget*)> action;
    std::function<bool(QWidget*)> accept;
    QDeadlineTimer deadline;
    std::shared_ptr<bool> live;

    void operator()() const {
        if (!*live) return;
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && (!accept || accept(w))) {
            action(w);
            return;
        }
        if (deadline.hasExpired()) return;
        QTimer::singleShot(20, *this);
    }
};

} // namespace

ModalWatch whenModal(std::function<void(QWidget*)> action, int timeoutMs,
                     std::function<bool(QWidget*)> accept) {
    auto live = std::make_shared<bool>(true);
    QTimer::singleShot(
        0, ModalPoll{std::move(action), std::move(accept), QDeadlineTimer(timeoutMs), live});
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
