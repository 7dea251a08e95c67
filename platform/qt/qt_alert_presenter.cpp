#include "platform/qt/qt_alert_presenter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>

#include "platform/qt/tick_hold.h"
#include "platform/qt/tray_icon_art.h"

namespace quorvel {

namespace {

// A text taller than half the screen (a stack trace) goes into a scrolling pane of that height,
// as wide as Qt lays out a message box's text, so that the box and its buttons fit the screen
// with the text's beginning in view. A shorter text stays a plain label, as it always looked.
void fitOnScreen(QMessageBox& box, QLabel& text) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const int width = std::min(available.width() / 2, 500);
    const int tallest = available.height() / 2;
    if (text.heightForWidth(width) <= tallest) {
        return;
    }
    text.setMargin(4);  // off the pane's frame
    auto* pane = new QScrollArea;
    pane->setWidgetResizable(true);
    pane->setMinimumWidth(width);
    pane->setFixedHeight(tallest);
    delete box.layout()->replaceWidget(&text, pane);
    pane->setWidget(&text);
}

}  // namespace

QtAlertPresenter::QtAlertPresenter(TickHold& hold) : hold(hold) {}

AlertBox QtAlertPresenter::build(const Alert& alert) {
    AlertBox result{std::make_unique<QMessageBox>(), {}};
    QMessageBox& box = *result.box;
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    // In title bars and window switchers, installed desktop file or not.
    box.setWindowIcon(windowIcon());
    box.setIconPixmap(drawTrayIcon(64));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    // The informative label does not follow setTextFormat in every Qt version.
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
        informative->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fitOnScreen(box, *informative);
    }
    // The message reads as the alert's heading, above the informative text.
    if (auto* message = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont heading = message->font();
        heading.setBold(true);
        message->setFont(heading);
        message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
        const bool cancels = alert.cancelButton == i;
        QPushButton* button =
            box.addButton(QString::fromStdString(alert.buttons[i]),
                          cancels ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (cancels) {
            box.setEscapeButton(button);
        }
        result.buttons.push_back(button);
    }
    if (!result.buttons.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(result.buttons.front()));
    }
    return result;
}

std::optional<std::size_t> QtAlertPresenter::runModal(const Alert& alert) {
    const TickHold::AlertScope holdTicks(hold);
    AlertBox alertBox = build(alert);
    QMessageBox* box = alertBox.box.get();
    // Once it is on screen: to the front, with the keyboard focus.
    QTimer::singleShot(0, box, [box] {
        box->raise();
        box->activateWindow();
    });
    box->exec();
    const QAbstractButton* clicked = box->clickedButton();
    for (std::size_t i = 0; i < alertBox.buttons.size(); ++i) {
        if (alertBox.buttons[i] == clicked) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace quorvel
