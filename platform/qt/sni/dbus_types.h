#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// The structured values that the tray protocols put on the bus, with their D-Bus signatures.

namespace quorvel::sni {

// (iiay): one icon image, ARGB32 pixels in network byte order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using IconPixmapList = QList<IconPixmap>;

// (sa(iiay)ss): icon name, icon images, title, description.
struct ToolTip {
    QString iconName;
    IconPixmapList iconPixmaps;
    QString title;
    QString description;
};

// (ia{sv}): a menu row's id and properties.
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

// (ias): a menu row's id and the names of properties it no longer has.
struct MenuItemRemovedProperties {
    int id = 0;
    QStringList names;
};
using MenuItemRemovedPropertiesList = QList<MenuItemRemovedProperties>;

// (ia{sv}av): a menu row with its children, each child a variant holding the same structure.
struct MenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayout> children;
};

// (isvu): one event of a group sent by the host.
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using MenuEventList = QList<MenuEvent>;

// Makes the types above known to QtDBus; call before exporting an object that uses them.
void registerDBusTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const IconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, IconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const ToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, ToolTip& toolTip);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemRemovedProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemRemovedProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEvent& event);

}  // namespace quorvel::sni

Q_DECLARE_METATYPE(quorvel::sni::IconPixmap)
Q_DECLARE_METATYPE(quorvel::sni::ToolTip)
Q_DECLARE_METATYPE(quorvel::sni::MenuItemProperties)
Q_DECLARE_METATYPE(quorvel::sni::MenuItemRemovedProperties)
Q_DECLARE_METATYPE(quorvel::sni::MenuLayout)
Q_DECLARE_METATYPE(quorvel::sni::MenuEvent)
