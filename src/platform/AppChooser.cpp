#include "platform/AppChooser.h"

#include "platform/MessageBox.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kamsulo::platform {

AppChooser::AppChooser(const QString& file, const QList<DesktopApp>& apps, QWidget* owner)
    : QDialog(owner), apps_(apps) {
    setWindowTitle(QStringLiteral("Öffnen mit"));
    setObjectName(QStringLiteral("AppChooser"));

    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QStringLiteral("Für den Dateityp von \"%1\" ist kein Programm zugeordnet.\n"
                                  "Womit soll die Datei geöffnet werden?")
                       .arg(QFileInfo(file).fileName()),
                   this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    layout->addWidget(text);

    list_ = new QListWidget(this);
    for (const DesktopApp& app : apps_) {
        auto* item = new QListWidgetItem(QIcon::fromTheme(app.icon), app.name, list_);
        item->setToolTip(app.exec);
    }
    if (apps_.isEmpty()) {
        auto* none =
            new QListWidgetItem(QStringLiteral("(Kein passendes Programm gefunden)"), list_);
        none->setFlags(Qt::NoItemFlags);
    }
    layout->addWidget(list_);

    auto* other = new QPushButton(QStringLiteral("Anderes Programm..."), this);
    other->setObjectName(QStringLiteral("otherProgram"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(other, QDialogButtonBox::ActionRole);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(other, &QPushButton::clicked, this, &AppChooser::pickProgram);
    connect(list_, &QListWidget::currentRowChanged, this, &AppChooser::updateOk);
    connect(list_, &QListWidget::itemActivated, this, [this] {
        if (chosenApp()) accept();
    });
    if (!apps_.isEmpty()) list_->setCurrentRow(0);
    updateOk();
    resize(420, 320);
}

std::optional<DesktopApp> AppChooser::chosenApp() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= apps_.size()) return std::nullopt;
    return apps_.at(row);
}

void AppChooser::updateOk() {
    ok_->setEnabled(chosenApp().has_value());
}

void AppChooser::pickProgram() {
    const QString program = QFileDialog::getOpenFileName(this, QStringLiteral("Programm auswählen"),
                                                         QStringLiteral("/usr/bin"), QString(),
                                                         nullptr, QFileDialog::DontUseNativeDialog);
    if (program.isEmpty()) return;
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable()) {
        messageBox(QStringLiteral("\"%1\" ist kein ausführbares Programm.").arg(program),
                   BoxStyle::OkExclamation, windowTitle(), this);
        return;
    }
    program_ = info.absoluteFilePath();
    list_->setCurrentRow(-1);
    accept();
}

bool AppChooser::chooseAndOpen(const QString& file, QWidget* owner) {
    DesktopServices& desktop = desktopServices();
    AppChooser chooser(file, desktop.applicationsFor(desktop.mimeTypeOf(file)), owner);
    if (chooser.exec() != QDialog::Accepted) return false;
    if (!chooser.chosenProgram().isEmpty())
        return desktop.openWithProgram(chooser.chosenProgram(), file);
    if (const auto app = chooser.chosenApp()) return desktop.openWith(*app, file);
    return false;
}

} // namespace kamsulo::platform
