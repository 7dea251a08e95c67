#pragma once

#include "interfaces/platform.h"
#include "platform/mac/bundle_location.h"
#include "platform/mac/mac_alert_presenter.h"
#include "platform/mac/mac_application.h"
#include "platform/mac/mac_main_thread.h"
#include "platform/mac/mac_menu.h"
#include "platform/mac/mac_status_bar.h"
#include "platform/mac/mac_timer_scheduler.h"
#include "platform/mac/mac_workspace.h"

namespace quorvel {

// Every platform object of the menu-bar program, made after the shared NSApplication.
class MacPlatform {
  public:
    MacPlatform() : view{application, statusBar, menus, alerts, workspace, timers, location} {}
    MacPlatform(const MacPlatform&) = delete;
    MacPlatform& operator=(const MacPlatform&) = delete;

    Platform& platform() { return view; }
    MainThread& mainThread() { return mainThreadImpl; }

  private:
    MacApplication application;
    MacStatusBar statusBar;
    MacMenuFactory menus;
    MacAlertPresenter alerts;
    MacWorkspace workspace;
    MacTimerScheduler timers;
    MacMainThread mainThreadImpl;
    BundleLocation location;
    Platform view;
};

}  // namespace quorvel
