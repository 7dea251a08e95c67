#pragma once

#include <QDBusContext>
#include <QDBusVariant>
#include <QHash>
#include <QObject>

#include "platform/qt/sni/dbus_types.h"

class QAction;
class QMenu;

namespace quorvel {

class TickHold;

namespace sni {

// The rows of one QMenu published as com.canonical.dbusmenu, for a StatusNotifier host that draws
// the menu itself. The QMenu's actions are the only model: titles, enabled flags and check marks
// are read from them on each request, and every change to an action is announced, so the host's
// menu and ours can never disagree. Labels are literal text: nothing becomes an access key.
class DBusMenuExport : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version SCRIPTABLE true)
    Q_PROPERTY(QString TextDirection READ textDirection SCRIPTABLE true)
    Q_PROPERTY(QString Status READ status SCRIPTABLE true)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath SCRIPTABLE true)

  public:
    DBusMenuExport(QMenu& menu, TickHold& hold);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

  public slots:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                quorvel::sni::MenuLayout& layout);
    Q_SCRIPTABLE quorvel::sni::MenuItemPropertiesList GetGroupProperties(
        const QList<int>& ids, const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data,
                            uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const quorvel::sni::MenuEventList& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

  signals:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(
        const quorvel::sni::MenuItemPropertiesList& updatedProps,
        const quorvel::sni::MenuItemRemovedPropertiesList& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int rootId = 0;

    int idOf(QAction* action);
    // Null for the root and for an id that names no row.
    QAction* actionOf(int id) const;
    bool isKnown(int id) const;
    QVariantMap properties(int id, const QStringList& names = {}) const;
    // False for an unknown id.
    bool handleEvent(int id, const QString& eventId);
    void replyUnknownId(int id);
    void announceSoon();
    void announce();

    QMenu& menu;
    TickHold& hold;
    QHash<QAction*, int> ids;
    int nextId = rootId + 1;
    uint revision = 1;
    bool layoutChanged = false;
    bool announcing = false;
    // What the host was last told about each row, so that only real changes are announced.
    QHash<int, QVariantMap> announced;
};

}  // namespace sni
}  // namespace quorvel
