#pragma once

#import <AppKit/AppKit.h>

#include "interfaces/alert.h"

namespace quorvel {

// Alerts as NSAlert: buttons in the order given, the first answering Return, the alert's cancel
// button answering Escape (a lone button too, as Linux's message box does), a single "OK" when no
// button is given. A long informative text goes into a scrolling text view of bounded height, so
// that the alert and its buttons fit the screen. The alert comes in front of other applications'
// windows. Timer ticks wait while it runs: AppKit runs the loop in its modal mode meanwhile.
class MacAlertPresenter : public AlertPresenter {
  public:
    std::optional<std::size_t> runModal(const Alert& alert) override;

    // Made and laid out, not shown; `runModal` shows it.
    static NSAlert* build(const Alert& alert);
};

}  // namespace quorvel
