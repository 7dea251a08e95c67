#include "platform/qt/tray_status_item.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <cstdio>

#include "platform/qt/menu_placement.h"
#include "platform/qt/plain_text.h"
#include "platform/qt/qt_menu.h"
#include "platform/qt/tray_icon_art.h"

namespace quorvel {
namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QStringLiteral("/MenuBar");
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

TrayStatusItem::TrayStatusItem(TickHold& hold)
    : hold(hold),
      bus(QDBusConnection::sessionBus()),
      // Unique per process, as the StatusNotifier protocol asks of an item's bus name.
      serviceName(QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(::getpid())),
      icon(trayIcon()),
      title(QGuiApplication::applicationDisplayName()),
      item{QDBusObjectPath(menuPath), [this](QPoint point) { return showMenuAt(point); }},
      registration(bus, serviceName) {
    sni::registerDBusTypes();
    item.setIcon(icon, QGuiApplication::desktopFileName());
    QObject::connect(&registration, &sni::WatcherRegistration::registeredChanged, &item,
                     [this](bool registered) { onRegisteredChanged(registered); });
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &item,
                     [this] { withdraw(); });
    const bool watcher = watcherPresent();
    XEmbedTray* fallback = watcher ? nullptr : xembed();
    if (fallback != nullptr) {
        fallback->setVisible(true);
    }
    if (!watcher && (fallback == nullptr || !fallback->trayAvailable())) {
        std::fputs(
            "quorvel-connect: no system tray is available yet; the icon will appear when one is.\n",
            stderr);
    }
    publish();
}

TrayStatusItem::~TrayStatusItem() {
    withdraw();
}

void TrayStatusItem::setMenu(std::shared_ptr<Menu> menu) {
    this->menu = std::dynamic_pointer_cast<QtMenu>(menu);
    bus.unregisterObject(menuPath);
    menuExport.reset();
    QMenu* widget = this->menu ? &this->menu->widget() : nullptr;
    if (widget != nullptr) {
        menuExport = std::make_unique<sni::DBusMenuExport>(*widget, hold);
        bus.registerObject(menuPath, menuExport.get(), QDBusConnection::ExportScriptableContents);
    }
    if (xembedTray) {
        xembedTray->setMenu(widget);
    }
}

void TrayStatusItem::setImage(const std::string& /*symbolName*/,
                              const std::string& accessibilityDescription) {
    // Every symbol name gets our own drawing: there is no system symbol set to look it up in.
    title = QString::fromStdString(accessibilityDescription);
    item.setTitle(title);
    if (xembedTray) {
        xembedTray->setAccessibleName(title);
    }
}

void TrayStatusItem::setToolTip(const std::string& toolTip) {
    // A host shows the item's tooltip as plain text; Qt's own tooltip would guess rich text.
    item.setToolTip(QString::fromStdString(toolTip));
    toolTipText = literalToolTip(toolTip);
    if (xembedTray) {
        xembedTray->setToolTip(toolTipText);
    }
}

void TrayStatusItem::publish() {
    if (!bus.isConnected()) {
        return;  // no session bus: the XEmbed icon is all there is
    }
    bus.registerObject(itemPath, &item, QDBusConnection::ExportScriptableContents);
    if (!bus.registerService(serviceName)) {
        return;
    }
    registration.start();
}

void TrayStatusItem::withdraw() {
    if (!bus.isConnected()) {
        return;
    }
    // Losing its name is how a watcher learns that the item has gone.
    bus.unregisterService(serviceName);
    bus.unregisterObject(itemPath);
    bus.unregisterObject(menuPath);
}

bool TrayStatusItem::watcherPresent() const {
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    return daemon != nullptr && daemon->isServiceRegistered(watcherService).value();
}

void TrayStatusItem::onRegisteredChanged(bool registered) {
    if (registered) {
        bus.send(item.identityAnnouncement(itemPath));
    }
    XEmbedTray* fallback = registered ? xembedTray.get() : xembed();
    if (fallback != nullptr) {
        fallback->setVisible(!registered);
    }
}

XEmbedTray* TrayStatusItem::xembed() {
    if (xembedTray) {
        return xembedTray.get();
    }
    xembedTray = XEmbedTray::create([this] { return watcherPresent(); });
    if (!xembedTray) {
        return nullptr;
    }
    xembedTray->setIcon(icon);
    xembedTray->setToolTip(toolTipText);
    xembedTray->setAccessibleName(title);
    xembedTray->setMenu(menu ? &menu->widget() : nullptr);
    return xembedTray.get();
}

bool TrayStatusItem::showMenuAt(QPoint point) {
    // Only on X11 can a program place a window beside an icon that another program draws, and
    // know where the pointer is. Elsewhere (Wayland) the host opens the exported menu itself.
    if (!menu || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return false;
    }
    if (!menu->widget().isVisible()) {
        popUpForHost(menu->widget(), point, QCursor::pos());
    }
    return true;
}

}  // namespace quorvel
