#pragma once

#include "control/control_command.h"
#include "control/control_queue.h"
#include "control/main_thread.h"
#include "control/serial_queue.h"

namespace quorvel {

// The control queue that runs the real control script: each call runs on one serial worker, and
// its reply is posted to the main thread.
class ScriptControlQueue : public ControlQueue {
  public:
    // `mainThread` must outlive this queue. Destroying the queue waits for the commands already
    // submitted.
    explicit ScriptControlQueue(MainThread& mainThread, CommandLimits limits = {});

    void perform(std::filesystem::path baseDirectory, std::string verb,
                 ReplyHandler completion) override;

  private:
    MainThread& mainThread;
    const CommandLimits limits;
    // Declared last, so it is destroyed (and its worker joined) while the rest still exists.
    SerialQueue serialQueue;
};

}  // namespace quorvel
