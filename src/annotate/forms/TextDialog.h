#pragma once
// "Text hinzufügen": the text, its font, size, style and colour, printed onto the
// canvas at the place last pressed with the text tool. One program-wide instance,
// modeless, owned by the main window; OK or Cancel unloads it, the next use loads it
// again from the design state and the remembered settings.
#include <QWidget>
#include <QtGlobal>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kamsulo::annotate {

class ClickLabel;
class PaletteBox;
class TextDialogHost;

enum class FontStyle { Bold, Underline, Italic, StrikeOut };

class TextDialog : public QWidget {
    Q_OBJECT
public:
    // The loaded instance, loading it (with `owner` as its owner) when there is none.
    static TextDialog* instance(TextDialogHost& host, QWidget* owner);
    // The loaded instance or nullptr.
    static TextDialog* loaded();
    // Unloads the instance if one is loaded.
    static void unloadInstance();

    ~TextDialog() override;

    // The dialog's colour: the colour of the text box's text and of the preview letter,
    // and the swatch's colour, always set together (0x00BBGGRR).
    void setDialogColor(quint32 bgr);
    quint32 dialogColor() const { return color_; }

    // What the controls do.
    // The preview letter: the first character of the text.
    void updatePreviewLetter();
    // The font chosen from the list goes to the text box and the preview letter.
    void applyFontFamily();
    // A size that is a font size goes to the preview letter.
    void updatePreviewSize();
    // A style box click: the new state is the opposite of the text box's font, and goes
    // to the box, the canvas font, the text box and (but strike-out) the preview.
    void toggleStyle(FontStyle style);
    void pickGridColor(QPoint pos);
    void chooseColorFromDialog();
    // OK: prints the text onto the canvas, remembers the settings and unloads.
    void printAndClose();
    // Cancel: unloads.
    void cancel();

    // The controls.
    QLineEdit* textEdit() const { return textEdit_; }
    QComboBox* fontBox() const { return fontBox_; }
    QComboBox* sizeBox() const { return sizeBox_; }
    QCheckBox* boldBox() const { return boldBox_; }
    QCheckBox* underlineBox() const { return underlineBox_; }
    QCheckBox* italicBox() const { return italicBox_; }
    QCheckBox* strikeOutBox() const { return strikeOutBox_; }
    QLabel* previewLetter() const { return previewLetter_; }
    ClickLabel* colorSwatch() const { return colorSwatch_; }
    PaletteBox* colorGrid() const { return colorGrid_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    TextDialog(TextDialogHost& host, QWidget* owner);
    void loadSettings();
    void buildControls();
    void unload();
    // The list index of the font box as the list sees it: the entry equal to its text,
    // or -1.
    int fontListIndex() const;
    QCheckBox* styleBox(FontStyle style) const;
    // Setting a style box to another value clicks it.
    void setStyleChecked(FontStyle style, bool value);

    TextDialogHost& host_;
    quint32 color_ = 0x000000FF;

    QLineEdit* textEdit_ = nullptr;
    QComboBox* fontBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* fontLabel_ = nullptr;
    QLabel* sizeLabel_ = nullptr;
    QCheckBox* boldBox_ = nullptr;
    QCheckBox* underlineBox_ = nullptr;
    QCheckBox* italicBox_ = nullptr;
    QCheckBox* strikeOutBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QLabel* previewLetter_ = nullptr;
    QGroupBox* colorGroup_ = nullptr;
    PaletteBox* colorGrid_ = nullptr;
    ClickLabel* colorSwatch_ = nullptr;
};

// A press of the text tool on the canvas: a dialog that remembers no colour yet takes
// the main window's current colour; then it is shown modeless, owned by `owner`.
void showTextDialog(TextDialogHost& host, QWidget* owner, quint32 currentColor);

} // namespace kamsulo::annotate
