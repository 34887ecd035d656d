#pragma once
// While an instance lives, the text of the next message box that opens can be
// selected and copied (the path of a saved file, say).
#include <QObject>

namespace kamsulo::imaging {

class SelectableBoxText : public QObject {
public:
    SelectableBoxText();
    ~SelectableBoxText() override;
    SelectableBoxText(const SelectableBoxText&) = delete;
    SelectableBoxText& operator=(const SelectableBoxText&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool done_ = false;
};

} // namespace kamsulo::imaging
