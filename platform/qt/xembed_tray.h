#pragma once

#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>

class QMenu;

namespace quorvel {

// The icon in an X11 system tray of the older, XEmbed kind, through QSystemTrayIcon. Qt's tray
// icon publishes itself over D-Bus instead when it sees a StatusNotifier watcher, which would
// show a second icon beside our own item; so one is made only where Qt is sure to embed it.
class XEmbedTray {
  public:
    // Null where an XEmbed icon cannot be had or Qt might publish it over D-Bus; `watcherPresent`
    // asks the bus whether a StatusNotifier watcher is there right now.
    static std::unique_ptr<XEmbedTray> create(const std::function<bool()>& watcherPresent);

    // Either button opens `menu` beside the icon.
    void setMenu(QMenu* menu);
    void setIcon(const QIcon& icon);
    void setToolTip(const QString& text);
    void setAccessibleName(const QString& name);
    // Shown, the icon docks as soon as a tray appears.
    void setVisible(bool visible);
    // An XEmbed tray runs on the display now.
    bool trayAvailable() const;

  private:
    XEmbedTray() = default;

    void onActivated(QSystemTrayIcon::ActivationReason reason);
    // True when the icon has a window of its own to name.
    bool nameTrayWindow();

    QMenu* menu = nullptr;
    QString accessibleName;
    QSystemTrayIcon tray;
    // Runs until the docked icon's window has been named.
    QTimer naming;
};

}  // namespace quorvel
