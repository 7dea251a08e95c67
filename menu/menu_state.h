#pragma once

#include <optional>
#include <string>

#include "control/control_reply.h"

namespace quorvel {

// What the menu and the icon show, drawn from nothing but the last reply and whether a command is
// in flight. "Open Logs" is not here: it is always enabled.
struct MenuState {
    std::string headline;
    std::string detail;
    std::optional<std::string> detailToolTip;
    std::string iconToolTip;
    struct Rows {
        bool start = false;
        bool stop = false;
        bool dashboard = false;
        bool qr = false;
        bool automatic = false;
        bool quit = false;
    } enabled;
    bool automaticChecked = false;
};

MenuState menuState(const ControlReply& lastReply, bool busy);

}  // namespace quorvel
