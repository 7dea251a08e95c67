#include "app/app_delegate.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <utility>

#include "app/product_texts.h"
#include "app/weak_call.h"

namespace quorvel {

namespace {

// Running copies are counted under this identifier, fixed here rather than read from the
// installation, so that every installed copy counts alike.
constexpr std::string_view bundleIdentifier = "org.quorvel.connect.menu";
constexpr std::string_view autoStartOption = "--auto-start";
constexpr std::chrono::seconds pollInterval{5};

}  // namespace

std::shared_ptr<AppDelegate> AppDelegate::create(Platform& platform,
                                                 std::unique_ptr<ControlQueue> queue,
                                                 std::span<const std::string> arguments) {
    // The constructor is private, so make_shared cannot reach it.
    return std::shared_ptr<AppDelegate>(new AppDelegate(platform, std::move(queue), arguments));
}

AppDelegate::AppDelegate(Platform& platform, std::unique_ptr<ControlQueue> queue,
                         std::span<const std::string> arguments)
    : platform(platform),
      menu(platform.menus.makeMenu()),
      statusItem(platform.menus.makeRow(std::string(texts::checking), RowKind::plain)),
      detailItem(platform.menus.makeRow("", RowKind::plain)),
      autoStartPending(std::ranges::find(arguments, autoStartOption) != arguments.end()),
      queue(std::move(queue)) {
    assert(this->queue != nullptr);
}

void AppDelegate::applicationDidFinishLaunching() {
    if (platform.application.runningCopies(bundleIdentifier) >= 2) {
        platform.application.terminate();
        return;
    }
    platform.application.becomeAccessory();
    buildStatusMenu();
    refresh();
    timer = platform.timers.scheduleRepeating(pollInterval,
                                              weakCall(weak_from_this(), &AppDelegate::refresh));
}

std::filesystem::path AppDelegate::baseDirectory() const {
    std::filesystem::path program = platform.location.programLocation();
    // A bundle may be reported as a directory with a trailing separator; its parent is still the
    // folder that contains it, not the bundle itself.
    if (!program.has_filename()) {
        program = program.parent_path();
    }
    return program.parent_path();
}

void AppDelegate::perform(std::string_view verb, ReplyHandler completion) {
    queue->perform(baseDirectory(), std::string(verb), std::move(completion));
}

}  // namespace quorvel
