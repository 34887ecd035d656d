// A long afternoon on the real main window in one process: drawing with every tool
// that needs no dialog, undo, clear-all, colours and widths, screen captures, saves
// through the real dialogs in every format, and pastes. KAMSULO_LONG_RUN_SECONDS sets
// its length (scripts/long-run: ten minutes). At the end the window still answers,
// the memory after the first minute (or the first quarter of a shorter run) has not
// grown by more than 20 MB, and every saved file decodes with the program's loader.
#include "annotate/forms/PaletteBox.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/MainWindow.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/save/FileDialogDriver.h"
#include "imaging/save/SaveDialog.h"
#include "support/modal.h"
#include "support/sanitizers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>
#include <malloc.h>
#include <map>

using namespace kamsulo;
using annotate::ToolId;
using app::MainButton;
using imaging::SaveType;

namespace {

// Qt's pixmap cache alone fills up to its 10 MB over the first minutes, as buttons and
// frames are drawn in new sizes and states; after that the resident set holds still.
constexpr long long kAllowedGrowthKb = 20 * 1024;
constexpr qint64 kFirstMinuteMs = 60 * 1000;

long long residentKb() {
    malloc_trim(0); // what the allocator keeps for itself is not in use
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

class CountingWindow : public app::MainWindow {
public:
    int captures = 0;
    void handOverCapture(const QImage& picture) override {
        MainWindow::handOverCapture(picture);
        ++captures;
    }
};

// Answers whatever box or dialog comes up, as the user of this afternoon would:
// no to saving first and to looking at a saved file, yes to clearing and replacing.
// The save dialog's file dialog gets `nextSave`.
class User : public QObject {
public:
    QString nextSave;
    int confirmations = 0;
    QStringList unexpected;

    User() {
        connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start(10);
    }

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* dialog = test::asFileDialog(modal)) {
            if (nextSave.isEmpty() || !test::typeAndAccept(dialog, nextSave)) dialog->reject();
            nextSave.clear();
            return;
        }
        const QString text = test::boxText(modal);
        QString button = QStringLiteral("OK");
        if (text.contains(QStringLiteral("noch nicht gespeichert")))
            button = QStringLiteral("Nein");
        else if (text.startsWith(QStringLiteral("Der ScreenShot wurde unter"))) {
            button = QStringLiteral("Nein");
            ++confirmations;
        } else if (text.contains(QStringLiteral("existiert bereits")) ||
                   text.contains(QStringLiteral("löschen")))
            button = QStringLiteral("Ja");
        else
            unexpected << text;
        if (!test::pressButton(modal, button)) modal->close();
    }

    QTimer timer_;
};

struct Figures {
    int draws = 0, undos = 0, clears = 0, colours = 0, saves = 0, pastes = 0;
};

} // namespace

