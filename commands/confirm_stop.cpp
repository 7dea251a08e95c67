#include <string>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "control/control_words.h"
#include "control/reply_readings.h"

namespace quorvel {

// Asks before stopping the service; true only when the user chose the stop button. "Cancel" comes
// first and is the default, so a stray Return keeps the service running.
bool AppDelegate::confirmStop() {
    const std::optional<std::int64_t> listeners = countReading(state, keys::listeners);
    std::string informative = listeners && *listeners > 0
                                  ? std::to_string(*listeners).append(texts::listenersWereConnected)
                                  : std::string(texts::stopWithoutCount);

    platform.application.bringToFront();
    constexpr std::size_t cancelChoice = 0;
    constexpr std::size_t stopChoice = 1;
    const std::optional<std::size_t> choice = platform.alerts.runModal(
        Alert{std::string(texts::stopQuestion),
              std::move(informative),
              {std::string(texts::cancelButton), std::string(texts::stopButton)},
              cancelChoice});
    return choice == stopChoice;
}

}  // namespace quorvel
