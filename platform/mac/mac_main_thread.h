#pragma once

#include "control/main_thread.h"

namespace quorvel {

// The main dispatch queue: serial, in order, and drained by the main run loop in every mode, so a
// reply is drawn even while the menu is open.
class MacMainThread : public MainThread {
  public:
    void post(std::function<void()> task) override;
};

}  // namespace quorvel
