#pragma once
// The desktop around the program, as the XDG conventions describe it: the user's
// desktop folder and the applications that open files of a type. Applications
// are found as the desktop's own tools find them (GIO): by the mimeapps.list
// files and the index that installing a desktop entry updates (mimeinfo.cache),
// and only while their program is there.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kamsulo::platform {

// An installed application, read from its desktop entry.
struct DesktopApp {
    QString id;   // desktop-file id, e.g. "org.example.viewer.desktop"
    QString name; // the German name where the entry has one
    QString exec; // the Exec line as written
    QString icon; // icon name or path
};

class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // The user's desktop folder (XDG user dirs, e.g. ~/Schreibtisch) without a
    // trailing '/'; the home folder when the desktop folder does not exist.
    virtual QString desktopFolder() const = 0;

    // The MIME type of a file, by its name and content.
    virtual QString mimeTypeOf(const QString& file) const = 0;

    // The application that opens files of this type by default; none when no
    // installed application is associated with the type.
    virtual std::optional<DesktopApp> defaultApplication(const QString& mimeType) const = 0;

    // Installed applications for this type that menus show; when there is none,
    // those that declare a type of the same kind (e.g. another "image/..."); by name.
    virtual QList<DesktopApp> applicationsFor(const QString& mimeType) const = 0;

    // Opens a file with the default application of its type. True when it could be
    // started.
    virtual bool openWithDefault(const QString& file) = 0;
    // Opens a file with an application or with a program picked by the user.
    virtual bool openWith(const DesktopApp& app, const QString& file) = 0;
    virtual bool openWithProgram(const QString& program, const QString& file) = 0;

    // One key of the [Desktop Entry] group of the installed application with this
    // id (e.g. "Exec" of "org.example.paint.desktop"), found in the XDG data
    // folders, the user's first; escapes resolved. Empty when the application (or
    // an entry that hides it) or the key is missing.
    virtual QString readDesktopEntryValue(const QString& entryId, const QString& key) const = 0;
};

// The implementation for this system; never null.
DesktopServices& desktopServices();

// An Exec line as program and arguments, its field codes (%f, %U, %i, ...) removed
// and %% turned into %, for starting the program without a file. Empty when the
// line cannot be parsed.
QStringList commandWithoutFieldCodes(const QString& exec);

} // namespace kamsulo::platform
