#pragma once
// A screenshot through the desktop portal (org.freedesktop.portal.Screenshot): the
// call, the Request's Response as a signal (a Request not answered in time is closed), and
// the file behind the answer's uri read at once (the portal may write every caller's
// picture to the same file) and removed.
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kamsulo::platform {

struct PortalShot {
    QImage picture;  // Format_RGB32; null when the portal gave none
    QString failure; // why, in German; empty when the picture came
};

class PortalScreenshot : public QObject {
    Q_OBJECT
public:
    // Asks at once. interactive: the desktop's own dialog lets the user choose what to
    // take (a window, for instance); otherwise the whole desktop without a question.
    // `memory`: ready memory for the picture, taken when it has the picture's size.
    explicit PortalScreenshot(bool interactive, QImage memory = {}, QObject* parent = nullptr);
    // A request still pending is closed (org.freedesktop.portal.Request.Close): its
    // dialog goes, and no answer comes.
    ~PortalScreenshot() override;

signals:
    // Once, never inside the constructor.
    void answered(const kamsulo::platform::PortalShot& shot);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    void listen(const QString& path);
    void finish(const PortalShot& shot);

    bool interactive_;
    QImage memory_;
    QString path_; // the Request's object path, once known
    bool pending_ = true;
    QTimer timeout_;
};

// The same, waited for. TODO(async): goes once the Wayland backends ask through
// PortalScreenshot themselves.
PortalShot portalScreenshot(bool interactive, QImage memory = {});

} // namespace kamsulo::platform
