#pragma once

#include <QMessageBox>
#include <memory>
#include <vector>

#include "interfaces/alert.h"

namespace quorvel {

class TickHold;

// A message box built for one alert, not yet shown.
struct AlertBox {
    std::unique_ptr<QMessageBox> box;
    std::vector<QAbstractButton*> buttons;  // in the order of `Alert::buttons`
};

// Alerts as QMessageBox, built explicitly: plain text, buttons in the order given with the first
// as the default, the alert's cancel button as the escape button, a single "OK" when no button
// is given. The texts are selectable, and a long one scrolls so that the alert fits the screen.
// Every alert comes to the front, with the program's icon; timer ticks wait while it runs.
class QtAlertPresenter : public AlertPresenter {
  public:
    explicit QtAlertPresenter(TickHold& hold);

    std::optional<std::size_t> runModal(const Alert& alert) override;

    static AlertBox build(const Alert& alert);

  private:
    TickHold& hold;
};

}  // namespace quorvel
