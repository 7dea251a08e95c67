#include <algorithm>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "control/control_words.h"
#include "control/reply_readings.h"

namespace quorvel {

// The actions of the command rows. The four that change the service are admitted one at a time
// (a choice during a status poll waits for its reply) and run through action(); the three that
// open something touch no state.

void AppDelegate::start() {
    if (admitCommand(MenuCommand::start)) {
        action(verbs::start, texts::starting);
    }
}

void AppDelegate::stop() {
    if (!admitCommand(MenuCommand::stop) || !confirmStop()) {
        return;
    }
    action(verbs::stop, texts::stopping);
}

void AppDelegate::dashboard() {
    platform.workspace.openUrl(std::string(texts::dashboardUrl));
}

void AppDelegate::qr() {
    platform.workspace.openUrl(std::string(texts::qrCodeUrl));
}

void AppDelegate::toggleAutomatic() {
    if (!admitCommand(MenuCommand::toggleAutomatic)) {
        return;
    }
    action(flagReading(state, keys::automatic) ? verbs::autoOff : verbs::autoOn, texts::saving);
}

void AppDelegate::logs() {
    platform.workspace.openFolder(baseDirectory() / texts::logsFolder);
}

// Quitting leaves a service alone unless this controller owns part of it, and then ends at once,
// whatever is in flight. Otherwise the service is stopped first, and the application ends only
// once the stop has succeeded.
void AppDelegate::quit() {
    const std::vector<bool> owned = flagListReading(state, keys::owned);
    if (std::find(owned.begin(), owned.end(), true) == owned.end()) {
        platform.application.terminate();
        return;
    }
    if (!admitCommand(MenuCommand::quit) || !confirmStop()) {
        return;
    }
    action(verbs::stop, texts::stopping,
           [&application = platform.application] { application.terminate(); });
}

}  // namespace quorvel
