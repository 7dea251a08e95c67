#pragma once

#include "interfaces/application.h"
#include "platform/posix/instance_lock.h"

namespace quorvel {

// NSApplication's side of the controller: running copies counted by the per-user lock (which,
// unlike a count of running bundles, also sees a copy started outside its bundle), the accessory
// policy, activation, and termination.
class MacApplication : public Application {
  public:
    int runningCopies(std::string_view identifier) override;
    void becomeAccessory() override;
    void bringToFront() override;
    void terminate() override;

  private:
    InstanceLock lock;
};

}  // namespace quorvel
