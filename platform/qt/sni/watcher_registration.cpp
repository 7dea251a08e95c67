#include "platform/qt/sni/watcher_registration.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <utility>

namespace quorvel::sni {
namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

WatcherRegistration::WatcherRegistration(QDBusConnection bus, QString itemService)
    : bus(std::move(bus)),
      itemService(std::move(itemService)),
      watcher(watcherService, this->bus, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                ++attempt;
                setRegistered(false);
                if (!newOwner.isEmpty()) {
                    registerItem();
                }
            });
}

void WatcherRegistration::start() {
    // Watching began in the constructor, so a watcher that appears from now on is not missed;
    // one that is already there answers this call, and an absent one makes it fail.
    registerItem();
}

void WatcherRegistration::registerItem() {
    QDBusMessage message = QDBusMessage::createMethodCall(
        watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService,
        QStringLiteral("RegisterStatusNotifierItem"));
    message << itemService;
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, sent = attempt](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (sent == attempt && !call->isError()) {
                    setRegistered(true);
                }
            });
}

void WatcherRegistration::setRegistered(bool value) {
    if (registered != value) {
        registered = value;
        emit registeredChanged(registered);
    }
}

}  // namespace quorvel::sni
