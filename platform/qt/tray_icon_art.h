#pragma once

#include <QIcon>
#include <QPixmap>
#include <array>

namespace quorvel {

// The waveform's geometry on the art's 64-unit canvas, shared by every drawing of the icon.
namespace trayArt {
inline constexpr double canvas = 64.0;
inline constexpr double barWidth = 5.0;
inline constexpr double barSpacing = 8.0;
inline constexpr std::array<double, 5> barLengths = {10, 22, 34, 22, 10};  // caps included
}  // namespace trayArt

// The program's icon: a blue disc with a dark rim and a white five-bar waveform. Each size is
// drawn at that size, with the bars snapped to whole pixels so that small icons stay crisp.
QPixmap drawTrayIcon(int size);

// The tray's icon: the drawing above at 16, 22, 24, 32, 48 and 64 pixels.
QIcon trayIcon();

// The icon of the program's windows (the alerts), in title bars and window switchers: on Linux
// the same drawing, up to 256 pixels.
QIcon windowIcon();

}  // namespace quorvel
