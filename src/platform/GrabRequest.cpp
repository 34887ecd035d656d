#include "platform/GrabRequest.h"

#include <QMetaObject>
#include <utility>

namespace kamsulo::platform {

GrabRequest::~GrabRequest() = default;

void GrabRequest::finish(const GrabAnswer& answer) {
    if (finished_) return;
    finished_ = true;
    emit done(answer);
}

namespace {
class ReadyGrab final : public GrabRequest {
public:
    explicit ReadyGrab(GrabAnswer answer) {
        // Queued on this object: a request deleted first never answers.
        QMetaObject::invokeMethod(
            this, [this, answer = std::move(answer)] { finish(answer); }, Qt::QueuedConnection);
    }
};
} // namespace

std::unique_ptr<GrabRequest> GrabRequest::answered(GrabAnswer answer) {
    return std::make_unique<ReadyGrab>(std::move(answer));
}

} // namespace kamsulo::platform
