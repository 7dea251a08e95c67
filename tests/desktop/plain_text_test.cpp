#include "platform/qt/plain_text.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTextDocument>

#include "platform/qt/qt_alert_presenter.h"

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

// What an alert's labels show is what a person selects and copies from them.
TEST(PlainText, AlertsShowTheirTextsAsWritten) {
    const std::string message = "Port <b>8080</b> & more";
    const std::string informative = "<i>busy</i>";
    const AlertBox alert = QtAlertPresenter::build({message, informative, {}, {}});
    for (const auto& [name, text] :
         {std::pair{"qt_msgbox_label", message}, {"qt_msgbox_informativelabel", informative}}) {
        auto* label = alert.box->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setSelection(0, static_cast<int>(QString::fromStdString(text).size()));
        EXPECT_EQ(label->selectedText().toStdString(), text) << name;
    }
}

}  // namespace
}  // namespace quorvel
