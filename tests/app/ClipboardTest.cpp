// The clipboard and the paint-program hand-off on the real X clipboard, with xclip as
// the other program and the real KolourPaint as the paint program.
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/MainWindow.h"
#include "app/PaintProgram.h"
#include "imaging/save/XdgSandbox.h"
#include "platform/ActiveWindow.h"
#include "support/modal.h"

#include <QApplication>
#include <QClipboard>
#include <QDataStream>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

// Failures show the picture's size and first pixel rather than raw bytes.
void PrintTo(const QImage& img, std::ostream* os) {
    *os << img.width() << "x" << img.height() << " #" << std::hex
        << (img.isNull() ? 0u : img.pixel(0, 0)) << std::dec;
}

using namespace kamsulo;
using kamsulo::app::MainButton;
using kamsulo::app::PaintProgram;

namespace {

QImage pattern(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(QColor(30, 160, 60));
    QPainter(&img).fillRect(0, 0, width / 2, height / 3, QColor(200, 20, 20));
    return img;
}

// Every message box, recorded and answered with `button`.
struct Boxes {
    QStringList texts, titles;
    test::ModalWatch watch = test::whenModal(
        [this](QWidget* w) {
            texts << test::boxText(w);
            titles << w->windowTitle();
            test::pressButton(w, button);
        },
        15000, [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
    QString button;
    explicit Boxes(QString answer) : button(std::move(answer)) {}
    ~Boxes() { watch.cancel(); }
};

// The other program: xclip, which owns the clipboard while it runs.
struct OtherProgram {
    QTemporaryDir dir;
    QProcess xclip;
    ~OtherProgram() { xclip.kill(), xclip.waitForFinished(); }

    // Offers a file on the clipboard and waits until the clipboard has it.
    void offer(const QString& file, const QString& mime) {
        xclip.kill(), xclip.waitForFinished();
        QGuiApplication::clipboard()->clear(); // what is offered next is xclip's
        xclip.start("xclip", {"-quiet", "-selection", "clipboard", "-t", mime, "-i", file});
        ASSERT_TRUE(test::waitFor([&] {
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            return data && data->hasFormat(mime);
        }));
    }
    void offerText() {
        QFile text(dir.filePath("words.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("plain words") > 0);
        text.close();
        offer(text.fileName(), "text/plain");
    }
    void offer(const QImage& picture) {
        ASSERT_TRUE(picture.save(dir.filePath("offer.png")));
        offer(dir.filePath("offer.png"), "image/png");
    }
    // What it reads from the clipboard (our event loop answers it meanwhile).
    static QByteArray read(const QString& mime) {
        QProcess reader;
        reader.start("xclip", {"-o", "-selection", "clipboard", "-t", mime});
        EXPECT_TRUE(test::waitFor([&] { return reader.state() == QProcess::NotRunning; }, 10000));
        return reader.readAllStandardOutput();
    }
    static QImage readPicture() {
        return QImage::fromData(read("image/png"), "PNG").convertToFormat(QImage::Format_RGB32);
    }
};

struct Shown {
    app::MainWindow w;
    Shown() {
        w.show();
        test::waitFor([&] { return w.windowHandle() && w.windowHandle()->isExposed(); });
    }
    QWidget* child(const char* name) { return w.findChild<QWidget*>(name); }
    QImage shown() const { return w.canvasImage().convertToFormat(QImage::Format_RGB32); }
    void paste() { QTest::mouseDClick(child("pasteCorner"), Qt::LeftButton); }
    // A picture pasted from the other program, as a user brings one in.
    void show(OtherProgram& other, const QImage& picture) {
        other.offer(picture);
        paste();
        ASSERT_EQ(shown(), picture);
    }
    void drawRectangle() {
        auto* strip = w.findChild<annotate::PaletteStrip*>("paletteStrip");
        strip->setToolSelected(annotate::ToolId::Rectangle, true);
        QWidget* canvas = child("canvas");
        QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), canvas->mapToGlobal(QPointF(40, 30)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(40, 30));
        strip->deselectAll();
    }
};

} // namespace

TEST(Clipboard, CopiesTheBannerGradientBeforeACaptureAndTheMarkedPictureAfter) {
    Shown s;
    s.w.onButton(MainButton::Clipboard);
    const QImage banner = OtherProgram::readPicture();
    ASSERT_FALSE(banner.isNull());
    EXPECT_EQ(banner.pixel(0, 0), qRgb(0, 0, 0));
    const QRgb bottom = banner.pixel(0, banner.height() - 1);
    EXPECT_TRUE(qRed(bottom) > 240 && qGreen(bottom) == 0 && qBlue(bottom) == 0) << bottom;
    // Where the title lies over the banner, each row is still the gradient's band.
    const QRect title = static_cast<app::Banner*>(s.child("banner"))->titleLabels[0]->geometry();
    ASSERT_TRUE(banner.rect().contains(title));
    for (int y = title.top(); y <= title.bottom(); ++y)
        ASSERT_EQ(banner.pixel(title.center().x(), y), banner.pixel(0, y)) << "row " << y;

    s.w.onButton(MainButton::Screen);
    ASSERT_TRUE(test::waitFor([&] { return !s.w.capturing(); }));
    const QImage capture = s.shown();
    s.drawRectangle();
    ASSERT_NE(s.shown(), capture);
    s.w.onButton(MainButton::Clipboard);
    EXPECT_EQ(OtherProgram::readPicture(), s.shown());
}

TEST(Clipboard, PastesAPictureAndRefusesText) {
    Shown s;
    OtherProgram other;
    s.show(other, pattern(300, 200));
    EXPECT_TRUE(s.child("banner")->isHidden());
    EXPECT_FALSE(s.w.shotSaved());

    // Text, and a picture under Qt's own type in a format that only Qt's readers in this
    // process would take: the decoder process refuses it.
    const QString ppm = other.dir.filePath("picture.ppm");
    ASSERT_TRUE(pattern(30, 20).save(ppm, "PPM"));
    for (const auto& offer : std::initializer_list<std::function<void()>>{
             [&] { other.offerText(); }, [&] { other.offer(ppm, "application/x-qt-image"); }}) {
        s.w.setShotSaved(true);
        s.show(other, pattern(300, 200));
        s.w.setShotSaved(true);
        offer();
        Boxes boxes("OK");
        s.paste();
        EXPECT_EQ(boxes.texts, QStringList{"Die Daten aus der Zwischenablage können nicht "
                                           "angezeigt werden!"});
        EXPECT_TRUE(s.w.canvasImage().isNull());
    }
}

namespace {

// A GIF whose screen and picture claim `size`, over one pixel's data.
QByteArray gifClaiming(QSize size) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const auto wide = quint16(size.width()), high = quint16(size.height());
    out.writeRawData("GIF89a", 6);
    out << wide << high << quint8(0x80) << quint16(0) << quint32(0) << quint16(0); // 2 colours
    out << quint8(0x2c) << quint32(0) << wide << high << quint8(0);
    out << quint8(2) << quint8(2) << quint16(0x0144) << quint8(0) << quint8(0x3b);
    return bytes;
}

} // namespace

// Pictures as large as an 8K screen open and paste. One of more than 16384 pixels a side,
// or of more pixels than the loader decodes, is refused with the "zu gross" box: a file
// by its header, before its (missing) pixels are read.
TEST(Clipboard, OpensAndPastesPicturesUpTo8KAndRefusesLargerOnes) {
    Shown s;
    OtherProgram other;
    const QString file = other.dir.filePath("picture.png");
    for (const QSize size : {QSize(3840, 2160), QSize(7680, 4320)}) {
        const QImage picture = pattern(size.width(), size.height());
        ASSERT_TRUE(picture.save(file));
        Boxes none("OK");
        s.w.openFile(file);
        ASSERT_EQ(none.texts, QStringList{}) << size.width();
        EXPECT_EQ(s.shown(), picture) << size.width();
        s.w.setShotSaved(true);
        s.show(other, picture.mirrored());
    }
    const QStringList tooLarge{"Die ScreenShotDatei ist zu gross! Die Datei kann nicht geladen "
                               "werden."};
    for (const QSize size : {QSize(20000, 20000), QSize(16000, 16000)}) {
        QFile header(other.dir.filePath("riesig.gif"));
        ASSERT_TRUE(header.open(QIODevice::WriteOnly) && header.write(gifClaiming(size)) > 0);
        header.close();
        Boxes boxes("OK");
        s.w.openFile(header.fileName());
        EXPECT_EQ(boxes.texts, tooLarge) << size.width();
        EXPECT_TRUE(s.w.canvasImage().isNull());
    }
    s.w.setShotSaved(true);
    other.offer(pattern(16385, 8));
    Boxes boxes("OK");
    s.paste();
    EXPECT_EQ(boxes.texts, tooLarge);
    EXPECT_TRUE(s.w.canvasImage().isNull());
}

TEST(Clipboard, PasteAsksFirstAndClearAllBringsBackThePastedPicture) {
    Shown s;
    s.w.handOverCapture(pattern(80, 60));
    s.w.setShotSaved(false);
    OtherProgram other;
    const QImage picture = pattern(160, 110).mirrored();
    other.offer(picture);
    {
        Boxes boxes("Nein");
        s.paste();
        EXPECT_EQ(
            boxes.texts,
            QStringList{"Der letzte ScreenShot wurde noch nicht gespeichert. Jetzt speichern?"});
    }
    ASSERT_EQ(s.shown(), picture);

    s.drawRectangle();
    ASSERT_NE(s.shown(), picture);
    Boxes boxes("Ja");
    QTest::mouseDClick(s.child("canvas"), Qt::LeftButton, {}, QPoint(70, 70));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(s.shown(), picture);
}

namespace {

// Points the MsPaint button's lookups elsewhere for one test.
struct EditorAt {
    app::PaintEditor saved = PaintProgram::buttonEditor();
    explicit EditorAt(const QString& program) {
        PaintProgram::buttonEditor() = {program, "/nonexistent/kolourpaint",
                                        "kamsulo-test-withheld.desktop", saved.windowClass};
    }
    ~EditorAt() { PaintProgram::buttonEditor() = saved; }
};

} // namespace

TEST(PaintHandOff, WithoutTheEditorOnlyTheMessageShowsAndTheClipboardHoldsThePicture) {
    Shown s;
    OtherProgram other;
    const QImage picture = pattern(90, 70);
    s.show(other, picture);
    EditorAt withheld("/nonexistent/bin/kolourpaint");
    Boxes boxes("OK");
    s.w.onButton(MainButton::Paint);
    EXPECT_TRUE(test::waitFor([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_EQ(boxes.texts, QStringList{"Mspaint wurde nicht gefunden !"});
    EXPECT_EQ(boxes.titles, QStringList{"Kamsulo - Info"});
    EXPECT_EQ(OtherProgram::readPicture(), picture);
}

// Where neither fixed place has it, the editor is started as its desktop entry says.
TEST(PaintHandOff, TheEditorIsFoundThroughItsDesktopEntry) {
    test::XdgSandbox sandbox;
    sandbox.write("share/applications/kamsulo-test-paint.desktop",
                  "[Desktop Entry]\nType=Application\nName=Malen\nExec=sh -c \"exit 0\" %U\n");
    const PaintProgram program({"/nonexistent/bin/kolourpaint", "/nonexistent/kolourpaint",
                                "kamsulo-test-paint.desktop", "kolourpaint"});
    EXPECT_EQ(program.command(), (QStringList{"sh", "-c", "exit 0"}));
}

TEST(PaintHandOff, AnEditorThatEndsWithoutAWindowIsNotWaitedForAndTheUserIsTold) {
    Shown s;
    OtherProgram other;
    s.show(other, pattern(90, 70));
    EditorAt ends("/usr/bin/false");
    Boxes boxes("OK");
    s.w.onButton(MainButton::Paint);
    // Not waited for in a loop of its own: the window goes on meanwhile.
    EXPECT_TRUE(s.w.handingToPaintProgram());
    EXPECT_TRUE(test::waitFor([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_FALSE(s.w.handingToPaintProgram());
    EXPECT_EQ(boxes.texts, QStringList{"Das Malprogramm hat sich beendet, bevor es ein Fenster "
                                       "zeigte. Das Bild liegt in der Zwischenablage."});
}

TEST(PaintHandOff, WithoutAPictureNothingIsOfferedAndTheEditorOpensEmpty) {
    Shown s;
    OtherProgram other;
    s.show(other, pattern(90, 70));
    s.w.setShotSaved(true);
    other.offerText();
    {
        Boxes refused("OK");
        s.paste();
    }
    ASSERT_TRUE(s.w.canvasImage().isNull());
    s.w.onButton(MainButton::Clipboard);
    EXPECT_TRUE(test::waitFor([] {
        const QByteArray targets = OtherProgram::read("TARGETS");
        return !targets.contains("image/") && !targets.contains("text/plain");
    }));
    // Started, but not waited for: there is nothing to paste into it.
    EditorAt ends("/usr/bin/false");
    Boxes boxes("OK");
    s.w.onButton(MainButton::Paint);
    EXPECT_EQ(boxes.texts, QStringList{});
}

TEST(PaintHandOff, ThePictureArrivesInKolourPaintAtItsOwnSize) {
    Shown s;
    OtherProgram other;
    // Wider than the editor's fresh canvas and lower: the paste grows the canvas, the
    // crop must bring it down to the picture.
    const QImage picture = pattern(620, 140);
    s.show(other, picture);
    Boxes boxes("OK");
    s.w.onButton(MainButton::Paint);
    ASSERT_TRUE(test::waitFor([&] { return !s.w.handingToPaintProgram(); }, 15000));
    EXPECT_EQ(boxes.texts, QStringList{});
    const auto editor = platform::activeWindow();
    ASSERT_TRUE(editor && editor->className == "kolourpaint");
    struct Ends {
        qint64 pid;
        ~Ends() { ::kill(pid_t(pid), SIGTERM); }
    } ends{editor->pid};

    // The editor copies its whole picture, after the keys it was sent.
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "ctrl+a", "ctrl+c"}), 0);
    ASSERT_TRUE(test::waitFor(
        [] {
            return OtherProgram::read("TARGETS").contains("application/x-kolourpaint-selection");
        },
        10000));
    EXPECT_EQ(OtherProgram::readPicture(), picture);
}
