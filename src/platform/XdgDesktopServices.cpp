// The desktop services after the XDG conventions: user dirs for the desktop
// folder, desktop entries and mimeapps.list files for the applications of a file
// type, xdg-open for opening a file with its default application.
#include "platform/DesktopServices.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>

namespace kamsulo::platform {

namespace {

QString envOr(const char* name, const QString& fallback) {
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

QStringList envList(const char* name, const QString& fallback) {
    return envOr(name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QString configHome() {
    return envOr("XDG_CONFIG_HOME", QDir::homePath() + "/.config");
}
QStringList configDirs() {
    return envList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}
QString dataHome() {
    return envOr("XDG_DATA_HOME", QDir::homePath() + "/.local/share");
}
QStringList dataDirs() {
    return envList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

// The applications folders, most important first.
QStringList applicationDirs() {
    QStringList dirs{dataHome() + "/applications"};
    for (const QString& d : dataDirs())
        dirs << d + "/applications";
    return dirs;
}

// The value of a desktop-entry string with its escapes resolved.
QString unescapeValue(const QString& raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar n = raw.at(++i);
        switch (n.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            out += QLatin1Char('\\');
            out += n;
        }
    }
    return out;
}

// Groups of an ini-like file (desktop entry or mimeapps.list): group -> key -> value.
using Groups = QHash<QString, QHash<QString, QString>>;

Groups readGroups(const QString& path) {
    Groups groups;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return groups;
    QTextStream in(&f);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || group.isEmpty()) continue;
        const QString key = line.left(eq).trimmed();
        auto& keys = groups[group];
        if (!keys.contains(key)) keys.insert(key, line.mid(eq + 1).trimmed());
    }
    return groups;
}

QStringList splitList(const QString& value) {
    QStringList items;
    for (const QString& s : unescapeValue(value).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = s.trimmed();
        if (!t.isEmpty()) items << t;
    }
    return items;
}

bool isTrue(const QString& v) {
    return v.trimmed() == QLatin1String("true");
}

// The type and its aliases: the names under which applications may declare it.
QStringList namesOf(const QString& mimeType) {
    QStringList names{mimeType};
    const QMimeType t = QMimeDatabase().mimeTypeForName(mimeType);
    if (t.isValid()) {
        if (!names.contains(t.name())) names << t.name();
        for (const QString& a : t.aliases())
            if (!names.contains(a)) names << a;
    }
    return names;
}

bool declares(const DesktopApp& app, const QStringList& names) {
    return std::any_of(app.mimeTypes.begin(), app.mimeTypes.end(),
                       [&](const QString& m) { return names.contains(m); });
}

// Every installed application by id; an entry earlier in the search path hides
// later ones of the same id, also when it is hidden itself.
struct Installed {
    QList<DesktopApp> apps;
    QHash<QString, qsizetype> byId;

    const DesktopApp* find(const QString& id) const {
        const auto it = byId.constFind(id);
        return it == byId.cend() ? nullptr : &apps.at(it.value());
    }
};

Installed scanApplications() {
    Installed all;
    QSet<QString> seen;
    for (const QString& dir : applicationDirs()) {
        const QString root = QDir(dir).absolutePath();
        QDirIterator it(root, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        QStringList files;
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString& path : files) {
            QString id = path.mid(root.size() + 1);
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id)) continue;
            seen.insert(id);
            if (auto app = readDesktopEntry(path, id)) {
                all.byId.insert(id, all.apps.size());
                all.apps << *app;
            }
        }
    }
    return all;
}

// The mimeapps.list files, most important first (desktop-specific ones before the
// general one in each folder), then the older defaults.list files.
QStringList associationFiles() {
    QStringList desktops;
    for (const QString& d :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops << d.toLower();
    QStringList dirs{configHome()};
    dirs << configDirs();
    dirs << applicationDirs();
    QStringList files;
    for (const QString& dir : dirs) {
        for (const QString& d : desktops)
            files << dir + "/" + d + "-mimeapps.list";
        files << dir + "/mimeapps.list";
    }
    for (const QString& dir : applicationDirs())
        files << dir + "/defaults.list";
    return files;
}

struct Associations {
    QStringList defaults; // in order of importance
    QStringList added;
    QSet<QString> removed;
};

Associations associationsFor(const QStringList& names) {
    Associations a;
    for (const QString& file : associationFiles()) {
        if (!QFileInfo::exists(file)) continue;
        const Groups g = readGroups(file);
        const bool legacy = file.endsWith(QLatin1String("/defaults.list"));
        for (const QString& name : names) {
            a.defaults << splitList(g.value(QStringLiteral("Default Applications")).value(name));
            if (legacy) continue;
            for (const QString& id :
                 splitList(g.value(QStringLiteral("Added Associations")).value(name)))
                if (!a.removed.contains(id)) a.added << id;
            for (const QString& id :
                 splitList(g.value(QStringLiteral("Removed Associations")).value(name)))
                a.removed.insert(id);
        }
    }
    return a;
}

// The path of the desktop entry with this id: the first applications folder that
// has it wins, also when the entry there is hidden. Empty when none has it.
QString findDesktopEntry(const QString& id) {
    if (id.isEmpty() || id.contains(QLatin1Char('/'))) return {};
    for (const QString& dir : applicationDirs()) {
        const QString root = QDir(dir).absolutePath();
        if (QFileInfo(root + "/" + id).isFile()) return root + "/" + id;
        // In a subfolder, the id joins the folder names with "-" (kde-foo.desktop).
        QDirIterator it(root, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.mid(root.size() + 1).replace(QLatin1Char('/'), QLatin1Char('-')) == id)
                return path;
        }
    }
    return {};
}

class XdgDesktopServices final : public DesktopServices {
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
        const QStringList names = namesOf(mimeType);
        const Installed all = scanApplications();
        const Associations assoc = associationsFor(names);
        for (const QString& id : assoc.defaults)
            if (const DesktopApp* app = all.find(id)) return *app;
        for (const QString& id : assoc.added)
            if (const DesktopApp* app = all.find(id)) return *app;
        for (const DesktopApp& app : all.apps)
            if (!assoc.removed.contains(app.id) && declares(app, names)) return app;
        return std::nullopt;
    }

