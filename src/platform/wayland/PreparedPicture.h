#pragma once
// Memory for a picture that is about to arrive, its pages faulted in on a thread of
// its own meanwhile: fresh memory costs a page fault per 4 KiB when the pixels land,
// several milliseconds for a screen.
#include <QImage>
#include <thread>

namespace kamsulo::platform {

class PreparedPicture {
public:
    PreparedPicture(QSize size, QImage::Format format);
    ~PreparedPicture();
    PreparedPicture(const PreparedPicture&) = delete;
    PreparedPicture& operator=(const PreparedPicture&) = delete;

    // The picture once its pages are in; null when none could be made, and after the
    // first call.
    QImage take();

private:
    void wait();

    QImage picture_;
    std::thread toucher_;
};

} // namespace kamsulo::platform
