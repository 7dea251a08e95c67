#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/menu_command.h"
#include "control/control_reply.h"

namespace quorvel {

// What the menu and the icon show, drawn from nothing but the last reply and whether a command is
// in flight.
struct MenuState {
    std::string headline;
    std::string detail;
    std::optional<std::string> detailToolTip;
    std::string iconToolTip;
    // By command; "Open Logs" is always enabled.
    std::array<bool, menuCommandCount> enabled{};
    bool automaticChecked = false;

    bool isEnabled(MenuCommand command) const { return enabled[static_cast<std::size_t>(command)]; }
};

MenuState menuState(const ControlReply& lastReply, bool busy);

}  // namespace quorvel
