#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/status_item.h"

namespace quorvel {

class QtMenu;

// One QSystemTrayIcon with our own drawn icon. Either mouse button opens the menu. When there is
// no system tray yet, the icon shows as soon as one appears; the program runs on meanwhile.
class QtStatusItem : public StatusItem, private StatusButton {
  public:
    QtStatusItem();

    StatusButton* button() override { return this; }
    void setMenu(std::shared_ptr<Menu> menu) override;

  private:
    void setImage(const std::string& symbolName,
                  const std::string& accessibilityDescription) override;
    void setToolTip(const std::string& toolTip) override;

    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void waitForTray();
    // True when the icon has a window of its own to name.
    bool nameTrayWindow();

    std::shared_ptr<QtMenu> menu;
    QString accessibleName;
    QSystemTrayIcon tray;
    // Runs only until the icon has found a system tray.
    QTimer trayWatch;
};

class QtStatusBar : public StatusBar {
  public:
    std::unique_ptr<StatusItem> addStatusItem() override;
};

}  // namespace quorvel
