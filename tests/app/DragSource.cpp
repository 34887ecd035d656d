// A drag source as a file manager or a browser offers one: a small window that, when
// pressed, drags one file (--file PATH) or the picture data of a file (--picture
// PATH). It prints how the drop ended ("accepted" or "refused") and stays, to answer
// the target, which fetches the data only after the drop, until it is ended.
#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class Source : public QWidget {
public:
    explicit Source(QMimeData* (*make)(const QString&), QString path)
        : make_(make), path_(std::move(path)) {
        setWindowTitle(QStringLiteral("drag source"));
        resize(120, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        drag->setMimeData(make_(path_));
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("%s\n", done == Qt::IgnoreAction ? "refused" : "accepted");
        std::fflush(stdout);
    }

private:
    QMimeData* (*make_)(const QString&);
    QString path_;
};

QMimeData* fileData(const QString& path) {
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

QMimeData* pictureData(const QString& path) {
    auto* data = new QMimeData;
    data->setImageData(QImage(path));
    return data;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "--file" && args[1] != "--picture")) {
        std::fprintf(stderr, "usage: drag_source --file|--picture PATH\n");
        return 2;
    }
    Source source(args[1] == "--file" ? fileData : pictureData, args[2]);
    source.show();
    return app.exec();
}
