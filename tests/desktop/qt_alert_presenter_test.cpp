#include "platform/qt/qt_alert_presenter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/tick_hold.h"
#include "tests/desktop/qt_test_support.h"

namespace quorvel {
namespace {

const Alert stopConfirmation{"Stop QUORVEL Connect?",
                             "3 listeners <b>were</b> connected & more",
                             {"Cancel", "Stop QUORVEL Connect"}};

QString labelText(QMessageBox& box, const char* name) {
    auto* label = box.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
}

TEST(QtAlertPresenterBuild, TextsArePlainAndButtonsInTheOrderGiven) {
    AlertBox alert = QtAlertPresenter::build(stopConfirmation);
    QMessageBox& box = *alert.box;
    EXPECT_EQ(box.text(), QStringLiteral("Stop QUORVEL Connect?"));
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    ASSERT_NE(informative, nullptr);
    EXPECT_EQ(informative->text(), QStringLiteral("3 listeners <b>were</b> connected & more"));
    EXPECT_EQ(informative->textFormat(), Qt::PlainText);
    EXPECT_EQ(labelText(box, "qt_msgbox_label"), QStringLiteral("Stop QUORVEL Connect?"));

    ASSERT_EQ(alert.buttons.size(), 2u);
    EXPECT_EQ(alert.buttons[0]->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(alert.buttons[1]->text(), QStringLiteral("Stop QUORVEL Connect"));
    EXPECT_EQ(box.defaultButton(), alert.buttons[0]) << "the first button is the default";
    EXPECT_EQ(box.escapeButton(), alert.buttons[0]) << "Cancel is the escape button";
}

TEST(QtAlertPresenterBuild, NoButtonsGivesASingleOk) {
    AlertBox alert =
        QtAlertPresenter::build({"QUORVEL Connect needs attention", "Port 8080 & <i>busy</i>", {}});
    alert.box->show();
    EXPECT_TRUE(alert.buttons.empty());
    EXPECT_EQ(alert.box->buttons().size(), 1);
    EXPECT_EQ(alert.box->standardButton(alert.box->buttons().front()), QMessageBox::Ok);
    alert.box->hide();
}

// Answers the alert that is about to run, once it is on screen: clicks the button with `title`,
// or presses Escape, or closes the window.
void answerNextAlert(const QString& title) {
    QTimer::singleShot(50, [title] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (title == "Escape") {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &escape);
            return;
        }
        if (title == "close") {
            box->close();
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == title) {
                button->click();
                return;
            }
        }
        FAIL() << "no button " << title.toStdString();
    });
}

TEST(QtAlertPresenterRun, ReturnsTheIndexOfTheChosenButton) {
    TickHold hold;
    QtAlertPresenter presenter(hold);
    struct Case {
        QString answer;
        std::optional<std::size_t> index;
    };
    for (const Case& c : {Case{"Stop QUORVEL Connect", 1}, Case{"Cancel", 0}, Case{"Escape", 0},
                          Case{"close", 0}}) {
        SCOPED_TRACE(c.answer.toStdString());
        answerNextAlert(c.answer);
        EXPECT_EQ(presenter.runModal(stopConfirmation), c.index);
    }
}

TEST(QtAlertPresenterRun, HoldsTicksWhileItRunsAndReleasesAfterTheCallerGoesOn) {
    TickHold hold;
    QtAlertPresenter presenter(hold);
    bool heldDuringAlert = false;
    int releases = 0;
    QObject::connect(&hold, &TickHold::released, [&] { ++releases; });
    QTimer::singleShot(50, [&] {
        heldDuringAlert = hold.held();
        QApplication::activeModalWidget()->close();
    });
    presenter.runModal({"QUORVEL Connect needs attention", "text", {}});
    EXPECT_TRUE(heldDuringAlert);
    EXPECT_FALSE(hold.held());
    EXPECT_EQ(releases, 0) << "not before the caller has gone on";
    EXPECT_TRUE(processEventsUntil([&] { return releases == 1; }));
}

}  // namespace
}  // namespace quorvel
