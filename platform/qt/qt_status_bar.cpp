#include "platform/qt/qt_status_bar.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>
#include <cstdio>

#include "platform/qt/plain_text.h"
#include "platform/qt/qt_menu.h"
#include "platform/qt/tray_icon_art.h"

namespace quorvel {
namespace {

constexpr int trayWatchIntervalMs = 2000;

}  // namespace

QtStatusItem::QtStatusItem() {
    // Set before showing: Qt refuses to show a tray icon without an image.
    tray.setIcon(trayIcon());
    QObject::connect(&tray, &QSystemTrayIcon::activated, &tray,
                     [this](QSystemTrayIcon::ActivationReason reason) { onActivated(reason); });
    // Shown even with no system tray yet: Qt docks the icon as soon as a tray appears.
    tray.show();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        waitForTray();
    }
}

void QtStatusItem::setMenu(std::shared_ptr<Menu> menu) {
    this->menu = std::dynamic_pointer_cast<QtMenu>(menu);
    tray.setContextMenu(this->menu ? &this->menu->widget() : nullptr);
}

void QtStatusItem::setImage(const std::string& /*symbolName*/,
                            const std::string& accessibilityDescription) {
    // Every symbol name gets our own drawing: there is no system symbol set to look it up in.
    tray.setIcon(trayIcon());
    accessibleName = QString::fromStdString(accessibilityDescription);
    nameTrayWindow();
}

void QtStatusItem::setToolTip(const std::string& toolTip) {
    tray.setToolTip(literalToolTip(toolTip));
}

void QtStatusItem::onActivated(QSystemTrayIcon::ActivationReason reason) {
    // The right button opens the context menu by itself; the left one only reports a trigger.
    if (reason != QSystemTrayIcon::Trigger || !menu) {
        return;
    }
    QMenu& widget = menu->widget();
    if (!widget.isVisible()) {
        widget.popup(QCursor::pos());
    }
}

void QtStatusItem::waitForTray() {
    std::fputs(
        "quorvel-connect: no system tray is available yet; the icon will appear when one is.\n",
        stderr);
    trayWatch.setInterval(trayWatchIntervalMs);
    // Qt makes the icon's window when the tray appears; name it then.
    QObject::connect(&trayWatch, &QTimer::timeout, &trayWatch, [this] {
        if (QSystemTrayIcon::isSystemTrayAvailable() && nameTrayWindow()) {
            trayWatch.stop();
        }
    });
    trayWatch.start();
}

bool QtStatusItem::nameTrayWindow() {
    // The XEmbed icon is a small top-level widget of Qt's own; give it the accessible name, and
    // the same window title by which tray hosts list their icons. A StatusNotifier icon has no
    // widget and carries the application's display name instead.
    bool named = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0) {
            widget->setAccessibleName(accessibleName);
            widget->setWindowTitle(accessibleName);
            named = true;
        }
    }
    return named;
}

std::unique_ptr<StatusItem> QtStatusBar::addStatusItem() {
    return std::make_unique<QtStatusItem>();
}

}  // namespace quorvel
