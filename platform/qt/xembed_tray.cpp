#include "platform/qt/xembed_tray.h"

#include <QApplication>
#include <QMenu>
#include <QWidget>

#include "platform/qt/menu_placement.h"

namespace quorvel {
namespace {

constexpr int namingIntervalMs = 2000;

// Set once Qt may have chosen D-Bus for its tray icons; some Qt versions keep that choice for the
// rest of the process.
bool qtMayUseDBus = false;

}  // namespace

std::unique_ptr<XEmbedTray> XEmbedTray::create(const std::function<bool()>& watcherPresent) {
    if (qtMayUseDBus || QGuiApplication::platformName() != QLatin1String("xcb") ||
        watcherPresent()) {
        return nullptr;
    }
    // Qt chooses between embedding and D-Bus when the icon is made, by the same question. With
    // no watcher before and after, Qt's answer was no watcher too: this icon embeds.
    std::unique_ptr<XEmbedTray> result(new XEmbedTray);
    if (watcherPresent()) {
        qtMayUseDBus = true;
        return nullptr;
    }
    QObject::connect(&result->tray, &QSystemTrayIcon::activated, &result->tray,
                     [tray = result.get()](QSystemTrayIcon::ActivationReason reason) {
                         tray->onActivated(reason);
                     });
    result->naming.setInterval(namingIntervalMs);
    QObject::connect(&result->naming, &QTimer::timeout, &result->naming, [tray = result.get()] {
        if (tray->nameTrayWindow()) {
            tray->naming.stop();
        }
    });
    return result;
}

void XEmbedTray::setMenu(QMenu* menu) {
    this->menu = menu;
}

void XEmbedTray::setIcon(const QIcon& icon) {
    tray.setIcon(icon);
}

void XEmbedTray::setToolTip(const QString& text) {
    tray.setToolTip(text);
}

void XEmbedTray::setAccessibleName(const QString& name) {
    accessibleName = name;
    nameTrayWindow();
}

void XEmbedTray::setVisible(bool visible) {
    tray.setVisible(visible);
    // Qt makes the icon's window when it docks, which may be later; name it then.
    if (visible && !nameTrayWindow()) {
        naming.start();
    }
}

bool XEmbedTray::trayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void XEmbedTray::onActivated(QSystemTrayIcon::ActivationReason reason) {
    const bool click = reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context;
    if (!click || menu == nullptr || menu->isVisible()) {
        return;
    }
    popUpBeside(*menu, tray.geometry());
}

bool XEmbedTray::nameTrayWindow() {
    // The docked icon is a small top-level widget of Qt's own; give it the accessible name, and
    // the same window title by which tray hosts list their icons.
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

}  // namespace quorvel
