#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/app_delegate.h"

namespace quorvel::fakes {

// A menu row as a person sees it. Separators are rows titled "-".
struct Row : MenuRow {
    explicit Row(std::string title, RowKind kind = RowKind::plain)
        : text(std::move(title)), kind(kind) {}
    void setTitle(const std::string& title) override { text = title; }
    std::string title() const override { return text; }
    void setEnabled(bool on) override { enabled = on; }
    bool isEnabled() const override { return enabled; }
    void setChecked(bool on) override { checked = on; }
    void setToolTip(const std::optional<std::string>& tip) override { toolTip = tip; }
    void setAction(std::function<void()> run) override { action = std::move(run); }

    std::string text;
    RowKind kind;
    bool enabled = true;
    bool checked = false;
    std::optional<std::string> toolTip;
    std::function<void()> action;
};

// One controller on a desktop that records what a person would see, with the control script
// played by the test: each command waits in `pending` until reply() answers the oldest. The
// desktop is also the one menu, so `rows` are the menu's rows.
class FakeDesktop : Application,
                    StatusBar,
                    MenuFactory,
                    Menu,
                    AlertPresenter,
                    Workspace,
                    TimerScheduler,
                    MainThread,
                    InstalledLocation {
  public:
    void launch(std::vector<std::string> arguments = {"quorvel-connect"}) {
        delegate = AppDelegate::create(platform, std::make_unique<Script>(*this), arguments);
        delegate->applicationDidFinishLaunching();
    }

    void reply(const ControlReply& reply) {
        if (pending.empty()) {
            events.push_back("reply with no command in flight");
            return;
        }
        // Taken off the queue first: the completion may send the next command.
        const ReplyHandler completion = std::move(pending.front());
        pending.pop_front();
        completion(reply);
    }

    // Like a click: a disabled row or a separator cannot be chosen.
    void choose(std::string_view title) {
        for (const std::shared_ptr<Row>& row : rows) {
            if (row->text == title && row->enabled && row->action) {
                row->action();
            }
        }
    }

    int copies = 1;
    bool hasButton = true;
    std::filesystem::path program = "/opt/QUORVEL Connect/quorvel-connect";
    // Every alert's answer, by button index; no value dismisses the alert.
    std::optional<std::size_t> answer;

    // What happened, in order: "addRow TITLE", "perform VERB", "alert MESSAGE / TEXT [BUTTON]"…
    std::vector<std::string> events;
    std::deque<ReplyHandler> pending;
    std::filesystem::path scriptFolder;  // where the last command ran the control script
    std::vector<std::shared_ptr<Row>> rows;
    std::optional<std::string> iconToolTip;
    std::function<void()> tick;
    Platform platform{*this, *this, *this, *this, *this, *this, *this, *this};

  private:
    struct Item : StatusItem, StatusButton {
        explicit Item(FakeDesktop& desktop) : desktop(desktop) {}
        StatusButton* button() override { return desktop.hasButton ? this : nullptr; }
        void setMenu(std::shared_ptr<Menu>) override { desktop.events.push_back("setMenu"); }
        void setImage(const std::string& symbol, const std::string& name) override {
            desktop.events.push_back("setImage " + symbol + " " + name);
        }
        void setToolTip(const std::string& tip) override { desktop.iconToolTip = tip; }
        FakeDesktop& desktop;
    };

    struct Script : ControlQueue {
        explicit Script(FakeDesktop& desktop) : desktop(desktop) {}
        void perform(std::filesystem::path folder, std::string verb,
                     ReplyHandler completion) override {
            desktop.scriptFolder = std::move(folder);
            desktop.events.push_back("perform " + verb);
            desktop.pending.push_back(std::move(completion));
        }
        FakeDesktop& desktop;
    };

    int runningCopies(std::string_view identifier) override {
        events.push_back("runningCopies " + std::string(identifier));
        return copies;
    }
    void becomeAccessory() override { events.push_back("becomeAccessory"); }
    void bringToFront() override { events.push_back("bringToFront"); }
    void terminate() override { events.push_back("terminate"); }
    std::unique_ptr<StatusItem> addStatusItem() override {
        events.push_back("addStatusItem");
        return std::make_unique<Item>(*this);
    }
    // The desktop is the one menu; the pointer owns nothing.
    std::shared_ptr<Menu> makeMenu() override { return {std::shared_ptr<Menu>(), this}; }
    std::shared_ptr<MenuRow> makeRow(const std::string& title, RowKind kind) override {
        return std::make_shared<Row>(title, kind);
    }
    void addRow(std::shared_ptr<MenuRow> row) override {
        rows.push_back(std::static_pointer_cast<Row>(row));
        events.push_back("addRow " + row->title() + (row->isEnabled() ? "" : " (disabled)") +
                         (rows.back()->kind == RowKind::checkMark ? " (check mark)" : ""));
    }
    void addSeparator() override { addRow(std::make_shared<Row>("-")); }
    void setAutoenablesItems(bool on) override {
        events.push_back("setAutoenablesItems " + std::to_string(on));
    }
    std::optional<std::size_t> runModal(const Alert& alert) override {
        std::string event = "alert " + alert.messageText + " / " + alert.informativeText;
        for (const std::string& button : alert.buttons) {
            event += " [" + button + "]";
        }
        events.push_back(event);
        return answer;
    }
    void openUrl(const std::string& url) override { events.push_back("open " + url); }
    void openFolder(const std::filesystem::path& folder) override {
        events.push_back("open " + folder.string());
    }
    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> newTick) override {
        events.push_back("scheduleRepeating " + std::to_string(interval.count()) + "ms");
        tick = std::move(newTick);
        return std::make_unique<RepeatingTimer>();
    }
    // Only a real control queue posts, and none runs here.
    void post(std::function<void()>) override {}
    std::filesystem::path programLocation() override { return program; }

  public:
    std::shared_ptr<AppDelegate> delegate;  // last, so that it goes first
};

}  // namespace quorvel::fakes
