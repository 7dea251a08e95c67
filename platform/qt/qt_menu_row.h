#pragma once

#include <QAction>

#include "interfaces/menu.h"

namespace quorvel {

// A menu row as a QAction, checkable from the start when it is a check-mark row. Choosing it
// does not flip its mark: the mark is always the one the program last set.
class QtMenuRow : public MenuRow {
  public:
    QtMenuRow(const std::string& title, RowKind kind);

    QAction& action() { return qaction; }

    void setTitle(const std::string& title) override;
    void setEnabled(bool enabled) override;
    void setChecked(bool checked) override;
    void setToolTip(const std::optional<std::string>& toolTip) override;
    void setAction(std::function<void()> action) override;

  private:
    void chosen();

    bool checked = false;
    std::function<void()> onChosen;
    // Last: its connection refers to the members above and ends with it.
    QAction qaction;
};

}  // namespace quorvel
