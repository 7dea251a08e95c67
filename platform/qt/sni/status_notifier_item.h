#pragma once

#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <functional>

#include "platform/qt/sni/dbus_types.h"

namespace quorvel::sni {

// The tray icon as a StatusNotifier host reads it (org.kde.StatusNotifierItem): fixed identity,
// our drawn icon, a tooltip, and a menu that the host opens itself on any button.
class StatusNotifierItem : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category SCRIPTABLE true)
    Q_PROPERTY(QString Id READ id SCRIPTABLE true)
    Q_PROPERTY(QString Title READ title SCRIPTABLE true)
    Q_PROPERTY(QString Status READ status SCRIPTABLE true)
    Q_PROPERTY(int WindowId READ windowId SCRIPTABLE true)
    Q_PROPERTY(QString IconThemePath READ emptyText SCRIPTABLE true)
    Q_PROPERTY(QString IconName READ iconName SCRIPTABLE true)
    Q_PROPERTY(quorvel::sni::IconPixmapList IconPixmap READ iconPixmap SCRIPTABLE true)
    Q_PROPERTY(QString OverlayIconName READ emptyText SCRIPTABLE true)
    Q_PROPERTY(quorvel::sni::IconPixmapList OverlayIconPixmap READ noPixmaps SCRIPTABLE true)
    Q_PROPERTY(QString AttentionIconName READ emptyText SCRIPTABLE true)
    Q_PROPERTY(quorvel::sni::IconPixmapList AttentionIconPixmap READ noPixmaps SCRIPTABLE true)
    Q_PROPERTY(QString AttentionMovieName READ emptyText SCRIPTABLE true)
    Q_PROPERTY(quorvel::sni::ToolTip ToolTip READ toolTip SCRIPTABLE true)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu SCRIPTABLE true)
    Q_PROPERTY(QDBusObjectPath Menu READ menu SCRIPTABLE true)

  public:
    // `openMenu` opens our own menu near a point that a host gave, and says whether it could.
    StatusNotifierItem(QDBusObjectPath menuPath, std::function<bool(QPoint)> openMenu);

    void setTitle(const QString& title);
    // `themeName` is published only when the installed icon theme has an icon of that name.
    void setIcon(const QIcon& icon, const QString& themeName);
    void setToolTip(const QString& text);
    // PropertiesChanged for Id and Menu, the two properties a host needs before it shows the item.
    // Sent once a watcher has accepted the item: a host that dropped them from its property cache
    // while it set the item up (as GNOME's AppIndicator host can, when its check of our bus name
    // lands after it read the properties) has them again, instead of failing its retry and
    // removing the item.
    QDBusMessage identityAnnouncement(const QString& itemPath) const;

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const;
    QString title() const { return currentTitle; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconName() const { return currentIconName; }
    IconPixmapList iconPixmap() const { return pixmaps; }
    ToolTip toolTip() const;
    bool itemIsMenu() const { return true; }
    QDBusObjectPath menu() const { return menuPath; }
    QString emptyText() const { return {}; }
    IconPixmapList noPixmaps() const { return {}; }

  public slots:
    // A host that opens no menu itself asks us to, near the point it gives. Where we cannot, the
    // call fails: a host that falls back on its own menu then opens that one instead.
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

  signals:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);

  private:
    void openMenuOrFail(QPoint point);

    QDBusObjectPath menuPath;
    std::function<bool(QPoint)> openMenu;
    QString currentTitle;
    QString currentIconName;
    IconPixmapList pixmaps;
    QString toolTipText;
};

// The icon's images at each of its sizes from 16 to 64 pixels, as the item publishes them.
IconPixmapList iconPixmaps(const QIcon& icon);

}  // namespace quorvel::sni
