#include "platform/qt/qt_status_bar.h"
#include "platform/qt/tray_status_item.h"

namespace quorvel {

std::unique_ptr<StatusItem> QtStatusBar::addStatusItem() {
    return std::make_unique<TrayStatusItem>(hold);
}

}  // namespace quorvel
