#include "platform/qt/sni/dbus_types.h"

#include <QDBusMetaType>

namespace quorvel::sni {
namespace {

template <typename... Fields>
QDBusArgument& writeStructure(QDBusArgument& argument, const Fields&... fields) {
    argument.beginStructure();
    (argument << ... << fields);
    argument.endStructure();
    return argument;
}

template <typename... Fields>
const QDBusArgument& readStructure(const QDBusArgument& argument, Fields&... fields) {
    argument.beginStructure();
    (argument >> ... >> fields);
    argument.endStructure();
    return argument;
}

}  // namespace

void registerDBusTypes() {
    qDBusRegisterMetaType<IconPixmap>();
    qDBusRegisterMetaType<IconPixmapList>();
    qDBusRegisterMetaType<ToolTip>();
    qDBusRegisterMetaType<MenuItemProperties>();
    qDBusRegisterMetaType<MenuItemPropertiesList>();
    qDBusRegisterMetaType<MenuItemRemovedProperties>();
    qDBusRegisterMetaType<MenuItemRemovedPropertiesList>();
    qDBusRegisterMetaType<MenuLayout>();
    qDBusRegisterMetaType<MenuEvent>();
    qDBusRegisterMetaType<MenuEventList>();
    // Signals reach the bus by their parameters' type names, which name the lists as declared.
    qRegisterMetaType<IconPixmapList>("quorvel::sni::IconPixmapList");
    qRegisterMetaType<MenuItemPropertiesList>("quorvel::sni::MenuItemPropertiesList");
    qRegisterMetaType<MenuItemRemovedPropertiesList>("quorvel::sni::MenuItemRemovedPropertiesList");
    qRegisterMetaType<MenuEventList>("quorvel::sni::MenuEventList");
}

QDBusArgument& operator<<(QDBusArgument& argument, const IconPixmap& pixmap) {
    return writeStructure(argument, pixmap.width, pixmap.height, pixmap.pixels);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, IconPixmap& pixmap) {
    return readStructure(argument, pixmap.width, pixmap.height, pixmap.pixels);
}

QDBusArgument& operator<<(QDBusArgument& argument, const ToolTip& toolTip) {
    return writeStructure(argument, toolTip.iconName, toolTip.iconPixmaps, toolTip.title,
                          toolTip.description);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ToolTip& toolTip) {
    return readStructure(argument, toolTip.iconName, toolTip.iconPixmaps, toolTip.title,
                         toolTip.description);
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemProperties& item) {
    return writeStructure(argument, item.id, item.properties);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemProperties& item) {
    return readStructure(argument, item.id, item.properties);
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemRemovedProperties& item) {
    return writeStructure(argument, item.id, item.names);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemRemovedProperties& item) {
    return readStructure(argument, item.id, item.names);
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayout& layout) {
    argument.beginStructure();
    argument << layout.id << layout.properties;
    // Each child travels as a variant ("av"), as the menu protocol requires.
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const MenuLayout& child : layout.children) {
        argument << QDBusVariant(QVariant::fromValue(child));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayout& layout) {
    argument.beginStructure();
    argument >> layout.id >> layout.properties;
    layout.children.clear();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        layout.children.append(qdbus_cast<MenuLayout>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const MenuEvent& event) {
    return writeStructure(argument, event.id, event.eventId, event.data, event.timestamp);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEvent& event) {
    return readStructure(argument, event.id, event.eventId, event.data, event.timestamp);
}

}  // namespace quorvel::sni
