#pragma once

#include "interfaces/application.h"
#include "platform/posix/instance_lock.h"

namespace quorvel {

// The Qt application object's side of the controller: running copies counted by a per-user lock
// that this process holds once it has asked, and the end of the event loop.
class QtApplication : public Application {
  public:
    int runningCopies(std::string_view identifier) override;
    void becomeAccessory() override;
    void bringToFront() override;
    void terminate() override;

  private:
    InstanceLock lock;
};

}  // namespace quorvel
