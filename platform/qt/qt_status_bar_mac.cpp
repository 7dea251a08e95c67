// The menu bar's status item through QSystemTrayIcon, which Qt maps onto the native one.
#include <QSystemTrayIcon>

#include "platform/qt/plain_text.h"
#include "platform/qt/qt_menu.h"
#include "platform/qt/qt_status_bar.h"
#include "platform/qt/tray_icon_art.h"

namespace quorvel {
namespace {

// Either mouse button opens the menu, as the native status item does by itself.
class MenuBarItem : public StatusItem, private StatusButton {
  public:
    MenuBarItem() {
        // Set before showing: Qt refuses to show a tray icon without an image.
        tray.setIcon(trayIcon());
        tray.show();
    }

    StatusButton& button() override { return *this; }

    void setMenu(std::shared_ptr<Menu> menu) override {
        this->menu = std::dynamic_pointer_cast<QtMenu>(menu);
        tray.setContextMenu(this->menu ? &this->menu->widget() : nullptr);
    }

  private:
    void setImage(const std::string& /*symbolName*/,
                  const std::string& /*accessibilityDescription*/) override {
        // Every symbol name gets our own template drawing, which the menu bar tints.
        tray.setIcon(trayIcon());
    }

    void setToolTip(const std::string& toolTip) override {
        tray.setToolTip(literalToolTip(toolTip));
    }

    std::shared_ptr<QtMenu> menu;
    QSystemTrayIcon tray;
};

}  // namespace

std::unique_ptr<StatusItem> QtStatusBar::addStatusItem() {
    return std::make_unique<MenuBarItem>();
}

}  // namespace quorvel
