#pragma once
// SaveDialog, "Speichern als...": the small black tool window in which the user
// picks the file type (PNG, JPG with a quality, GIF or BMP) and presses "Save".
#include "imaging/save/SaveFormats.h"

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace kamsulo::imaging {

class ImageWriter;
class SaveHost;

// The folder, with a trailing "/", of the last file chosen in the save dialog;
// empty at program start and kept only for the run.
QString lastSaveFolder();
void setLastSaveFolder(const QString& folder);

class SaveDialog : public QWidget {
    Q_OBJECT
public:
    // The program-wide dialog, created on first use with PNG and 85 % selected.
    static SaveDialog& instance();
    // True while the program-wide dialog exists.
    static bool hasInstance();
    // Closes and deletes the program-wide dialog (Region, closing); the next
    // instance() starts again from PNG and 85 %.
    static void unloadInstance();

    explicit SaveDialog(QWidget* parent = nullptr);
    ~SaveDialog() override;

    // Shows the window modeless, owned by `owner`, with its right edge flush with
    // the owner's and its top 400 twips below the owner's top. Showing it again
    // places it anew.
    void showBeside(QWidget* owner);

    // The save flow behind "Save": file dialog, write, confirmation.
    void savePicture();

    QRadioButton* typeButton(SaveType type) const {
        return typeButtons_.at(static_cast<std::size_t>(type));
    }
    QScrollBar* qualityBar() const { return qualityBar_; }
    QLabel* qualityLabel() const { return qualityLabel_; }
    QPushButton* saveButton() const { return saveButton_; }

    // The selected file type (PNG when none is).
    SaveType selectedType() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showQuality();
    // Releases the writer and gives the focus back to the owner; runs once.
    void tearDown();
    void placeBeside(QWidget* owner, int retries);

    std::unique_ptr<ImageWriter> writer_;
    std::array<QRadioButton*, saveTypeCount> typeButtons_{};
    QScrollBar* qualityBar_ = nullptr;
    QLabel* qualityLabel_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    bool tornDown_ = false;
};

// The main window registers itself once; the save dialog asks it for the picture
// and for the saved flag. Without a host nothing can be saved.
void setSaveHost(SaveHost* host);
SaveHost* saveHost();

} // namespace kamsulo::imaging
