#pragma once

#include <string>
#include <string_view>

// Every text the controller shows, and the places it opens, in one spot so that a reader finds
// them. "…" is U+2026 and "·" is U+00B7 throughout.
namespace quorvel::texts {

inline constexpr std::string_view productName = "QUORVEL Connect";
inline constexpr std::string_view iconSymbol = "waveform.circle";

// The headline row: the prefix, then a state word or a progress title.
inline constexpr std::string_view headlinePrefix = "QUORVEL Connect · ";
inline constexpr std::string_view checking = "Checking…";
inline constexpr std::string_view needsAttention = "Needs attention";
inline constexpr std::string_view starting = "Starting…";
inline constexpr std::string_view stopping = "Stopping…";
inline constexpr std::string_view saving = "Saving…";

inline std::string headline(std::string_view word) {
    return std::string(headlinePrefix).append(word);
}

// The detail row.
inline constexpr std::string_view connectedListener = " connected listener";
inline constexpr std::string_view listenerCountUnavailable = "Listener count unavailable";
inline constexpr std::string_view unableToReadStatus = "Unable to read status";

// The command rows, top to bottom.
inline constexpr std::string_view startRow = "Start QUORVEL Connect";
inline constexpr std::string_view stopRow = "Stop QUORVEL Connect…";
inline constexpr std::string_view dashboardRow = "Open Dashboard";
inline constexpr std::string_view qrRow = "Show Listener QR Code";
inline constexpr std::string_view automaticRow = "Start automatically when I sign in";
inline constexpr std::string_view logsRow = "Open Logs";
inline constexpr std::string_view quitRow = "Quit QUORVEL Connect…";

// The failure alert.
inline constexpr std::string_view failureMessage = "QUORVEL Connect needs attention";
inline constexpr std::string_view actionDidNotComplete = "The action did not complete.";

// The stop confirmation. The listener text follows the count and so begins with a space.
inline constexpr std::string_view stopQuestion = "Stop QUORVEL Connect?";
inline constexpr std::string_view listenersWereConnected =
    " listeners were connected at the last check. Stopping disconnects listeners and stops all "
    "language streams.";
inline constexpr std::string_view stopWithoutCount =
    "This stops all language streams and disconnects any listeners. The app will stay stopped "
    "until you start it again, or until your next sign-in if automatic startup is enabled.";
inline constexpr std::string_view cancelButton = "Cancel";
inline constexpr std::string_view stopButton = "Stop QUORVEL Connect";

// The service's own pages, and the folder beside the program that holds its logs.
inline constexpr std::string_view dashboardUrl = "http://127.0.0.1:8080/admin";
inline constexpr std::string_view qrCodeUrl = "http://127.0.0.1:8080/admin/qr-code";
inline constexpr std::string_view logsFolder = "logs";

}  // namespace quorvel::texts
