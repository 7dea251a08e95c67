#pragma once

#include <QIcon>
#include <QPixmap>

namespace quorvel {

// The program's icon: a blue disc with a dark rim and a white five-bar waveform. Each size is
// drawn at that size, with the bars snapped to whole pixels so that small icons stay crisp.
QPixmap drawTrayIcon(int size);

// The tray's icon: on Linux the drawing above at 16, 22, 24, 32, 48 and 64 pixels; on macOS a
// single-colour template image that the menu bar tints.
QIcon trayIcon();

}  // namespace quorvel
