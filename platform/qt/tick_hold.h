#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QMenu;

namespace quorvel {

// Why timer ticks wait: a watched menu is on screen, or a modal alert runs. The timers remember
// ticks that fell due meanwhile and deliver one when `released` is emitted.
class TickHold : public QObject {
    Q_OBJECT

  public:
    // Holds ticks for as long as it lives; scopes nest.
    class AlertScope {
      public:
        explicit AlertScope(TickHold& hold);
        ~AlertScope();
        AlertScope(const AlertScope&) = delete;
        AlertScope& operator=(const AlertScope&) = delete;

      private:
        TickHold& hold;
    };

    // Ticks wait while `menu` is visible. Only a menu drawn by us counts: a menu that a
    // StatusNotifier host draws from the exported model is never visible here, so it can never
    // hold the ticks for good when a host forgets to say it closed the menu.
    void watchMenu(QMenu* menu);

    bool held() const;

  signals:
    // Nothing holds ticks any more. Emitted from the event loop after the hold ended, never inside
    // the call that ended it: whatever that call goes on to do (the menu row's action, the code
    // after an alert) comes first.
    void released();

  private:
    void releaseSoon();

    int alertDepth = 0;
    QList<QPointer<QMenu>> menus;
};

}  // namespace quorvel
