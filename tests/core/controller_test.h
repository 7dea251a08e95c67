#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "tests/support/fake_control_queue.h"
#include "tests/support/recording_platform.h"

namespace quorvel::fakes {

// A controller on the recording desktop, with the control script played by the test. Table-driven
// tests make a fresh one per case.
struct ControllerHarness {
    void launch(std::vector<std::string> arguments = {"/opt/QUORVEL Connect/quorvel-connect"}) {
        delegate = AppDelegate::create(platform, script.connect(), arguments);
        delegate->applicationDidFinishLaunching();
    }

    // Launches and answers the first status poll with `statusReply`.
    void launchShowing(const std::string& statusReply) {
        launch();
        reply(statusReply);
    }

    // Answers the oldest command in flight.
    void reply(const std::string& json) { script.deliver(ControlReply::parse(json)); }

    // The next tick's status poll, answered with `statusReply`.
    void poll(const std::string& statusReply) {
        desktop.fireTimer();
        reply(statusReply);
    }

    // The entries of the event log that start with one of `prefixes`, in order.
    std::vector<std::string> eventsStartingWith(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> matching;
        for (const std::string& event : desktop.events()) {
            for (const std::string& prefix : prefixes) {
                if (event.starts_with(prefix)) {
                    matching.push_back(event);
                    break;
                }
            }
        }
        return matching;
    }

    RecordingPlatform desktop;
    Platform platform = desktop.platform();
    FakeControlQueue script{&desktop.eventLog()};
    std::shared_ptr<AppDelegate> delegate;  // last, so that it goes first
};

class ControllerTest : public ::testing::Test, public ControllerHarness {};

}  // namespace quorvel::fakes
