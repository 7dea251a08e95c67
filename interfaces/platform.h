#pragma once

#include "interfaces/alert.h"
#include "interfaces/application.h"
#include "interfaces/installed_location.h"
#include "interfaces/menu.h"
#include "interfaces/repeating_timer.h"
#include "interfaces/status_item.h"
#include "interfaces/workspace.h"

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
