#pragma once
// A flat menu that another program shows on this one's behalf: the entries (actions and
// separators, in their order) as a com.canonical.dbusmenu object on the session bus. A
// click there triggers the entry's action once the call has been answered, so that the
// caller is not kept waiting while the action runs.
#include <QAction>
#include <QDBusArgument>
#include <QDBusContext>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace kamsulo::platform {

namespace dbusmenu {
// An entry with its properties and, for the root, its children (each a Layout, sent
// as a variant): (ia{sv}av).
struct Layout {
    int id = 0;
    QVariantMap properties;
    QVariantList children;
};
// An entry's properties alone: (ia{sv}).
struct Properties {
    int id = 0;
    QVariantMap properties;
};
// One of several events sent at once: (isvu).
struct Event {
    int id = 0;
    QString kind;
    QDBusVariant data;
    uint timestamp = 0;
};
} // namespace dbusmenu

class DBusMenu : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenu(QList<QAction*> entries, QObject* parent = nullptr);

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   kamsulo::platform::dbusmenu::Layout& layout);
    QList<kamsulo::platform::dbusmenu::Properties>
    GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<kamsulo::platform::dbusmenu::Event>& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

private:
    // Entry ids: 0 is the root, n the n-th entry from 1 on.
    bool known(int id) const { return id >= 0 && id <= entries_.size(); }
    QVariantMap properties(int id, const QStringList& names) const;
    bool handle(int id, const QString& eventId);
    void refuseUnknown(int id);

    QList<QAction*> entries_;
};

} // namespace kamsulo::platform

Q_DECLARE_METATYPE(kamsulo::platform::dbusmenu::Layout)
Q_DECLARE_METATYPE(kamsulo::platform::dbusmenu::Properties)
Q_DECLARE_METATYPE(kamsulo::platform::dbusmenu::Event)
