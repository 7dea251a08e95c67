#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>

class QMenu;

namespace quorvel {

// Why timer ticks wait: a watched menu is on screen, or a modal alert runs. The timers remember
// ticks that fell due meanwhile and deliver one when `released` is emitted. A menu holds them for
// at most `menuHoldLimit` after it opened, whether or not its closing is ever reported (a lost
// signal, a host that crashed): polling pauses, but never stops for good. An alert's end cannot be
// lost, so it holds them until it closes.
class TickHold : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::seconds menuHoldLimit{30};

    TickHold();

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

    // Ticks wait while `menu` is open: from its aboutToShow to its aboutToHide, because a menu
    // drawn natively is never "visible" to Qt.
    void watchMenu(QMenu* menu);

    // A StatusNotifier host that draws the menu itself says when it opened and closed it; ticks
    // wait in between.
    void holdForHost();
    void releaseHost();

    bool held() const;

  signals:
    // Nothing holds ticks any more. Emitted from the event loop after the hold ended, never inside
    // the call that ended it: whatever that call goes on to do (the menu row's action, the code
    // after an alert) comes first.
    void released();

  private:
    void releaseSoon();

    int alertDepth = 0;
    // Each runs while a host's menu, or ours, holds the ticks.
    QTimer hostHold;
    QTimer menuHold;
    QList<QPointer<QMenu>> openMenus;
};

}  // namespace quorvel
