#include "platform/qt/tray_icon_art.h"

#include <QPainter>
#include <cmath>

namespace quorvel {
namespace {

using namespace trayArt;

// The disc on the same canvas.
constexpr double discRadius = 30.0;
constexpr double rimWidth = 2.0;

const QColor discColour(0x1F, 0x6F, 0xEB);
const QColor rimColour(0x0B, 0x3D, 0x91);

}  // namespace

QPixmap drawTrayIcon(int size) {
    const double scale = size / canvas;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPointF centre(size / 2.0, size / 2.0);
    const double rim = std::max(1.0, rimWidth * scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(rimColour);
    painter.drawEllipse(centre, discRadius * scale, discRadius * scale);
    painter.setBrush(discColour);
    painter.drawEllipse(centre, discRadius * scale - rim, discRadius * scale - rim);

    // Whole-pixel bar widths and spacing; an odd width is centred on a pixel, not on a seam.
    const int width = std::max(1, static_cast<int>(std::lround(barWidth * scale)));
    const int spacing = std::max(width + 1, static_cast<int>(std::lround(barSpacing * scale)));
    const double middleX = size / 2.0 + (width % 2 == 1 ? 0.5 : 0.0);
    painter.setBrush(Qt::white);
    for (std::size_t i = 0; i < barLengths.size(); ++i) {
        const double x = middleX + (static_cast<int>(i) - 2) * spacing;
        // An even pixel length keeps both ends on pixel edges around the centre line.
        const double length =
            std::max<double>(width, 2.0 * std::lround(barLengths[i] * scale / 2.0));
        const QRectF bar(x - width / 2.0, centre.y() - length / 2.0, width, length);
        // Round caps only where there are pixels enough to show them; a small bar stays sharp.
        const double cap = width >= 3 ? width / 2.0 : 0.0;
        painter.drawRoundedRect(bar, cap, cap);
    }
    return pixmap;
}

}  // namespace quorvel
