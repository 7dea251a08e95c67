#include "platform/qt/qt_platform.h"

namespace quorvel {

QtPlatform::QtPlatform()
    : menus(hold), alerts(hold), timers(hold), view{application,    statusBar, menus,
                                                    alerts,         workspace, timers,
                                                    mainThreadImpl, location} {}

}  // namespace quorvel
