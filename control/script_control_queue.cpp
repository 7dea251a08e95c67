#include "control/script_control_queue.h"

#include <exception>
#include <utility>

#include "control/runner_replies.h"

namespace quorvel {

namespace {

constexpr const char* queueLabel = "org.quorvel.connect.control";

}  // namespace

ScriptControlQueue::ScriptControlQueue(MainThread& mainThread, CommandLimits limits)
    : mainThread(mainThread), limits(limits), serialQueue(queueLabel) {}

void ScriptControlQueue::perform(std::filesystem::path baseDirectory, std::string verb,
                                 ReplyHandler completion) {
    serialQueue.submit([&mainThread = mainThread, limits = limits,
                        baseDirectory = std::move(baseDirectory), verb = std::move(verb),
                        completion = std::move(completion)]() mutable {
        ControlReply reply;
        try {
            reply = runControlCommand(baseDirectory, verb, limits);
        } catch (const std::exception& error) {
            // Only memory exhaustion gets here; the call still ends in a reply.
            reply = launchFailureReply(error.what());
        }
        mainThread.post([completion = std::move(completion), reply = std::move(reply)]() mutable {
            if (completion) {
                completion(std::move(reply));
            }
        });
    });
}

}  // namespace quorvel
