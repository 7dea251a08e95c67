#pragma once

#include <cstddef>

namespace quorvel {

// The commands of the menu's rows, by name: what a row runs, what is kept of a choice made while a
// status poll is in flight, and what the drawn menu state is asked about.
enum class MenuCommand : std::size_t { start, stop, dashboard, qr, toggleAutomatic, logs, quit };

inline constexpr std::size_t menuCommandCount = static_cast<std::size_t>(MenuCommand::quit) + 1;

}  // namespace quorvel
