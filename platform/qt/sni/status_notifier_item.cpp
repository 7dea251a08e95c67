#include "platform/qt/sni/status_notifier_item.h"

#include <QGuiApplication>
#include <QImage>
#include <QtEndian>
#include <utility>

namespace quorvel::sni {

StatusNotifierItem::StatusNotifierItem(QDBusObjectPath menuPath,
                                       std::function<bool(QPoint)> openMenu)
    : menuPath(std::move(menuPath)),
      openMenu(std::move(openMenu)),
      currentTitle(QGuiApplication::applicationDisplayName()) {}

QString StatusNotifierItem::id() const {
    // Stable across runs, so that a panel remembers where the user put the icon.
    return QGuiApplication::applicationName();
}

void StatusNotifierItem::setTitle(const QString& title) {
    if (title != currentTitle) {
        currentTitle = title;
        emit NewTitle();
    }
}

void StatusNotifierItem::setIcon(const QIcon& icon, const QString& themeName) {
    currentIconName = QIcon::hasThemeIcon(themeName) ? themeName : QString();
    pixmaps = iconPixmaps(icon);
    emit NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text != toolTipText) {
        toolTipText = text;
        emit NewToolTip();
    }
}

QDBusMessage StatusNotifierItem::identityAnnouncement(const QString& itemPath) const {
    QDBusMessage message =
        QDBusMessage::createSignal(itemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    const QVariantMap changed{{QStringLiteral("Id"), id()},
                              {QStringLiteral("Menu"), QVariant::fromValue(menuPath)}};
    message << QStringLiteral("org.kde.StatusNotifierItem") << changed << QStringList();
    return message;
}

ToolTip StatusNotifierItem::toolTip() const {
    return {{}, {}, toolTipText, {}};
}

void StatusNotifierItem::Activate(int x, int y) {
    openMenuOrFail(QPoint(x, y));
}

void StatusNotifierItem::SecondaryActivate(int x, int y) {
    openMenuOrFail(QPoint(x, y));
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    openMenuOrFail(QPoint(x, y));
}

void StatusNotifierItem::openMenuOrFail(QPoint point) {
    if (!openMenu(point) && calledFromDBus()) {
        sendErrorReply(QDBusError::NotSupported,
                       QStringLiteral("this item opens no menu of its own here: show the item's "
                                      "exported menu instead"));
    }
}

void StatusNotifierItem::Scroll(int /*delta*/, const QString& /*orientation*/) {}

IconPixmapList iconPixmaps(const QIcon& icon) {
    IconPixmapList result;
    for (const QSize& size : icon.availableSizes()) {
        if (size.width() < 16 || size.width() > 64) {
            continue;
        }
        const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        QByteArray pixels(static_cast<qsizetype>(image.sizeInBytes()), Qt::Uninitialized);
        // Each pixel as A, R, G, B bytes, whatever the machine's byte order.
        auto* out = reinterpret_cast<uchar*>(pixels.data());
        for (int row = 0; row < image.height(); ++row) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(row));
            for (int column = 0; column < image.width(); ++column, out += 4) {
                qToBigEndian(line[column], out);
            }
        }
        result.append({image.width(), image.height(), pixels});
    }
    return result;
}

}  // namespace quorvel::sni
