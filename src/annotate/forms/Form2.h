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

class Form2 : public QWidget {
    Q_OBJECT
public:
    // The loaded instance, loading it (with `owner` as its owner) when there is none.
    static Form2* instance(TextDialogHost& host, QWidget* owner);
    // The loaded instance or nullptr.
    static Form2* loaded();
    // Unloads the instance if one is loaded.
    static void unloadInstance();

    ~Form2() override;

    // The dialog's colour: Text1's text colour, Label3's text colour, Label4's back
    // colour, always set together (0x00BBGGRR).
    void setDialogColor(quint32 bgr);
    quint32 dialogColor() const { return color_; }

    // Handlers.
    void Text1_Change();
    void Combo1_Click();
    void Combo2_Change();
    void Combo2_Click() { Combo2_Change(); }
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Picture2_MouseDown(Qt::MouseButton button, QPoint pos);
    void Label4_Click();
    void Command1_Click();
    void Command2_Click();

    // The controls, by their names.
    QLineEdit* Text1() const { return text1_; }
    QComboBox* Combo1() const { return combo1_; }
    QComboBox* Combo2() const { return combo2_; }
    QCheckBox* Check1() const { return check1_; }
    QCheckBox* Check2() const { return check2_; }
    QCheckBox* Check3() const { return check3_; }
    QCheckBox* Check4() const { return check4_; }
    QLabel* Label3() const { return label3_; }
    ClickLabel* Label4() const { return label4_; }
    PaletteBox* Picture2() const { return picture2_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command2() const { return command2_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Form2(TextDialogHost& host, QWidget* owner);
    void Form_Load();
    void buildControls();
    void unload();
    // The list index of Combo1 as the list sees it: the entry equal to its text, or -1.
    int combo1ListIndex() const;
    // A style check box click: the state comes from Text1's font.
    enum class Style { Bold, Underline, Italic, StrikeOut };
    void styleClick(QCheckBox* box, Style style);
    // Setting a check box to another value raises its click.
    void setCheckValue(QCheckBox* box, bool value, Style style);

    TextDialogHost& host_;
    quint32 color_ = 0x000000FF;
    quint32 keptColor_ = 0;

    QLineEdit* text1_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QCheckBox* check3_ = nullptr;
    QCheckBox* check4_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QLabel* label3_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    PaletteBox* picture2_ = nullptr;
    ClickLabel* label4_ = nullptr;
};

// A press of the text tool on the canvas: a dialog that remembers no colour yet takes
// the main window's current colour; then it is shown modeless, owned by `owner`.
void showTextDialog(TextDialogHost& host, QWidget* owner, quint32 currentColor);

} // namespace kamsulo::annotate