    QList<DesktopApp> applicationsFor(const QString& mimeType) const override {
        const QStringList names = namesOf(mimeType);
        const Installed all = scanApplications();
        const Associations assoc = associationsFor(names);
        QList<DesktopApp> found;
        QSet<QString> ids;
        auto take = [&](const DesktopApp& app) {
            if (ids.contains(app.id) || assoc.removed.contains(app.id)) return;
            ids.insert(app.id);
            found << app;
        };
        for (const QString& id : assoc.added)
            if (const DesktopApp* app = all.find(id)) take(*app);
        for (const DesktopApp& app : all.apps)
            if (!app.noDisplay && declares(app, names)) take(app);
        if (found.isEmpty()) {
            const QString kind = mimeType.section(QLatin1Char('/'), 0, 0) + QLatin1Char('/');
            for (const DesktopApp& app : all.apps) {
                const bool sameKind =
                    std::any_of(app.mimeTypes.begin(), app.mimeTypes.end(),
                                [&](const QString& m) { return m.startsWith(kind); });
                if (!app.noDisplay && sameKind) take(app);
            }
        }
        std::stable_sort(found.begin(), found.end(), [](const DesktopApp& a, const DesktopApp& b) {
            return a.name.localeAwareCompare(b.name) < 0;
        });
        return found;
    }

    bool openWithDefault(const QString& file) override {
        return QProcess::startDetached(QStringLiteral("xdg-open"), {file});
    }

    bool openWith(const DesktopApp& app, const QString& file) override {
        QStringList cmd = execCommand(app, file);
        if (cmd.isEmpty()) return false;
        const QString program = cmd.takeFirst();
        return QProcess::startDetached(program, cmd);
    }

    bool openWithProgram(const QString& program, const QString& file) override {
        if (program.isEmpty()) return false;
        return QProcess::startDetached(program, {file});
    }

    QString readDesktopEntryValue(const QString& entryId, const QString& key) const override {
        const QString path = findDesktopEntry(entryId);
        if (path.isEmpty()) return {};
        const auto entry = readGroups(path).value(QStringLiteral("Desktop Entry"));
        if (isTrue(entry.value(QStringLiteral("Hidden")))) return {};
        return unescapeValue(entry.value(key));
    }
};

