#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/menu_command.h"
#include "control/control_queue.h"
#include "control/control_reply.h"
#include "interfaces/platform.h"

namespace quorvel {

// The one controller object: it owns all state, and every operation runs on the main thread.
// Operations are defined in the folder of the subsystem they belong to (start-up and polling in
// app/, the menu in menu/, the commands in commands/).
class AppDelegate : public std::enable_shared_from_this<AppDelegate> {
  public:
    // `arguments` are the process's arguments, program path first; they are read here only.
    static std::shared_ptr<AppDelegate> create(Platform& platform,
                                               std::unique_ptr<ControlQueue> queue,
                                               std::span<const std::string> arguments);

    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Called once by the entry when the event loop is about to run.
    void applicationDidFinishLaunching();

  private:
    AppDelegate(Platform& platform, std::unique_ptr<ControlQueue> queue,
                std::span<const std::string> arguments);

    // app/
    void refresh();
    void perform(std::string_view verb, ReplyHandler completion);
    void handleStatusReply(ControlReply reply);

    // menu/
    // One command row of the menu: its title, its command and the operation that runs it, and the
    // field that holds it (none for "Open Logs", which nothing changes after construction).
    struct CommandRow {
        MenuCommand command;
        std::string_view title;
        void (AppDelegate::*run)();
        std::shared_ptr<MenuRow> AppDelegate::*field;
        RowKind kind = RowKind::plain;
        bool separatorAfter = false;
    };
    static const std::array<CommandRow, menuCommandCount> commandRows;
    void buildStatusMenu();
    void render();

    // commands/
    void action(std::string_view verb, std::string_view title,
                std::function<void()> then = nullptr);
    void handleActionReply(ControlReply reply, const std::function<void()>& then);
    bool admitCommand(MenuCommand command);
    void runCommandChosenDuringPoll();
    bool confirmStop();
    void start();
    void stop();
    void dashboard();
    void qr();
    void toggleAutomatic();
    void logs();
    void quit();

    std::filesystem::path baseDirectory() const;

    Platform& platform;

    std::unique_ptr<StatusItem> item;
    std::shared_ptr<Menu> menu;
    std::shared_ptr<MenuRow> statusItem;  // the headline row, not the tray icon (that is `item`)
    std::shared_ptr<MenuRow> detailItem;
    std::shared_ptr<MenuRow> startItem;
    std::shared_ptr<MenuRow> stopItem;
    std::shared_ptr<MenuRow> dashboardItem;
    std::shared_ptr<MenuRow> qrItem;
    std::shared_ptr<MenuRow> autoItem;
    std::shared_ptr<MenuRow> quitItem;
    ControlReply state = ControlReply::object();
    bool busy = false;
    // The command in flight is a status poll: a command chosen meanwhile waits for its reply.
    bool pollInFlight = false;
    // The one state-changing command chosen during the poll in flight.
    std::optional<MenuCommand> chosenDuringPoll;
    bool autoStartPending = false;
    std::unique_ptr<RepeatingTimer> timer;
    std::unique_ptr<ControlQueue> queue;
};

}  // namespace quorvel
