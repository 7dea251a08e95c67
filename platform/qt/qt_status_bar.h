#pragma once

#include "interfaces/status_item.h"

namespace quorvel {

class TickHold;

// The system tray: on Linux a StatusNotifier item of our own, or an XEmbed icon where the tray
// knows no other kind.
class QtStatusBar : public StatusBar {
  public:
    explicit QtStatusBar(TickHold& hold) : hold(hold) {}

    std::unique_ptr<StatusItem> addStatusItem() override;

  private:
    // The menu that a tray host draws holds the ticks through it.
    TickHold& hold;
};

}  // namespace quorvel
