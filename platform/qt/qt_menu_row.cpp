#include "platform/qt/qt_menu_row.h"

#include "platform/qt/plain_text.h"

namespace quorvel {

QtMenuRow::QtMenuRow(const std::string& title, RowKind kind) : currentTitle(title) {
    qaction.setText(literalActionText(title));
    qaction.setCheckable(kind == RowKind::checkMark);
    QObject::connect(&qaction, &QAction::triggered, &qaction, [this] { chosen(); });
}

void QtMenuRow::setTitle(const std::string& title) {
    currentTitle = title;
    qaction.setText(literalActionText(title));
}

std::string QtMenuRow::title() const {
    return currentTitle;
}

void QtMenuRow::setEnabled(bool enabled) {
    qaction.setEnabled(enabled);
}

bool QtMenuRow::isEnabled() const {
    return qaction.isEnabled();
}

void QtMenuRow::setChecked(bool checked) {
    this->checked = checked;
    qaction.setChecked(checked);
}

void QtMenuRow::setToolTip(const std::optional<std::string>& toolTip) {
    qaction.setToolTip(toolTip ? literalToolTip(*toolTip) : QString());
}

void QtMenuRow::setAction(std::function<void()> action) {
    onChosen = std::move(action);
}

void QtMenuRow::chosen() {
    // Qt has already flipped a checkable action; put back the mark the program set.
    if (qaction.isCheckable()) {
        qaction.setChecked(checked);
    }
    // Run now, inside the menu's own handling: the menu is already closed, and the action comes
    // before the tick that the menu held back.
    if (onChosen) {
        onChosen();
    }
}

}  // namespace quorvel
