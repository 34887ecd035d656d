#include "platform/DBusMenu.h"

#include <QDBusMetaType>
#include <QMetaObject>

namespace kamsulo::platform {

namespace dbusmenu {

QDBusArgument& operator<<(QDBusArgument& out, const Layout& layout) {
    out.beginStructure();
    out << layout.id << layout.properties << layout.children;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, Layout& layout) {
    in.beginStructure();
    in >> layout.id >> layout.properties >> layout.children;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const Properties& entry) {
    out.beginStructure();
    out << entry.id << entry.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, Properties& entry) {
    in.beginStructure();
    in >> entry.id >> entry.properties;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const Event& event) {
    out.beginStructure();
    out << event.id << event.kind << event.data << event.timestamp;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, Event& event) {
    in.beginStructure();
    in >> event.id >> event.kind >> event.data >> event.timestamp;
    in.endStructure();
    return in;
}

} // namespace dbusmenu

namespace {

// Qt marks an entry's access key with '&' ("&&" is the character itself); the menu
// protocol with '_' ("__").
QString protocolLabel(const QString& text) {
    QString label;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&' && i + 1 < text.size())
            label += text[++i] == u'&' ? QStringLiteral("&") : QStringLiteral("_") + text[i];
        else
            label += c == u'_' ? QStringLiteral("__") : QString(c);
    }
    return label;
}

} // namespace

DBusMenu::DBusMenu(QList<QAction*> entries, QObject* parent)
    : QObject(parent), entries_(std::move(entries)) {
    qDBusRegisterMetaType<dbusmenu::Layout>();
    qDBusRegisterMetaType<dbusmenu::Properties>();
    qDBusRegisterMetaType<QList<dbusmenu::Properties>>();
    qDBusRegisterMetaType<dbusmenu::Event>();
    qDBusRegisterMetaType<QList<dbusmenu::Event>>();
    qDBusRegisterMetaType<QList<int>>();
}

QVariantMap DBusMenu::properties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == 0) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else {
        const QAction* entry = entries_[id - 1];
        if (entry->isSeparator()) {
            all.insert(QStringLiteral("type"), QStringLiteral("separator"));
        } else {
            all.insert(QStringLiteral("label"), protocolLabel(entry->text()));
            all.insert(QStringLiteral("enabled"), entry->isEnabled());
        }
        all.insert(QStringLiteral("visible"), entry->isVisible());
    }
    if (names.isEmpty()) return all;
    QVariantMap asked;
    for (const QString& name : names)
        if (all.contains(name)) asked.insert(name, all[name]);
    return asked;
}

void DBusMenu::refuseUnknown(int id) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu entry %1").arg(id));
}

uint DBusMenu::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                         dbusmenu::Layout& layout) {
    constexpr uint kRevision = 1; // the entries never change
    if (!known(parentId)) {
        refuseUnknown(parentId);
        return kRevision;
    }
    layout = {parentId, properties(parentId, propertyNames), {}};
    if (parentId == 0 && recursionDepth != 0)
        for (int id = 1; id <= entries_.size(); ++id)
            layout.children.append(
                QVariant::fromValue(dbusmenu::Layout{id, properties(id, propertyNames), {}}));
    return kRevision;
}

QList<dbusmenu::Properties> DBusMenu::GetGroupProperties(const QList<int>& ids,
                                                         const QStringList& propertyNames) {
    QList<dbusmenu::Properties> found;
    for (int id = 0; id <= entries_.size(); ++id)
        if (ids.isEmpty() || ids.contains(id)) found.append({id, properties(id, propertyNames)});
    return found;
}

QDBusVariant DBusMenu::GetProperty(int id, const QString& name) {
    if (!known(id)) refuseUnknown(id);
    return QDBusVariant(known(id) ? properties(id, {name}).value(name) : QVariant());
}

bool DBusMenu::handle(int id, const QString& eventId) {
    if (!known(id)) return false;
    QAction* entry = id > 0 ? entries_[id - 1] : nullptr;
    if (eventId == QLatin1String("clicked") && entry && entry->isEnabled() && !entry->isSeparator())
        QMetaObject::invokeMethod(entry, &QAction::trigger, Qt::QueuedConnection);
    return true;
}

void DBusMenu::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (!handle(id, eventId)) refuseUnknown(id);
}

QList<int> DBusMenu::EventGroup(const QList<dbusmenu::Event>& events) {
    QList<int> idErrors;
    for (const dbusmenu::Event& event : events)
        if (!handle(event.id, event.kind)) idErrors.append(event.id);
    return idErrors;
}

bool DBusMenu::AboutToShow(int id) {
    if (!known(id)) refuseUnknown(id);
    return false;
}

QList<int> DBusMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (int id : ids)
        if (!known(id)) idErrors.append(id);
    return {};
}

} // namespace kamsulo::platform
