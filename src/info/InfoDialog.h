#pragma once
// The info window: product name, version, advice on the file formats and the tray
// icon, and a link to the donation page. It has no buttons; its close box unloads it.
#include <QIcon>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace kamsulo::info {

// The donation page, opened in the desktop's default browser.
inline constexpr char kDonationAddress[] = "https://kamsulo.example/spenden";

class InfoDialog : public QWidget {
    Q_OBJECT
public:
    explicit InfoDialog(const QIcon& icon = QIcon(), QWidget* parent = nullptr);

    // The one program-wide instance, created on first use with the icon given to
    // setProgramIcon(). Closing it destroys it; the next call creates a new one.
    static InfoDialog* instance();
    // The icon for instances created from now on (and for the current one).
    static void setProgramIcon(const QIcon& icon);
    // Closes and destroys the instance, if there is one.
    static void unload();

    // Shows the window; one that is open already comes back to the front, active,
    // also from behind other windows or from the task bar.
    void showInFront();

    // Opens the donation page; a browser that fails to start shows nothing.
    static void openDonationPage();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHeader();
    void buildHelpPanel();
    void buildDonationLink();
    // Centres the outer window, frame included, on the primary screen.
    void centreOnScreen();
    // Centres once more as soon as the window manager has framed the window.
    void watchForFrame();

    QLabel* donationLabel_ = nullptr;
    bool centred_ = false;
    QTimer frameWatch_;
    int frameWatchTicks_ = 0;
};

} // namespace kamsulo::info
