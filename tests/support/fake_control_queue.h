#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/control_queue.h"
#include "tests/support/event_log.h"

namespace quorvel::fakes {

// Stands in for the control script: records every command and holds its completion until the test
// delivers a reply, in the order the commands were sent. It outlives the controller it serves, so
// a test can deliver a reply after the controller is gone.
class FakeControlQueue {
  public:
    struct Request {
        std::filesystem::path baseDirectory;
        std::string verb;
    };

    // Commands are also written to `log` as "perform VERB", when one is given.
    explicit FakeControlQueue(EventLog* log = nullptr) : log(log) {}

    // The queue to hand to the controller; it forwards every command here.
    std::unique_ptr<ControlQueue> connect();

    const std::vector<Request>& requests() const { return sent; }
    std::vector<std::string> verbs() const;
    std::size_t inFlight() const { return pending.size(); }

    // Answers the oldest command still in flight, on the calling (main) thread.
    void deliver(ControlReply reply);

  private:
    class Connection;

    void perform(std::filesystem::path baseDirectory, std::string verb, ReplyHandler completion);

    EventLog* log;
    std::vector<Request> sent;
    std::deque<ReplyHandler> pending;
};

}  // namespace quorvel::fakes
