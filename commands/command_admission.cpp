#include <algorithm>
#include <utility>

#include "app/app_delegate.h"
#include "menu/menu_state.h"

namespace quorvel {

// Whether a state-changing command chosen now may run at once. A status poll is no reason to lose
// a click: the first command chosen while a poll alone is in flight waits for its reply, and any
// later one is dropped, so that two quick clicks still run one command. While a state-changing
// command is in flight, every other is dropped.
bool AppDelegate::admitCommand(MenuCommand command) {
    if (!busy) {
        return true;
    }
    if (pollInFlight && !chosenDuringPoll) {
        chosenDuringPoll = command;
    }
    return false;
}

// Runs the command that waited for the poll's reply as if chosen now, from the state just drawn:
// its row may be disabled now, and a click there is then no longer possible.
void AppDelegate::runCommandChosenDuringPoll() {
    const std::optional<MenuCommand> chosen = std::exchange(chosenDuringPoll, std::nullopt);
    if (!chosen || !menuState(state, busy).isEnabled(*chosen)) {
        return;
    }
    const auto row = std::ranges::find(commandRows, *chosen, &CommandRow::command);
    (this->*row->run)();
}

}  // namespace quorvel
