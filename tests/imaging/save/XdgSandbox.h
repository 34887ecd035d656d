#pragma once
// A private home and private XDG folders for one test: the desktop folder, the
// installed applications and their associations are what the test puts there.
// GLib reads the XDG folders once in a process, so a process holds one sandbox, made
// before the first look at an application (ctest runs each test in a process of its
// own).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <map>
#include <optional>
#include <string>

namespace kamsulo::test {

class XdgSandbox {
public:
    XdgSandbox() {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                 "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"})
            saved_[name] = qEnvironmentVariableIsSet(name)
                               ? std::optional<QByteArray>(qgetenv(name))
                               : std::nullopt;
        const QString root = dir_.path();
        for (const char* sub :
             {"home/.config", "home/.local/share/applications", "etc", "share/applications"})
            QDir(root).mkpath(QLatin1String(sub));
        // The MIME database stays the system's, so that file types are known.
        QFile::link(QStringLiteral("/usr/share/mime"), root + "/share/mime");
        qputenv("HOME", (root + "/home").toUtf8());
        qputenv("XDG_CONFIG_HOME", (root + "/home/.config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (root + "/etc").toUtf8());
        qputenv("XDG_DATA_HOME", (root + "/home/.local/share").toUtf8());
        qputenv("XDG_DATA_DIRS", (root + "/share").toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }
    ~XdgSandbox() {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name.c_str(), *value);
            else
                qunsetenv(name.c_str());
        }
    }
    XdgSandbox(const XdgSandbox&) = delete;
    XdgSandbox& operator=(const XdgSandbox&) = delete;

    QString root() const { return dir_.path(); }
    QString home() const { return dir_.path() + "/home"; }

    // Writes a file below the sandbox root, creating its folders. A desktop entry
    // is indexed by its types, as installing it does.
    QString write(const QString& relative, const QByteArray& content) const {
        const QString path = root() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(content);
        f.close();
        const qsizetype applications = path.indexOf(QLatin1String("/applications/"));
        if (path.endsWith(QLatin1String(".desktop")) && applications > 0)
            QProcess::execute(QStringLiteral("update-desktop-database"),
                              {path.left(applications) + QStringLiteral("/applications")});
        return path;
    }

private:
    QTemporaryDir dir_;
    std::map<std::string, std::optional<QByteArray>> saved_;
};

} // namespace kamsulo::test
