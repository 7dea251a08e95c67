#pragma once

#include "control/main_thread.h"

namespace quorvel {

// Tasks posted to the application object's event queue, in order.
class QtMainThread : public MainThread {
  public:
    void post(std::function<void()> task) override;
};

}  // namespace quorvel
