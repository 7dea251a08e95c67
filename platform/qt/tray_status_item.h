#pragma once

#include <QDBusConnection>
#include <QIcon>
#include <memory>

#include "interfaces/status_item.h"
#include "platform/qt/sni/dbus_menu_export.h"
#include "platform/qt/sni/status_notifier_item.h"
#include "platform/qt/sni/watcher_registration.h"
#include "platform/qt/xembed_tray.h"

namespace quorvel {

class QtMenu;
class TickHold;

// The tray icon on Linux: our own StatusNotifier item wherever the session has a watcher, which
// every current panel provides; an XEmbed tray icon on X11 while there is none. Only one of them
// shows at a time. When there is no tray at all yet, the icon shows as soon as one appears.
class TrayStatusItem : public StatusItem, private StatusButton {
  public:
    explicit TrayStatusItem(TickHold& hold);
    ~TrayStatusItem() override;
    TrayStatusItem(const TrayStatusItem&) = delete;
    TrayStatusItem& operator=(const TrayStatusItem&) = delete;

    StatusButton& button() override { return *this; }
    void setMenu(std::shared_ptr<Menu> menu) override;

  private:
    void setImage(const std::string& symbolName,
                  const std::string& accessibilityDescription) override;
    void setToolTip(const std::string& toolTip) override;

    // Puts the item and its menu on the session bus and registers them with the watcher.
    void publish();
    void withdraw();
    bool watcherPresent() const;
    // The StatusNotifier item was registered with a watcher, or lost it.
    void onRegisteredChanged(bool registered);
    // The XEmbed icon when it can be had (made on first use), else null.
    XEmbedTray* xembed();
    // Opens our own menu near a point that a host gave; false where that cannot be done.
    bool showMenuAt(QPoint point);

    TickHold& hold;
    QDBusConnection bus;
    QString serviceName;
    std::shared_ptr<QtMenu> menu;
    QIcon icon;
    QString title;
    QString toolTipText;
    sni::StatusNotifierItem item;
    std::unique_ptr<sni::DBusMenuExport> menuExport;
    sni::WatcherRegistration registration;
    std::unique_ptr<XEmbedTray> xembedTray;
};

}  // namespace quorvel
