#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

struct Alert {
    std::string messageText;
    std::string informativeText;
    // In the order added; the first is the default button. Empty: one default "OK" button.
    std::vector<std::string> buttons;
    // The index in `buttons` of the one that Escape chooses, if any.
    std::optional<std::size_t> cancelButton;
};

class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;

    // Shows the alert modally, as plain text, and returns when the user has answered: the index of
    // the chosen button in `alert.buttons`, or no value when it was dismissed without choosing one.
    // Timer ticks wait while it runs.
    virtual std::optional<std::size_t> runModal(const Alert& alert) = 0;
};

}  // namespace quorvel
