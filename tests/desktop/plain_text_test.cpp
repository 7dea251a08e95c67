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

TEST(PlainText, TextFromTheScriptShowsAsWrittenInTooltipsAndRows) {
    // Each text, and the row title that shows it: "&" would mark a shortcut, a tab split the row.
    const std::pair<std::string, QString> cases[] = {
        {"R&D <b>bold</b>", "R&&D <b>bold</b>"},
        {"&lt;b&gt;", "&&lt;b&&gt;"},
        {"first\nsecond <i>line</i>", "first\nsecond <i>line</i>"},
        {"left\tright", "left right"},
        {"Ünïcode · …", "Ünïcode · …"},
    };
    for (const auto& [text, actionText] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(displayed(literalToolTip(text)), text);
        EXPECT_EQ(literalActionText(text), actionText);
    }
}

TEST(PlainText, TrayHostMenuLabelsShowRowTitlesAsWritten) {
    // A host's menu reads "_" as an access-key marker and "__" as a literal "_".
    const std::pair<std::string, QString> cases[] = {
        {"R&D snake_case", "R&D snake__case"},
        {"_ __", "__ ____"},
        {"& && <b>x</b>", "& && <b>x</b>"},
        {"Ünïcode · …", "Ünïcode · …"},
    };
    for (const auto& [title, label] : cases) {
        SCOPED_TRACE(title);
        EXPECT_EQ(dbusMenuLabel(literalActionText(title)), label);
    }
}

TEST(PlainText, AlertsShowTheirTextsAsWritten) {
    const AlertBox alert = QtAlertPresenter::build({"Port <b>8080</b> & more", "<i>busy</i>", {}});
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        const auto* label = alert.box->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
}

}  // namespace
}  // namespace quorvel