// Splits an Exec line into arguments: blanks separate, double quotes group, and
// inside quotes a backslash takes the next character literally. Sets `ok` false
// on an unterminated quote.
QStringList splitExec(const QString& line, bool& ok) {
    QStringList args;
    QString cur;
    bool inArg = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < line.size()) {
                cur += line.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArg = true;
        } else if (c.isSpace()) {
            if (inArg) args << cur;
            cur.clear();
            inArg = false;
        } else {
            cur += c;
            inArg = true;
        }
    }
    ok = !quoted;
    if (inArg) args << cur;
    return args;
}

} // namespace

std::optional<DesktopApp> readDesktopEntry(const QString& path, const QString& id) {
    const Groups groups = readGroups(path);
    const auto it = groups.constFind(QStringLiteral("Desktop Entry"));
    if (it == groups.cend()) return std::nullopt;
    const auto& e = it.value();
    if (e.value(QStringLiteral("Type")) != QLatin1String("Application")) return std::nullopt;
    if (isTrue(e.value(QStringLiteral("Hidden")))) return std::nullopt;
    const QString exec = unescapeValue(e.value(QStringLiteral("Exec")));
    if (exec.trimmed().isEmpty()) return std::nullopt;
    const QString tryExec = unescapeValue(e.value(QStringLiteral("TryExec")));
    if (!tryExec.isEmpty()) {
        const bool found = QFileInfo(tryExec).isAbsolute()
                               ? QFileInfo(tryExec).isExecutable()
                               : !QStandardPaths::findExecutable(tryExec).isEmpty();
        if (!found) return std::nullopt;
    }
    DesktopApp app;
    app.id = id;
    app.file = path;
    app.exec = exec;
    app.icon = unescapeValue(e.value(QStringLiteral("Icon")));
    app.mimeTypes = splitList(e.value(QStringLiteral("MimeType")));
    app.noDisplay = isTrue(e.value(QStringLiteral("NoDisplay")));
    for (const char* key : {"Name[de_DE]", "Name[de]", "Name"}) {
        const QString n = unescapeValue(e.value(QLatin1String(key)));
        if (!n.isEmpty()) {
            app.name = n;
            break;
        }
    }
    if (app.name.isEmpty()) app.name = id;
    return app;
}

QStringList execCommand(const DesktopApp& app, const QString& file) {
    bool ok = true;
    const QStringList raw = splitExec(app.exec, ok);
    if (!ok || raw.isEmpty()) return {};
    QStringList out;
    bool fileUsed = false;
    for (const QString& arg : raw) {
        if (arg == QLatin1String("%f") || arg == QLatin1String("%F") ||
            arg == QLatin1String("%u") || arg == QLatin1String("%U")) {
            out << file;
            fileUsed = true;
            continue;
        }
        if (arg == QLatin1String("%i")) {
            if (!app.icon.isEmpty()) out << QStringLiteral("--icon") << app.icon;
            continue;
        }
        QString expanded;
        for (qsizetype i = 0; i < arg.size(); ++i) {
            const QChar c = arg.at(i);
            if (c != QLatin1Char('%') || i + 1 == arg.size()) {
                expanded += c;
                continue;
            }
            const QChar code = arg.at(++i);
            switch (code.unicode()) {
            case 'f':
            case 'F':
            case 'u':
            case 'U':
                expanded += file;
                fileUsed = true;
                break;
            case 'c':
                expanded += app.name;
                break;
            case 'k':
                expanded += app.file;
                break;
            case '%':
                expanded += QLatin1Char('%');
                break;
            default:
                break; // deprecated or unknown codes are dropped
            }
        }
        if (!expanded.isEmpty() || arg.isEmpty()) out << expanded;
    }
    if (out.isEmpty()) return {};
    if (!fileUsed) out << file;
    return out;
}

QStringList commandWithoutFieldCodes(const QString& exec) {
    bool ok = true;
    const QStringList raw = splitExec(exec, ok);
    if (!ok) return {};
    QStringList out;
    for (const QString& arg : raw) {
        QString kept;
        for (qsizetype i = 0; i < arg.size(); ++i) {
            if (arg.at(i) != QLatin1Char('%') || i + 1 == arg.size()) {
                kept += arg.at(i);
            } else if (arg.at(++i) == QLatin1Char('%')) {
                kept += QLatin1Char('%');
            }
        }
        // An argument that was nothing but field codes goes; a quoted "" stays.
        if (!kept.isEmpty() || arg.isEmpty()) out << kept;
    }
    return out;
}

DesktopServices& desktopServices() {
    static XdgDesktopServices instance;
    return instance;
}

} // namespace kamsulo::platform
