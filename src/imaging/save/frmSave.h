#pragma once
// frmSave, "Speichern als...": the small black tool window in which the user picks
// the file type (PNG, JPG with a quality, GIF or BMP) and presses "Save".
#include <QString>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace kamsulo::imaging {

class clsSaveAs;
class SaveHost;

// The folder, with a trailing "/", of the last file chosen in frmSave; empty at
// program start and kept only for the run.
extern QString LastSaveFolder;

class frmSave : public QWidget {
    Q_OBJECT
public:
    explicit frmSave(QWidget* parent = nullptr);
    ~frmSave() override;

    // Shows the window modeless, owned by `owner`, with its right edge flush with
    // the owner's and its top 400 twips below the owner's top. Showing it again
    // places it anew.
    void showBeside(QWidget* owner);

    // The save flow behind "Save".
    void Command1_Click();
    void HScroll1_Change();
    void HScroll1_Scroll();

    QRadioButton* Option1(int index) const { return option1_.at(static_cast<std::size_t>(index)); }
    QScrollBar* HScroll1() const { return hScroll1_; }
    QLabel* Label1() const { return label1_; }
    QPushButton* Command1() const { return command1_; }

    // The index of the selected type button (PNG when none is).
    int selectedOption() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void placeBeside(QWidget* owner, int retries);

    std::unique_ptr<clsSaveAs> saver;
    std::array<QRadioButton*, 4> option1_{};
    QScrollBar* hScroll1_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* command1_ = nullptr;
    bool unloaded_ = false;
};

// The main window registers itself once; frmSave asks it for the picture and for
// ShotSaved. Without a host nothing can be saved.
void setSaveHost(SaveHost* host);
SaveHost* saveHost();

// The program-wide frmSave, created (loaded) on first use.
frmSave& SaveForm();
// True while the program-wide frmSave exists.
bool SaveFormLoaded();
// Unloads the program-wide frmSave (Region, closing); the next use loads a fresh
// one with PNG and 85 selected.
void UnloadSaveForm();

} // namespace kamsulo::imaging
