#pragma once

namespace quorvel {

// Whether the program can reach a display to draw on. Qt aborts without one; the entry says
// what is wrong instead: a display or Wayland socket must be named.
bool hasGraphicalSession();

}  // namespace quorvel
