#pragma once

#include "platform/interfaces/alert.h"
#include "platform/interfaces/application.h"
#include "platform/interfaces/installed_location.h"
#include "platform/interfaces/menu.h"
#include "platform/interfaces/repeating_timer.h"
#include "platform/interfaces/status_item.h"
#include "platform/interfaces/workspace.h"

namespace quorvel {

// Everything the controller needs from a desktop. The objects outlive the controller.
struct Platform {
    Application& application;
    StatusBar& statusBar;
    MenuFactory& menus;
    AlertPresenter& alerts;
    Workspace& workspace;
    TimerScheduler& timers;
    InstalledLocation& location;
};

}  // namespace quorvel
