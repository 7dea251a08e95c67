#pragma once

#include <string_view>

// The words of the contract with the control script: the verbs the controller sends, and the
// reply keys and values it reads back.
namespace quorvel::verbs {

inline constexpr std::string_view status = "status";
inline constexpr std::string_view start = "start";
inline constexpr std::string_view stop = "stop";
inline constexpr std::string_view autoOn = "auto-on";
inline constexpr std::string_view autoOff = "auto-off";

}  // namespace quorvel::verbs

namespace quorvel::keys {

inline constexpr std::string_view ok = "ok";
inline constexpr std::string_view error = "error";
inline constexpr std::string_view state = "state";
inline constexpr std::string_view detail = "detail";
inline constexpr std::string_view listeners = "listeners";
inline constexpr std::string_view owned = "owned";
inline constexpr std::string_view configured = "configured";
inline constexpr std::string_view foreign = "foreign";
inline constexpr std::string_view automatic = "automatic";

// The one "state" value that lets the service be started.
inline constexpr std::string_view stoppedState = "Stopped";

}  // namespace quorvel::keys
