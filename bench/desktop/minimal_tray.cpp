// The yardstick for the desktop benchmark: a Qt 6 tray icon with the same 13-row menu as the
// controller and no logic at all.
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QMenu menu;
    menu.setToolTipsVisible(true);
    menu.addAction(QStringLiteral("QUORVEL Connect · Stopped"))->setEnabled(false);
    menu.addAction(QStringLiteral("0 connected listeners"))->setEnabled(false);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Start QUORVEL Connect"));
    menu.addAction(QStringLiteral("Stop QUORVEL Connect…"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Open Dashboard"));
    menu.addAction(QStringLiteral("Show Listener QR Code"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Start automatically when I sign in"))->setCheckable(true);
    menu.addAction(QStringLiteral("Open Logs"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Quit QUORVEL Connect…"));

    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x1F, 0x6F, 0xEB));
        painter.drawEllipse(1, 1, 20, 20);
    }
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.setToolTip(QStringLiteral("QUORVEL Connect"));
    tray.setContextMenu(&menu);
    tray.show();
    return application.exec();
}