TEST(LongRun, StaysAliveKeepsItsMemoryAndEverySavedFileDecodes) {
    const qint64 runMs = qEnvironmentVariableIntValue("KAMSULO_LONG_RUN_SECONDS") * 1000LL;
    if (runMs <= 0) GTEST_SKIP() << "KAMSULO_LONG_RUN_SECONDS is not set";
    const qint64 baselineMs = std::min(kFirstMinuteMs, runMs / 4);

    QTemporaryDir folder;
    CountingWindow w;
    w.show();
    ASSERT_TRUE(test::waitFor([&] { return w.isVisible(); }));
    User user;
    auto* strip = w.findChild<annotate::PaletteStrip*>(QStringLiteral("paletteStrip"));
    QWidget* canvas = w.findChild<QWidget*>(QStringLiteral("canvas"));
    QWidget* pasteCorner = w.findChild<QWidget*>(QStringLiteral("pasteCorner"));
    ASSERT_TRUE(strip && canvas && pasteCorner);

    QRandomGenerator random(quint32(qEnvironmentVariableIntValue("KAMSULO_LONG_RUN_SEED") + 1));
    const auto pick = [&](int n) { return int(random.bounded(n)); };
    const auto somewhere = [&] {
        return QPoint(pick(std::max(1, canvas->width())), pick(std::max(1, canvas->height())));
    };
    std::map<QString, QSize> saved;
    Figures figures;
    long long baselineKb = -1;
    QElapsedTimer clock;
    clock.start();
    w.onButton(MainButton::Screen);
    test::waitFor([&] { return !w.capturing(); });

    qint64 nextReportMs = baselineMs;
    while (clock.elapsed() < runMs) {
        if (clock.elapsed() >= nextReportMs) { // the memory's course, once a minute
            const long long kb = residentKb();
            if (baselineKb < 0) baselineKb = kb;
            std::printf("long run: %lld s, resident memory %lld KB\n", clock.elapsed() / 1000, kb);
            std::fflush(stdout);
            nextReportMs += kFirstMinuteMs;
        }
        const int action = pick(100);
        if (action < 55) { // a stroke with a random tool, colour of the moment, width
            ToolId tool;
            do
                tool = ToolId(pick(annotate::kToolCount));
            while (tool == ToolId::Text);
            strip->setToolSelected(tool, true);
            const QPoint from = somewhere(), to = somewhere();
            QTest::mousePress(canvas, Qt::LeftButton, {}, from);
            for (int step = 1; step <= 4; ++step) {
                const QPoint at = from + (to - from) * step / 4;
                QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton,
                                 Qt::LeftButton, {});
                QApplication::sendEvent(canvas, &move);
            }
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
            ++figures.draws;
        } else if (action < 67) {
            strip->undoButton()->click();
            ++figures.undos;
        } else if (action < 72) {
            QTest::mouseDClick(canvas, Qt::LeftButton, {}, somewhere());
            ++figures.clears;
        } else if (action < 82) {
            QWidget* grid = strip->colorGrid();
            QTest::mouseClick(grid, Qt::LeftButton, {},
                              QPoint(pick(grid->width()), pick(grid->height())));
            strip->chooseWidth(pick(annotate::PaletteStrip::kWidthCount));
            ++figures.colours;
        } else if (action < 86) {
            w.onButton(MainButton::Screen);
            test::waitFor([&] { return !w.capturing(); });
        } else if (action < 94) {
            const SaveType type = SaveType(pick(imaging::saveTypeCount));
            const QString path = folder.filePath(QStringLiteral("bild-%1").arg(figures.saves)) +
                                 QStringList{".bmp", ".png", ".gif", ".jpg"}.at(int(type));
            w.onButton(MainButton::Save);
            imaging::SaveDialog::instance().typeButton(type)->setChecked(true);
            user.nextSave = path;
            imaging::SaveDialog::instance().saveButton()->click();
            saved[path] = w.canvasImage().size();
            ++figures.saves;
        } else {
            QImage picture(40 + pick(900), 40 + pick(700), QImage::Format_RGB32);
            picture.fill(QColor::fromRgb(random.generate()));
            QGuiApplication::clipboard()->setImage(picture);
            QTest::mouseDClick(pasteCorner, Qt::LeftButton);
            EXPECT_EQ(w.canvasImage().size(), picture.size());
            ++figures.pastes;
        }
        QApplication::processEvents();
    }
    const long long endKb = residentKb();

    // Still answering: a picture pasted at the end is shown.
    QImage last(64, 48, QImage::Format_RGB32);
    last.fill(QColor(20, 140, 160));
    QGuiApplication::clipboard()->setImage(last);
    QTest::mouseDClick(pasteCorner, Qt::LeftButton);
    EXPECT_EQ(w.canvasImage().convertToFormat(QImage::Format_RGB32), last);

    int decoded = 0;
    for (const auto& [path, size] : saved) {
        const imaging::LoadResult loaded = imaging::ImageLoader().load(path);
        EXPECT_EQ(loaded.picture.size(), size)
            << path.toStdString() << ": " << loaded.errorText.toStdString();
        decoded += loaded.picture.size() == size;
    }
    EXPECT_EQ(user.confirmations, figures.saves);
    EXPECT_TRUE(user.unexpected.isEmpty()) << user.unexpected.join(" | ").toStdString();
    if (!test::kAddressSanitizer) {
        EXPECT_LE(endKb - baselineKb, kAllowedGrowthKb);
    }

    std::printf("long run: %lld s; %d strokes, %d undos, %d clear-all, %d colour and width "
                "changes, %d captures, %d saves (%d decode), %d pastes\n"
                "long run: resident memory %lld KB after %lld s, %lld KB at the end (%+lld KB; "
                "at most %+lld allowed)\n",
                clock.elapsed() / 1000, figures.draws, figures.undos, figures.clears,
                figures.colours, w.captures, figures.saves, decoded, figures.pastes, baselineKb,
                baselineMs / 1000, endKb, endKb - baselineKb, kAllowedGrowthKb);
}
