#include "imaging/save/SaveDialog.h"

#include "imaging/ImageWriter.h"
#include "imaging/save/DesktopFolder.h"
#include "imaging/save/FileDialogs.h"
#include "imaging/save/OpenWithApplication.h"
#include "imaging/save/PictureWriter.h"
#include "imaging/save/SaveHost.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
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

namespace {

using platform::placeTwips;

QString g_lastSaveFolder;
SaveHost* g_host = nullptr;
QPointer<SaveDialog> g_instance;

const QColor olive(0x80, 0x80, 0x00); // 0x00008080 as blue-green-red
constexpr int defaultQuality = defaultJpegQuality;
constexpr int qualityPageStep = 10;
constexpr int highestQuality = 100;
// Until the window manager has framed the window, its placing is repeated.
constexpr int placeRetries = 10;
constexpr int placeRetryMs = 30;
constexpr double ownerTopOffsetTwips = 400;

// "Small Fonts" 6.75 pt, or a small stand-in where it is missing.
QFont smallFonts() {
    QFont f;
    f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Liberation Sans")});
    f.setPointSizeF(6.75);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

struct TypeButtonPlace {
    const char* objectName;
    double left, top, width, height; // twips
};
constexpr std::array<TypeButtonPlace, saveTypeCount> typeButtonPlaces{{
    {"bmpButton", 60, 120, 1515, 195},
    {"pngButton", 60, 420, 975, 195},
    {"gifButton", 60, 720, 1035, 195},
    {"jpgButton", 60, 1020, 1275, 195},
}};

} // namespace

QString lastSaveFolder() {
    return g_lastSaveFolder;
}

void setLastSaveFolder(const QString& folder) {
    g_lastSaveFolder = folder;
}

SaveDialog::SaveDialog(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("SaveDialog"));
    setWindowTitle(QStringLiteral("Speichern als..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, olive);
    setPalette(pal);
    setAutoFillBackground(true);

    for (std::size_t i = 0; i < typeButtons_.size(); ++i) {
        auto* button = new QRadioButton(saveFormat(static_cast<SaveType>(i)).caption, this);
        const TypeButtonPlace& p = typeButtonPlaces[i];
        button->setObjectName(QLatin1String(p.objectName));
        button->setFont(smallFonts());
        button->setPalette(pal);
        placeTwips(button, p.left, p.top, p.width, p.height);
        typeButtons_[i] = button;
    }

    qualityBar_ = new QScrollBar(Qt::Horizontal, this);
    qualityBar_->setObjectName(QStringLiteral("qualityBar"));
    qualityBar_->setRange(0, highestQuality);
    qualityBar_->setSingleStep(1);
    qualityBar_->setPageStep(qualityPageStep);
    qualityBar_->setFocusPolicy(Qt::StrongFocus);
    // The arrow keys move the thumb the way they point (a scroll bar inverts them).
    qualityBar_->setInvertedControls(false);
    placeTwips(qualityBar_, 60, 1260, 1635, 135);

    qualityLabel_ = new QLabel(this);
    qualityLabel_->setObjectName(QStringLiteral("qualityLabel"));
    qualityLabel_->setFont(smallFonts());
    qualityLabel_->setPalette(pal);
    qualityLabel_->setAttribute(Qt::WA_TranslucentBackground);
    placeTwips(qualityLabel_, 1320, 1020, 285, 165);

    saveButton_ = new QPushButton(QStringLiteral("Save"), this);
    saveButton_->setObjectName(QStringLiteral("saveButton"));
    QPalette face = saveButton_->palette();
    face.setColor(QPalette::Button, olive);
    saveButton_->setPalette(face);
    placeTwips(saveButton_, 960, 60, 675, 255);

    for (std::size_t i = 0; i + 1 < typeButtons_.size(); ++i)
        setTabOrder(typeButtons_[i], typeButtons_[i + 1]);
    setTabOrder(typeButtons_.back(), saveButton_);
    setTabOrder(saveButton_, qualityBar_);

    connect(saveButton_, &QPushButton::clicked, this, &SaveDialog::savePicture);
    // The label follows the thumb while it is dragged, and any other change.
    connect(qualityBar_, &QScrollBar::valueChanged, this, &SaveDialog::showQuality);
    connect(qualityBar_, &QScrollBar::sliderMoved, this, &SaveDialog::showQuality);

    platform::resizeClientTwips(this, 1755, 1545);
    setFixedSize(size());

    typeButton(SaveType::Png)->setChecked(true);
    qualityBar_->setValue(defaultQuality);
    showQuality();
    writer_ = std::make_unique<ImageWriter>();
    if (!g_instance) g_instance = this;
}

SaveDialog::~SaveDialog() {
    tearDown();
}

void SaveDialog::tearDown() {
    if (tornDown_) return;
    tornDown_ = true;
    writer_.reset();
    if (g_instance == this) g_instance = nullptr;
    if (QWidget* owner = parentWidget(); owner && owner->isVisible()) owner->activateWindow();
}

void SaveDialog::closeEvent(QCloseEvent* event) {
    tearDown();
    event->accept();
}

SaveType SaveDialog::selectedType() const {
    for (std::size_t i = 0; i < typeButtons_.size(); ++i)
        if (typeButtons_[i]->isChecked()) return static_cast<SaveType>(i);
    return SaveType::Png;
}

void SaveDialog::showBeside(QWidget* owner) {
    if (owner && parentWidget() != owner) setParent(owner, windowFlags());
    show();
    raise();
    activateWindow();
    placeBeside(owner, placeRetries);
}

void SaveDialog::placeBeside(QWidget* owner, int retries) {
    if (!owner) return;
    const QRect o = owner->frameGeometry();
    // Until the window manager has framed the window, its frame is estimated from
    // the owner's; the placing is repeated once the real frame is known.
    const bool framed = frameGeometry() != geometry();
    const int frameWidth =
        framed ? frameGeometry().width() : width() + (o.width() - owner->geometry().width());
    move(o.x() + o.width() - frameWidth, o.y() + platform::twipsToPixelsY(ownerTopOffsetTwips));
    if (!framed && retries > 0) {
        QPointer<QWidget> guard(owner);
        QTimer::singleShot(placeRetryMs, this, [this, guard, retries] {
            if (guard && isVisible()) placeBeside(guard, retries - 1);
        });
    }
}

void SaveDialog::showQuality() {
    qualityLabel_->setText(qualityCaption(qualityBar_->value()));
    // The label sizes itself to its text, its left edge staying put.
    qualityLabel_->resize(qualityLabel_->sizeHint());
}

void SaveDialog::savePicture() {
    const QPointer<SaveDialog> self(this);
    QString folder = startFolder(g_lastSaveFolder, desktopFolder());
    const SaveType type = selectedType();
    const SaveFormat& format = saveFormat(type);
    const QString fileName =
        FileDialogs::save(this, QStringLiteral("Bild speichern unter"), folder, format.defaultName,
                          format.filter, format.defaultExt);
    if (fileName.isEmpty() || !self) return;

    folder = withTrailingSlash(folder);
    const QString path = savePath(folder, fileName);
    g_lastSaveFolder = folder;

    setCursor(Qt::WaitCursor);
    SaveHost* host = saveHost();
    SaveResult result;
    if (!host)
        result.reason = QStringLiteral("Es ist kein Bild vorhanden.");
    else if (!writer_)
        result.reason = QStringLiteral("Der Bildspeicher ist nicht bereit.");
    else
        result = writePicture(*writer_, host->pictureToSave(), path, type, qualityBar_->value());

    const QString title = platform::AppInfo::exeName();
    if (!result.ok || !QFileInfo::exists(path)) {
        platform::messageBox(saveFailedText(path, result.reason), platform::BoxStyle::OkExclamation,
                             title, this);
        if (self) unsetCursor();
        return;
    }
    host->setShotSaved(true);
    if (platform::messageBox(confirmationText(path), platform::BoxStyle::YesNoQuestion, title,
                             this) == platform::BoxAnswer::Yes)
        openWithApplication(path, nullptr);
    if (self) unsetCursor();
}

void setSaveHost(SaveHost* host) {
    g_host = host;
}

SaveHost* saveHost() {
    return g_host;
}

SaveDialog& SaveDialog::instance() {
    if (!g_instance) g_instance = new SaveDialog();
    return *g_instance;
}

bool SaveDialog::hasInstance() {
    return !g_instance.isNull();
}

void SaveDialog::unloadInstance() {
    SaveDialog* dialog = g_instance.data();
    if (!dialog) return;
    g_instance = nullptr;
    dialog->hide();
    delete dialog; // runs tearDown()
}

} // namespace kamsulo::imaging
