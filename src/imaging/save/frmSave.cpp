#include "imaging/save/frmSave.h"

#include "imaging/clsSaveAs.h"
#include "imaging/save/OpenFileWithProg.h"
#include "imaging/save/PictureWriter.h"
#include "imaging/save/SaveFormats.h"
#include "imaging/save/SaveHost.h"
#include "imaging/save/StdDialoge.h"
#include "imaging/save/modFolder.h"
#include "platform/AppInfo.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace kamsulo::imaging {

QString LastSaveFolder;

namespace {

using platform::placeTwips;

SaveHost* g_host = nullptr;
QPointer<frmSave> g_form;

const QColor olive(0x80, 0x80, 0x00); // 0x00008080 as blue-green-red

// "Small Fonts" 6.75 pt, or a small stand-in where it is missing.
QFont smallFonts() {
    QFont f;
    f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Liberation Sans")});
    f.setPointSizeF(6.75);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

struct OptionPlace {
    double left, top, width, height;
};
constexpr std::array<OptionPlace, 4> optionPlaces{{
    {60, 120, 1515, 195},
    {60, 420, 975, 195},
    {60, 720, 1035, 195},
    {60, 1020, 1275, 195},
}};

} // namespace

frmSave::frmSave(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("Speichern als..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, olive);
    setPalette(pal);
    setAutoFillBackground(true);

    for (std::size_t i = 0; i < option1_.size(); ++i) {
        auto* option = new QRadioButton(saveFormat(static_cast<int>(i)).caption, this);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        option->setFont(smallFonts());
        option->setPalette(pal);
        const OptionPlace& p = optionPlaces[i];
        placeTwips(option, p.left, p.top, p.width, p.height);
        option1_[i] = option;
    }

    hScroll1_ = new QScrollBar(Qt::Horizontal, this);
    hScroll1_->setObjectName(QStringLiteral("HScroll1"));
    hScroll1_->setRange(0, 100);
    hScroll1_->setSingleStep(1);
    hScroll1_->setPageStep(10);
    hScroll1_->setFocusPolicy(Qt::StrongFocus);
    // The arrow keys move the thumb the way they point (a scroll bar inverts them).
    hScroll1_->setInvertedControls(false);
    placeTwips(hScroll1_, 60, 1260, 1635, 135);

    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setFont(smallFonts());
    label1_->setPalette(pal);
    label1_->setAttribute(Qt::WA_TranslucentBackground);
    placeTwips(label1_, 1320, 1020, 285, 165);

    command1_ = new QPushButton(QStringLiteral("Save"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    QPalette face = command1_->palette();
    face.setColor(QPalette::Button, olive);
    command1_->setPalette(face);
    placeTwips(command1_, 960, 60, 675, 255);

    setTabOrder(option1_[0], option1_[1]);
    setTabOrder(option1_[1], option1_[2]);
    setTabOrder(option1_[2], option1_[3]);
    setTabOrder(option1_[3], command1_);
    setTabOrder(command1_, hScroll1_);

    connect(command1_, &QPushButton::clicked, this, &frmSave::Command1_Click);
    connect(hScroll1_, &QScrollBar::valueChanged, this, &frmSave::HScroll1_Change);
    connect(hScroll1_, &QScrollBar::sliderMoved, this, &frmSave::HScroll1_Scroll);

    platform::resizeClientTwips(this, 1755, 1545);
    setFixedSize(size());

    option1_[OptionPNG]->setChecked(true);
    hScroll1_->setValue(85);
    HScroll1_Change();
    Form_Load();
}

frmSave::~frmSave() {
    Form_Unload();
}

void frmSave::Form_Load() {
    saver = std::make_unique<clsSaveAs>();
    if (!g_form) g_form = this;
}

void frmSave::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    saver.reset();
    if (g_form == this) g_form = nullptr;
    if (QWidget* owner = parentWidget(); owner && owner->isVisible()) owner->activateWindow();
}

void frmSave::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

int frmSave::selectedOption() const {
    for (std::size_t i = 0; i < option1_.size(); ++i)
        if (option1_[i]->isChecked()) return static_cast<int>(i);
    return OptionPNG;
}

void frmSave::showBeside(QWidget* owner) {
    if (owner && parentWidget() != owner) setParent(owner, windowFlags());
    show();
    raise();
    activateWindow();
    placeBeside(owner, 10);
}

void frmSave::placeBeside(QWidget* owner, int retries) {
    if (!owner) return;
    const QRect o = owner->frameGeometry();
    // Until the window manager has framed the window, its frame is estimated from
    // the owner's; the placing is repeated once the real frame is known.
    const bool framed = frameGeometry() != geometry();
    const int frameWidth =
        framed ? frameGeometry().width() : width() + (o.width() - owner->geometry().width());
    move(o.x() + o.width() - frameWidth, o.y() + platform::twipsToPixelsY(400));
    if (!framed && retries > 0) {
        QPointer<QWidget> guard(owner);
        QTimer::singleShot(30, this, [this, guard, retries] {
            if (guard && isVisible()) placeBeside(guard, retries - 1);
        });
    }
}

void frmSave::HScroll1_Change() {
    label1_->setText(qualityCaption(hScroll1_->value()));
}

void frmSave::HScroll1_Scroll() {
    HScroll1_Change();
}

void frmSave::Command1_Click() {
    const QPointer<frmSave> self(this);
    QString folder = startFolder(LastSaveFolder, SpecialFolderPath(CSIDL_DESKTOP));
    const int option = selectedOption();
    const SaveFormat& format = saveFormat(option);
    const QString fileName = SaveFileDialog(this, QStringLiteral("Bild speichern unter"), folder,
                                            format.defaultName, format.filter, format.defaultExt);
    if (fileName.isEmpty() || !self) return;

    folder = withTrailingSlash(folder);
    const QString path = savePath(folder, fileName);
    LastSaveFolder = folder;

    setCursor(Qt::WaitCursor);
    SaveHost* host = saveHost();
    SaveResult result;
    if (!host)
        result.reason = QStringLiteral("Es ist kein Bild vorhanden.");
    else if (!saver)
        result.reason = QStringLiteral("Der Bildspeicher ist nicht bereit.");
    else
        result = writePicture(*saver, host->pictureToSave(), path, option, hScroll1_->value());

    const QString title = platform::AppInfo::exeName();
    if (!result.ok || !QFileInfo::exists(path)) {
        platform::MsgBox(saveFailedText(path, result.reason), 48, title, this);
        if (self) unsetCursor();
        return;
    }
    host->setShotSaved(true);
    if (platform::MsgBox(confirmationText(path), 36, title, this) == platform::vbYes)
        OpenFileWithProg(path, nullptr);
    if (self) unsetCursor();
}

void setSaveHost(SaveHost* host) {
    g_host = host;
}

SaveHost* saveHost() {
    return g_host;
}

frmSave& SaveForm() {
    if (!g_form) g_form = new frmSave();
    return *g_form;
}

bool SaveFormLoaded() {
    return !g_form.isNull();
}

void UnloadSaveForm() {
    frmSave* form = g_form.data();
    if (!form) return;
    g_form = nullptr;
    form->hide();
    delete form; // runs Form_Unload
}

} // namespace kamsulo::imaging
