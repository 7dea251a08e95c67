#include "platform/qt/sni/dbus_menu_export.h"

#include <QAction>
#include <QActionEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include "platform/qt/plain_text.h"
#include "platform/qt/tick_hold.h"

namespace quorvel::sni {

DBusMenuExport::DBusMenuExport(QMenu& menu, TickHold& hold) : menu(menu), hold(hold) {
    for (QAction* action : menu.actions()) {
        idOf(action);
    }
    for (const int id : ids) {
        announced.insert(id, properties(id));
    }
    menu.installEventFilter(this);
}

QString DBusMenuExport::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

uint DBusMenuExport::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                               MenuLayout& layout) {
    if (!isKnown(parentId)) {
        replyUnknownId(parentId);
        return 0;
    }
    layout = {parentId, properties(parentId, propertyNames), {}};
    if (parentId == rootId && recursionDepth != 0) {
        for (QAction* action : menu.actions()) {
            const int id = idOf(action);
            layout.children.append({id, properties(id, propertyNames), {}});
        }
    }
    return revision;
}

MenuItemPropertiesList DBusMenuExport::GetGroupProperties(const QList<int>& ids,
                                                          const QStringList& propertyNames) {
    MenuItemPropertiesList result;
    for (const int id : ids) {
        if (isKnown(id)) {
            result.append({id, properties(id, propertyNames)});
        }
    }
    return result;
}

QDBusVariant DBusMenuExport::GetProperty(int id, const QString& name) {
    const QVariantMap found = properties(id, {name});
    if (!isKnown(id) || !found.contains(name)) {
        sendErrorReply(QDBusError::InvalidArgs,
                       QStringLiteral("menu item %1 has no property %2").arg(id).arg(name));
        return QDBusVariant(QVariant(0));
    }
    return QDBusVariant(found.value(name));
}

void DBusMenuExport::Event(int id, const QString& eventId, const QDBusVariant& /*data*/,
                           uint /*timestamp*/) {
    if (!handleEvent(id, eventId)) {
        replyUnknownId(id);
    }
}

QList<int> DBusMenuExport::EventGroup(const MenuEventList& events) {
    QList<int> idErrors;
    for (const MenuEvent& event : events) {
        if (!handleEvent(event.id, event.eventId)) {
            idErrors.append(event.id);
        }
    }
    return idErrors;
}

bool DBusMenuExport::AboutToShow(int id) {
    if (!isKnown(id)) {
        replyUnknownId(id);
    }
    // The rows are always current: the host never needs to fetch them again first.
    return false;
}

QList<int> DBusMenuExport::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
        if (!isKnown(id)) {
            idErrors.append(id);
        }
    }
    return {};
}

bool DBusMenuExport::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionRemoved:
            layoutChanged = true;
            announceSoon();
            break;
        case QEvent::ActionChanged:
            announceSoon();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

int DBusMenuExport::idOf(QAction* action) {
    auto found = ids.constFind(action);
    if (found != ids.constEnd()) {
        return *found;
    }
    // Ids are never reused: a host may still hold on to a removed row's id.
    ids.insert(action, nextId);
    connect(action, &QObject::destroyed, this, [this, action] { ids.remove(action); });
    return nextId++;
}

QAction* DBusMenuExport::actionOf(int id) const {
    for (QAction* action : menu.actions()) {
        if (ids.value(action, rootId) == id) {
            return action;
        }
    }
    return nullptr;
}

bool DBusMenuExport::isKnown(int id) const {
    return id == rootId || actionOf(id) != nullptr;
}

QVariantMap DBusMenuExport::properties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == rootId) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (const QAction* action = actionOf(id)) {
        all.insert(QStringLiteral("visible"), action->isVisible());
        if (action->isSeparator()) {
            all.insert(QStringLiteral("type"), QStringLiteral("separator"));
        } else {
            all.insert(QStringLiteral("label"), dbusMenuLabel(action->text()));
            all.insert(QStringLiteral("enabled"), action->isEnabled());
            if (action->isCheckable()) {
                all.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
                all.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
            }
        }
    }
    if (names.isEmpty()) {
        return all;
    }
    QVariantMap chosen;
    for (const QString& name : names) {
        if (all.contains(name)) {
            chosen.insert(name, all.value(name));
        }
    }
    return chosen;
}

bool DBusMenuExport::handleEvent(int id, const QString& eventId) {
    if (!isKnown(id)) {
        return false;
    }
    if (eventId == QLatin1String("opened") && id == rootId) {
        hold.holdForHost();
    } else if (eventId == QLatin1String("closed") && id == rootId) {
        hold.releaseHost();
    } else if (eventId == QLatin1String("clicked")) {
        QAction* action = actionOf(id);
        if (action == nullptr || action->isSeparator() || !action->isEnabled()) {
            return true;  // only an enabled row can be chosen
        }
        // After the reply: the row's action may run a modal alert, and the host waits for us.
        QTimer::singleShot(0, action, [action = QPointer<QAction>(action)] {
            if (action && action->isEnabled()) {
                action->trigger();
            }
        });
    }
    return true;
}

void DBusMenuExport::replyUnknownId(int id) {
    sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no menu item with id %1").arg(id));
}

void DBusMenuExport::announceSoon() {
    // One announcement for all the changes of one redraw of the menu.
    if (!announcing) {
        announcing = true;
        QTimer::singleShot(0, this, &DBusMenuExport::announce);
    }
}

void DBusMenuExport::announce() {
    announcing = false;
    MenuItemPropertiesList updated;
    MenuItemRemovedPropertiesList removed;
    for (QAction* action : menu.actions()) {
        const int id = idOf(action);
        const QVariantMap now = properties(id);
        const QVariantMap before = announced.value(id);
        if (now == before) {
            continue;
        }
        updated.append({id, now});
        QStringList gone;
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            if (!now.contains(it.key())) {
                gone.append(it.key());
            }
        }
        if (!gone.isEmpty()) {
            removed.append({id, gone});
        }
        announced.insert(id, now);
    }
    if (!updated.isEmpty() || !removed.isEmpty()) {
        emit ItemsPropertiesUpdated(updated, removed);
    }
    if (layoutChanged) {
        layoutChanged = false;
        emit LayoutUpdated(++revision, rootId);
    }
}

}  // namespace quorvel::sni
