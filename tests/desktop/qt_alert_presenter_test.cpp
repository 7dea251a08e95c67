#include "platform/qt/qt_alert_presenter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <string>

namespace quorvel {
namespace {

// Whatever the length of an alert's text, the box fits the screen (1280×800 in these tests) with
// its buttons on it, its icon in the title bar and the text's beginning in view. A long text (a
// Node.js stack trace) scrolls; a short one is a label as before. What the labels show, markup
// and all, is what a person selects and copies from them.
TEST(QtAlertPresenter, EveryAlertFitsTheScreenWithItsButtonsAndTheBeginningOfItsText) {
    std::string trace = "Error: listen EADDRINUSE: address already in use :::8080";
    for (int line = 1; line < 400; ++line) {
        trace += "\n    at Server.listen (/opt/quorvel/service/lib/net" + std::to_string(line) +
                 ".js:1815:" + std::to_string(line * 7) + ")";
    }
    const struct {
        const char* what;
        Alert alert;
        bool scrolls;
    } alerts[] = {
        {"the stop confirmation",
         {"Stop QUORVEL Connect?", "Listeners are disconnected.", {"Stop", "Cancel"}, 1},
         false},
        {"a short error", {"Port <b>8080</b> & more", "<i>busy</i>, try again", {}, {}}, false},
        {"a 400-line error", {"QUORVEL Connect needs attention", trace, {}, {}}, true},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1280, 800));
    for (const auto& a : alerts) {
        SCOPED_TRACE(a.what);
        const AlertBox alert = QtAlertPresenter::build(a.alert);
        QMessageBox& box = *alert.box;
        box.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(screen.contains(box.frameGeometry())) << box.frameGeometry().height() << " px";
        EXPECT_FALSE(box.windowIcon().isNull());
        for (const QAbstractButton* button : box.buttons()) {
            EXPECT_TRUE(screen.contains(QRect(button->mapToGlobal(QPoint()), button->size())));
        }
        const auto* pane = box.findChild<QScrollArea*>();
        ASSERT_EQ(pane != nullptr, a.scrolls);
        EXPECT_EQ(pane != nullptr ? pane->verticalScrollBar()->value() : 0, 0) << "scrolled down";
        for (const auto& [name, text] : {std::pair{"qt_msgbox_label", a.alert.messageText},
                                         {"qt_msgbox_informativelabel", a.alert.informativeText}}) {
            auto* label = box.findChild<QLabel*>(QString::fromLatin1(name));
            label->setSelection(0, static_cast<int>(QString::fromStdString(text).size()));
            // Lines come out as paragraph separators, which the clipboard gets as line feeds.
            const QString selected =
                label->selectedText().replace(QChar::ParagraphSeparator, u'\n');
            EXPECT_TRUE(selected.toStdString() == text) << name << ": " << selected.size();
        }
    }
}

}  // namespace
}  // namespace quorvel
