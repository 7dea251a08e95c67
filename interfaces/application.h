#pragma once

#include <string_view>

namespace quorvel {

// The process as a desktop application: how many copies run, how it presents itself, and how it
// ends.
class Application {
  public:
    virtual ~Application() = default;

    // Running copies of the application with this identifier for the current user, the calling
    // process included; 1 means no other copy runs.
    virtual int runningCopies(std::string_view identifier) = 0;

    // No window, no taskbar or dock entry; the process still owns its tray icon and can show
    // alerts.
    virtual void becomeAccessory() = 0;

    // Brings the application to the front, ignoring other applications, so that the next alert is
    // seen.
    virtual void bringToFront() = 0;

    // Asks the event loop to end; returns to the caller, the process then exits with status 0.
    virtual void terminate() = 0;
};

}  // namespace quorvel
