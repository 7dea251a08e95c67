// Linux trays show the icon in its own colours, at the size the tray asks for.
#include "platform/qt/tray_icon_art.h"

namespace quorvel {

QIcon trayIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        icon.addPixmap(drawTrayIcon(size));
    }
    return icon;
}

QIcon windowIcon() {
    QIcon icon = trayIcon();
    for (const int size : {128, 256}) {
        icon.addPixmap(drawTrayIcon(size));
    }
    return icon;
}

}  // namespace quorvel
