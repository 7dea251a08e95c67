#pragma once

#include "interfaces/platform.h"
#include "platform/qt/program_location.h"
#include "platform/qt/qt_alert_presenter.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_main_thread.h"
#include "platform/qt/qt_menu.h"
#include "platform/qt/qt_status_bar.h"
#include "platform/qt/qt_timer_scheduler.h"
#include "platform/qt/qt_workspace.h"
#include "platform/qt/tick_hold.h"

namespace quorvel {

// Every platform object of the desktop program, made after the QApplication and destroyed before
// it.
class QtPlatform {
  public:
    QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    Platform& platform() { return view; }
    MainThread& mainThread() { return mainThreadImpl; }

  private:
    TickHold hold;
    QtApplication application;
    QtStatusBar statusBar;
    QtMenuFactory menus;
    QtAlertPresenter alerts;
    QtWorkspace workspace;
    QtTimerScheduler timers;
    QtMainThread mainThreadImpl;
    ProgramLocation location;
    Platform view;
};

}  // namespace quorvel
