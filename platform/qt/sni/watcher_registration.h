#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>

namespace quorvel::sni {

// Keeps our item registered with the session's StatusNotifierWatcher: whenever a watcher appears
// (late at sign-in, or again after a panel restart) the item is registered with it anew. Every
// call is asynchronous.
class WatcherRegistration : public QObject {
    Q_OBJECT

  public:
    // `itemService` is the bus name under which the item is exported.
    WatcherRegistration(QDBusConnection bus, QString itemService);

    // Registers now if a watcher is there, and whenever one appears later.
    void start();

  signals:
    // A watcher accepted the item, or the watcher that had it went away.
    void registeredChanged(bool registered);

  private:
    void registerItem();
    void setRegistered(bool value);

    QDBusConnection bus;
    QString itemService;
    QDBusServiceWatcher watcher;
    bool registered = false;
    // Tells a reply from a watcher that has since gone from one for the current watcher.
    quint64 attempt = 0;
};

}  // namespace quorvel::sni
