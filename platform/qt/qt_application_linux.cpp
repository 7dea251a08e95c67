// The Linux side of QtApplication: no window is ever shown but the alerts, so there is nothing to
// hide, and the alerts bring themselves to the front.
#include "platform/qt/qt_application.h"

namespace quorvel {

void QtApplication::becomeAccessory() {
    // Nothing to do: no window is ever shown but the alerts, and they have no taskbar entry of
    // their own worth hiding.
}

void QtApplication::bringToFront() {
    // Every alert raises and activates itself once it is on screen (QtAlertPresenter).
}

}  // namespace quorvel
