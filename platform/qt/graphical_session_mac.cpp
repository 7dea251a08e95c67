#include "platform/qt/graphical_session.h"

namespace quorvel {

// A program started in a user's session always has the window server.
bool hasGraphicalSession() {
    return true;
}

}  // namespace quorvel
