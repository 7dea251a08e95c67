#include <QPainter>

#include "platform/qt/tray_icon_art.h"

namespace quorvel {
namespace {

using namespace trayArt;

// The single-colour art: a ring around the five bars, on the same canvas.
constexpr double ringRadius = 28.0;
constexpr double ringWidth = 4.0;

QPixmap drawTemplate(int points, int pixelRatio) {
    QPixmap pixmap(points * pixelRatio, points * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(points / canvas, points / canvas);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, ringWidth));
    painter.drawEllipse(QPointF(canvas / 2, canvas / 2), ringRadius, ringRadius);

    painter.setPen(QPen(Qt::black, barWidth, Qt::SolidLine, Qt::RoundCap));
    for (std::size_t i = 0; i < barLengths.size(); ++i) {
        const double x = canvas / 2 + (static_cast<double>(i) - 2) * barSpacing;
        const double half = (barLengths[i] - barWidth) / 2;  // the caps add half a width each end
        painter.drawLine(QPointF(x, canvas / 2 - half), QPointF(x, canvas / 2 + half));
    }
    return pixmap;
}

}  // namespace

// The menu bar's icon is a template image: only its shape counts, and the menu bar draws it in its
// own colours (light, dark, highlighted) as it does its own icons.
QIcon trayIcon() {
    QIcon icon;
    for (const int points : {16, 18, 22}) {
        icon.addPixmap(drawTemplate(points, 1));
        icon.addPixmap(drawTemplate(points, 2));
    }
    icon.setIsMask(true);
    return icon;
}

QIcon windowIcon() {
    return {};
}

}  // namespace quorvel
