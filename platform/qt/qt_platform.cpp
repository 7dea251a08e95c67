#include "platform/qt/qt_platform.h"

namespace quorvel {

QtPlatform::QtPlatform()
    : statusBar(hold), menus(hold), alerts(hold), timers(hold), view{application, statusBar, menus,
                                                                     alerts,      workspace, timers,
                                                                     location} {}

}  // namespace quorvel
