#pragma once

#include <QString>
#include <string>

namespace quorvel {

// Text from the control script reaches the screen as written: nothing in it may be taken for
// markup or a shortcut marker.

// A QAction text that shows `text` literally: "&" is not a mnemonic, a tab does not start a
// shortcut column.
QString literalActionText(const std::string& text);

// A tooltip that shows `text` literally even where Qt would guess rich text (a tag such as "<b>"
// or an entity); ordinary text is passed on unchanged.
QString literalToolTip(const std::string& text);

// The label under which a StatusNotifier host shows a QAction's text literally: the action's
// mnemonic markers are resolved ("&&" is "&", a lone "&" marks nothing), and "_", which marks an
// access key in a host's menu, is doubled.
QString dbusMenuLabel(const QString& actionText);

}  // namespace quorvel
