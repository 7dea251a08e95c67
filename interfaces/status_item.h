#pragma once

#include <memory>
#include <string>

#include "interfaces/menu.h"

namespace quorvel {

// The clickable part of a tray icon: what it shows and what it says when the pointer rests on it.
class StatusButton {
  public:
    virtual ~StatusButton() = default;

    // Shows the named symbol image (for example "waveform.circle"); a platform without that symbol
    // draws its own likeness of it. The description is the icon's accessible name.
    virtual void setImage(const std::string& symbolName,
                          const std::string& accessibilityDescription) = 0;
    virtual void setToolTip(const std::string& toolTip) = 0;
};

// One icon in the system tray (the menu bar on macOS). Clicking it, with either mouse button,
// opens the attached menu.
class StatusItem {
  public:
    virtual ~StatusItem() = default;

    virtual StatusButton& button() = 0;

    virtual void setMenu(std::shared_ptr<Menu> menu) = 0;
};

class StatusBar {
  public:
    virtual ~StatusBar() = default;

    // A new item whose width follows its content. The item stays in the tray while it lives.
    virtual std::unique_ptr<StatusItem> addStatusItem() = 0;
};

}  // namespace quorvel
