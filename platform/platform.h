#pragma once

#include "platform/alert.h"
#include "platform/application.h"
#include "platform/installed_location.h"
#include "platform/main_thread.h"
#include "platform/menu.h"
#include "platform/repeating_timer.h"
#include "platform/status_item.h"
#include "platform/workspace.h"

namespace quorvel {

// Everything the controller needs from a desktop. The objects outlive the controller.
struct Platform {
    Application& application;
    StatusBar& statusBar;
    MenuFactory& menus;
    AlertPresenter& alerts;
    Workspace& workspace;
    TimerScheduler& timers;
    MainThread& mainThread;
    InstalledLocation& location;
};

}  // namespace quorvel
