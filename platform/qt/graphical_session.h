#pragma once

namespace quorvel {

// Whether the program can reach a display to draw on. Qt aborts without one; the entry says
// what is wrong instead. Linux: a display or Wayland socket is named; macOS: always.
bool hasGraphicalSession();

}  // namespace quorvel
