#include "platform/qt/qt_alert_presenter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/tick_hold.h"
#include "platform/qt/tray_icon_art.h"

namespace quorvel {

QtAlertPresenter::QtAlertPresenter(TickHold& hold) : hold(hold) {}

AlertBox QtAlertPresenter::build(const Alert& alert) {
    AlertBox result{std::make_unique<QMessageBox>(), {}};
    QMessageBox& box = *result.box;
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setIconPixmap(drawTrayIcon(64));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    // The informative label does not follow setTextFormat in every Qt version.
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
    }
    // The message reads as the alert's heading, above the informative text.
    if (auto* message = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont heading = message->font();
        heading.setBold(true);
        message->setFont(heading);
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
