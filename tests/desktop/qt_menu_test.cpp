#include "platform/qt/qt_menu.h"

#include <gtest/gtest.h>

#include <QAction>

#include "platform/qt/qt_menu_row.h"
#include "platform/qt/tick_hold.h"

namespace quorvel {
namespace {

class QtMenuTest : public testing::Test {
  protected:
    TickHold hold;
    QtMenuFactory factory{hold};
    std::shared_ptr<Menu> menu = factory.makeMenu();
    QMenu& widget() { return static_cast<QtMenu&>(*menu).widget(); }
};

TEST_F(QtMenuTest, RowsAndSeparatorsInTheOrderAdded) {
    auto first = factory.makeRow("First & foremost");
    auto second = factory.makeRow("Second");
    menu->addRow(first);
    menu->addSeparator();
    menu->addRow(second);
    const QList<QAction*> actions = widget().actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("First && foremost"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Second"));
    EXPECT_TRUE(widget().toolTipsVisible());
}

TEST_F(QtMenuTest, ANewRowIsEnabledUncheckableWithoutShortcutOrToolTip) {
    auto row = factory.makeRow("Open Logs");
    QAction& action = static_cast<QtMenuRow&>(*row).action();
    EXPECT_TRUE(row->isEnabled());
    EXPECT_FALSE(action.isCheckable());
    EXPECT_TRUE(action.shortcut().isEmpty());
    EXPECT_EQ(row->title(), "Open Logs");
}

TEST_F(QtMenuTest, TitleReadsBackAsSetWhateverItHolds) {
    auto row = factory.makeRow("Checking…");
    row->setTitle("QUORVEL Connect · R&D <b>x</b>");
    EXPECT_EQ(row->title(), "QUORVEL Connect · R&D <b>x</b>");
    EXPECT_EQ(static_cast<QtMenuRow&>(*row).action().text(),
              QStringLiteral("QUORVEL Connect · R&&D <b>x</b>"));
}

TEST_F(QtMenuTest, EnabledFlagIsExactlyWhatWasSet) {
    auto row = factory.makeRow("Start");
    menu->addRow(row);
    menu->setAutoenablesItems(false);
    row->setEnabled(false);
    widget().popup(QPoint(0, 0));
    widget().hide();
    EXPECT_FALSE(row->isEnabled());
    row->setEnabled(true);
    EXPECT_TRUE(row->isEnabled());
}

TEST_F(QtMenuTest, ToolTipIsShownLiterallyAndCanBeRemoved) {
    auto row = factory.makeRow("0 connected listeners");
    QAction& action = static_cast<QtMenuRow&>(*row).action();
    row->setToolTip("plain detail");
    EXPECT_EQ(action.toolTip(), QStringLiteral("plain detail"));
    row->setToolTip("<b>not bold</b>");
    EXPECT_NE(action.toolTip(), QStringLiteral("<b>not bold</b>"));
    EXPECT_TRUE(action.toolTip().contains(QStringLiteral("&lt;b&gt;")));
    row->setToolTip(std::nullopt);
    // QAction falls back to its text when no tooltip is set; QMenu shows none then.
    EXPECT_EQ(action.toolTip(), action.text());
}

TEST_F(QtMenuTest, ChoosingARowRunsItsActionAndKeepsTheCheckMarkAsSet) {
    auto row = factory.makeRow("Start automatically when I sign in");
    QAction& action = static_cast<QtMenuRow&>(*row).action();
    int runs = 0;
    row->setAction([&] { ++runs; });
    row->setChecked(false);
    EXPECT_TRUE(action.isCheckable());
    action.trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(action.isChecked()) << "only the program sets the mark";
    row->setChecked(true);
    action.trigger();
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(action.isChecked());
}

TEST_F(QtMenuTest, ADisabledRowCannotBeChosen) {
    auto row = factory.makeRow("Stop QUORVEL Connect…");
    int runs = 0;
    row->setAction([&] { ++runs; });
    row->setEnabled(false);
    static_cast<QtMenuRow&>(*row).action().trigger();
    EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace quorvel
