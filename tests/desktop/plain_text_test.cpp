#include "platform/qt/plain_text.h"

#include <gtest/gtest.h>

#include <QTextDocument>

namespace quorvel {
namespace {

// What a tooltip displays for `text`, interpreting rich text the way Qt guesses it.
std::string displayed(const QString& text) {
    QTextDocument document;
    document.setHtml(text);
    return (Qt::mightBeRichText(text) ? document.toPlainText() : text).toStdString();
}

// Each text from the script, the row title that shows it ("&" would mark a shortcut, a tab split
// the row) and the label a tray host's menu reads (where "_" marks an access key and "__" is a
// literal "_"). Tooltips show the text itself.
TEST(PlainText, TextFromTheScriptShowsAsWrittenInTooltipsRowsAndHostMenus) {
    const struct {
        std::string text;
        QString actionText;
        QString hostLabel;
    } cases[] = {
        {"R&D snake_case <b>bold</b>", "R&&D snake_case <b>bold</b>",
         "R&D snake__case <b>bold</b>"},
        {"&lt;b&gt; && _ __", "&&lt;b&&gt; &&&& _ __", "&lt;b&gt; && __ ____"},
        {"first\nsecond <i>line</i>", "first\nsecond <i>line</i>", "first\nsecond <i>line</i>"},
        {"left\tright", "left right", "left right"},
        {"Ünïcode · …", "Ünïcode · …", "Ünïcode · …"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(displayed(literalToolTip(c.text)), c.text);
        EXPECT_EQ(literalActionText(c.text), c.actionText);
        EXPECT_EQ(dbusMenuLabel(literalActionText(c.text)), c.hostLabel);
    }
}

}  // namespace
}  // namespace quorvel
