#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorvel {

// One row of a menu. A new row is enabled, unchecked, has no tooltip and no keyboard shortcut.
// Every text is shown as plain text: no markup is interpreted and "&" is not a shortcut marker.
class MenuRow {
  public:
    virtual ~MenuRow() = default;

    virtual void setTitle(const std::string& title) = 0;

    virtual void setEnabled(bool enabled) = 0;

    // The check mark, on a row made as a check-mark row.
    virtual void setChecked(bool checked) = 0;

    // No value removes the tooltip.
    virtual void setToolTip(const std::optional<std::string>& toolTip) = 0;

    // Called on the main thread when the user chooses the row (only an enabled row can be chosen).
    virtual void setAction(std::function<void()> action) = 0;
};

class Menu {
  public:
    virtual ~Menu() = default;

    // Appends at the bottom; the menu shares ownership of the row.
    virtual void addRow(std::shared_ptr<MenuRow> row) = 0;
    virtual void addSeparator() = 0;

    // With false, the menu never enables or disables rows by itself: each row's flag is the one the
    // program last set.
    virtual void setAutoenablesItems(bool autoenables) = 0;
};

// Whether a row carries a check mark, fixed when it is made: a tray host decides once, when it
// first reads a row, whether to draw a check box for it. A plain row shows none.
enum class RowKind { plain, checkMark };

// Makes menus and rows; the program decides where they go.
class MenuFactory {
  public:
    virtual ~MenuFactory() = default;

    virtual std::shared_ptr<Menu> makeMenu() = 0;
    virtual std::shared_ptr<MenuRow> makeRow(const std::string& title, RowKind kind) = 0;
};

}  // namespace quorvel
