#include "tests/support/fake_control_queue.h"

#include <utility>

#include "tests/support/misuse.h"

namespace quorvel::fakes {

class FakeControlQueue::Connection : public ControlQueue {
  public:
    explicit Connection(FakeControlQueue& fake) : fake(fake) {}

    void perform(std::filesystem::path baseDirectory, std::string verb,
                 ReplyHandler completion) override {
        fake.perform(std::move(baseDirectory), std::move(verb), std::move(completion));
    }

  private:
    FakeControlQueue& fake;
};

std::unique_ptr<ControlQueue> FakeControlQueue::connect() {
    return std::make_unique<Connection>(*this);
}

std::vector<std::string> FakeControlQueue::verbs() const {
    std::vector<std::string> result;
    for (const Request& request : sent) {
        result.push_back(request.verb);
    }
    return result;
}

void FakeControlQueue::deliver(ControlReply reply) {
    if (pending.empty()) {
        reportMisuse("a reply was delivered with no command in flight");
        return;
    }
    // Taken off the queue first: the completion may send the next command.
    ReplyHandler completion = std::move(pending.front());
    pending.pop_front();
    completion(std::move(reply));
}

void FakeControlQueue::perform(std::filesystem::path baseDirectory, std::string verb,
                               ReplyHandler completion) {
    if (log != nullptr) {
        log->add("perform " + verb);
    }
    sent.push_back(Request{std::move(baseDirectory), std::move(verb)});
    pending.push_back(std::move(completion));
}

}  // namespace quorvel::fakes
