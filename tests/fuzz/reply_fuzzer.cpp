// Feeds arbitrary script output through the reply parser, the four readings, and a controller on
// the recording desktop: once as a status reply and once as the reply to each command a person can
// choose. Any crash, sanitizer report or broken promise of the menu is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_delegate.h"
#include "control/reply_parser.h"
#include "control/reply_readings.h"
#include "tests/support/fake_control_queue.h"
#include "tests/support/recording_platform.h"

namespace {

using quorvel::ControlReply;
using quorvel::fakes::FakeControlQueue;
using quorvel::fakes::RecordingPlatform;
using quorvel::fakes::RowView;

void require(bool holds, const char* promise) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

void readEveryKey(const ControlReply& reply) {
    for (const char* key : {"ok", "error", "state", "detail", "listeners", "owned", "configured",
                            "foreign", "automatic", ""}) {
        (void)quorvel::textReading(reply, key);
        (void)quorvel::countReading(reply, key);
        (void)quorvel::flagReading(reply, key);
        (void)quorvel::flagListReading(reply, key);
    }
    (void)quorvel::isOk(reply);
}

// What the menu must show whatever the reply said.
void checkMenu(RecordingPlatform& desktop, const FakeControlQueue& script) {
    const std::vector<RowView> rows = desktop.openMenu();
    require(rows.size() == 13, "the menu has 13 rows");
    require(rows[0].title.starts_with("QUORVEL Connect · ") || rows[0].title == "Checking…",
            "the headline starts with the product name");
    require(!rows[0].enabled && !rows[1].enabled, "the information rows stay disabled");
    require(rows[10].title == "Open Logs" && rows[10].enabled, "Open Logs stays enabled");
    require(rows[12].enabled == (script.inFlight() == 0), "Quit is enabled exactly when idle");
    require(script.inFlight() <= 1, "at most one command is in flight");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view output(reinterpret_cast<const char*>(data), size);
    const ControlReply reply = quorvel::parseReply(output);
    readEveryKey(reply);
    // The readings promise not to throw on any value, not only on objects.
    readEveryKey(ControlReply::parse(output, nullptr, false, true));

    RecordingPlatform desktop;
    quorvel::Platform platform = desktop.platform();
    FakeControlQueue script;
    desktop.answerEveryAlert(1);  // confirms every stop; the failure alert's answer is ignored
    const std::vector<std::string> arguments = {"quorvel-connect", "--auto-start"};
    const auto delegate = quorvel::AppDelegate::create(platform, script.connect(), arguments);
    delegate->applicationDidFinishLaunching();

    script.deliver(reply);
    checkMenu(desktop, script);
    for (const char* title : {"Start QUORVEL Connect", "Stop QUORVEL Connect…", "Open Dashboard",
                              "Show Listener QR Code", "Start automatically when I sign in",
                              "Open Logs", "Quit QUORVEL Connect…"}) {
        // Answer whatever is in flight (the automatic start first) with the same output, and the
        // status poll that a failure asks for with it too.
        while (script.inFlight() > 0) {
            script.deliver(reply);
            checkMenu(desktop, script);
        }
        for (const RowView& row : desktop.openMenu()) {
            if (row.title == title && row.enabled) {
                desktop.choose(title);
                checkMenu(desktop, script);
            }
        }
    }
    while (script.inFlight() > 0) {
        script.deliver(reply);
    }
    checkMenu(desktop, script);
    return 0;
}
