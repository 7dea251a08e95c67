#include "platform/qt/plain_text.h"

#include <gtest/gtest.h>

#include <QTextDocument>

namespace quorvel {
namespace {

// What a QLabel or a tooltip would display for `text`, interpreting rich text the way Qt guesses
// it.
QString displayed(const QString& text) {
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

TEST(LiteralToolTip, ShowsEveryTextAsWritten) {
    for (const std::string text :
         {"plain words", "A & B", "<b>bold</b> stays tags", "x < y > z", "&lt;b&gt; is not <",
          "<!DOCTYPE html>", "first line\nsecond <i>line</i>", "Ünïcode · …", ""}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(displayed(literalToolTip(text)).toStdString(), text);
    }
}

TEST(LiteralToolTip, LeavesOrdinaryTextUnchanged) {
    EXPECT_EQ(literalToolTip("Serving http://127.0.0.1:8080/admin (pid 12)."),
              QStringLiteral("Serving http://127.0.0.1:8080/admin (pid 12)."));
}

TEST(LiteralActionText, EscapesShortcutMarkersAndTabs) {
    struct Case {
        std::string title;
        QString actionText;
    };
    for (const Case& c : {Case{"Open Logs", "Open Logs"}, Case{"A & B", "A && B"},
                          Case{"&&", "&&&&"}, Case{"left\tright", "left right"},
                          Case{"QUORVEL Connect · Stopping…", "QUORVEL Connect · Stopping…"}}) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(literalActionText(c.title), c.actionText);
    }
}

}  // namespace
}  // namespace quorvel
