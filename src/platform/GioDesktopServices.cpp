// The desktop services through GIO, which reads desktop entries and mimeapps.list
// files and starts applications (also D-Bus activated ones and those that run in
// a terminal) as the desktop's own tools do; the desktop folder from the XDG user
// dirs. GIO notices entries that are installed or removed while the program runs.
//
// GLib's headers come before Qt's, whose keywords they would otherwise meet.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/DesktopServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <memory>
#include <vector>

namespace kamsulo::platform {

namespace {

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfo = std::unique_ptr<GAppInfo, Unref>;

// A GLib string as text, freed.
QString taken(char* text) {
    const QString s = QString::fromUtf8(text);
    g_free(text);
    return s;
}

// Hands over the applications of a GLib list, freeing the list.
std::vector<AppInfo> taken(GList* list) {
    std::vector<AppInfo> apps;
    for (GList* item = list; item; item = item->next)
        apps.emplace_back(static_cast<GAppInfo*>(item->data));
    g_list_free(list);
    return apps;
}

// The entry's German name where it has one. GIO keeps only the names of the
// process's own language, so the entry is read again for the German one.
QString germanName(GAppInfo* info) {
    const char* path = G_IS_DESKTOP_APP_INFO(info)
                           ? g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info))
                           : nullptr;
    QString name;
    if (path) {
        GKeyFile* entry = g_key_file_new();
        if (g_key_file_load_from_file(entry, path, G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
            name = taken(g_key_file_get_locale_string(
                entry, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_NAME, "de_DE", nullptr));
        g_key_file_free(entry);
    }
    return name.isEmpty() ? QString::fromUtf8(g_app_info_get_name(info)) : name;
}

DesktopApp appOf(GAppInfo* info) {
    DesktopApp app;
    app.id = QString::fromUtf8(g_app_info_get_id(info));
    app.name = germanName(info);
    app.exec = QString::fromUtf8(g_app_info_get_commandline(info));
    if (GIcon* icon = g_app_info_get_icon(info)) app.icon = taken(g_icon_to_string(icon));
    return app;
}

bool launch(GAppInfo* info, const QString& file) {
    GList* files =
        g_list_prepend(nullptr, g_file_new_for_path(QFile::encodeName(file).constData()));
    GError* error = nullptr;
    const bool started = g_app_info_launch(info, files, nullptr, &error);
    if (error) g_error_free(error);
    g_list_free_full(files, g_object_unref);
    return started;
}

class GioDesktopServices final : public DesktopServices {
public:
    QString desktopFolder() const override {
        QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = QDir::homePath();
        while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
            dir.chop(1);
        return dir;
    }

    QString mimeTypeOf(const QString& file) const override {
        return QMimeDatabase().mimeTypeForFile(file).name();
    }

    std::optional<DesktopApp> defaultApplication(const QString& mimeType) const override {
        const AppInfo info = defaultFor(mimeType);
        if (!info) return std::nullopt;
        return appOf(info.get());
    }

    QList<DesktopApp> applicationsFor(const QString& mimeType) const override {
        QList<DesktopApp> found;
        for (const AppInfo& info :
             taken(g_app_info_get_all_for_type(mimeType.toUtf8().constData())))
            if (g_app_info_should_show(info.get())) found << appOf(info.get());
        if (found.isEmpty()) {
            const QByteArray kind = mimeType.section(QLatin1Char('/'), 0, 0).toUtf8() + '/';
            for (const AppInfo& info : taken(g_app_info_get_all())) {
                const char* const* types = g_app_info_get_supported_types(info.get());
                bool sameKind = false;
                for (; types && *types && !sameKind; ++types)
                    sameKind = g_str_has_prefix(*types, kind.constData());
                if (sameKind && g_app_info_should_show(info.get())) found << appOf(info.get());
            }
        }
        std::stable_sort(found.begin(), found.end(), [](const DesktopApp& a, const DesktopApp& b) {
            return a.name.localeAwareCompare(b.name) < 0;
        });
        return found;
    }

    bool openWithDefault(const QString& file) override {
        const AppInfo info = defaultFor(mimeTypeOf(file));
        return info && launch(info.get(), file);
    }

    bool openWith(const DesktopApp& app, const QString& file) override {
        const AppInfo info(G_APP_INFO(g_desktop_app_info_new(app.id.toUtf8().constData())));
        return info && launch(info.get(), file);
    }

    bool openWithProgram(const QString& program, const QString& file) override {
        if (program.isEmpty()) return false;
        return QProcess::startDetached(program, {file});
    }

    QString readDesktopEntryValue(const QString& entryId, const QString& key) const override {
        const std::unique_ptr<GDesktopAppInfo, Unref> entry(
            g_desktop_app_info_new(entryId.toUtf8().constData()));
        if (!entry) return {};
        return taken(g_desktop_app_info_get_string(entry.get(), key.toUtf8().constData()));
    }

private:
    static AppInfo defaultFor(const QString& mimeType) {
        return AppInfo(g_app_info_get_default_for_type(mimeType.toUtf8().constData(), FALSE));
    }
};

} // namespace

QStringList commandWithoutFieldCodes(const QString& exec) {
    // GIO splits an Exec line the same way once it has put in the field codes.
    int count = 0;
    char** raw = nullptr;
    if (!g_shell_parse_argv(exec.toUtf8().constData(), &count, &raw, nullptr)) return {};
    QStringList out;
    for (int i = 0; i < count; ++i) {
        const QString arg = QString::fromUtf8(raw[i]);
        QString kept;
        for (qsizetype at = 0; at < arg.size(); ++at) {
            if (arg.at(at) != QLatin1Char('%') || at + 1 == arg.size()) {
                kept += arg.at(at);
            } else if (arg.at(++at) == QLatin1Char('%')) {
                kept += QLatin1Char('%');
            }
        }
        // An argument that was nothing but field codes goes; a quoted "" stays.
        if (!kept.isEmpty() || arg.isEmpty()) out << kept;
    }
    g_strfreev(raw);
    return out;
}

DesktopServices& desktopServices() {
    static GioDesktopServices instance;
    return instance;
}

} // namespace kamsulo::platform
