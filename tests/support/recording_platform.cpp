#include "tests/support/recording_platform.h"

#include <algorithm>
#include <utility>

#include "tests/support/misuse.h"

namespace quorvel::fakes {

struct RecordingPlatform::Row : MenuRow {
    Row(EventLog& log, std::string title) : log(log), text(std::move(title)) {}

    void setTitle(const std::string& title) override {
        text = title;
        log.add("title " + title);
    }
    std::string title() const override { return text; }
    void setEnabled(bool isOn) override { enabled = isOn; }
    bool isEnabled() const override { return enabled; }
    void setChecked(bool isOn) override { checked = isOn; }
    void setToolTip(const std::optional<std::string>& text) override { toolTip = text; }
    void setAction(std::function<void()> newAction) override { action = std::move(newAction); }

    EventLog& log;
    std::string text;
    bool enabled = true;
    bool checked = false;
    std::optional<std::string> toolTip;
    std::function<void()> action;
};

struct RecordingPlatform::RecordedMenu : Menu {
    void addRow(std::shared_ptr<MenuRow> row) override {
        auto recorded = std::dynamic_pointer_cast<Row>(row);
        if (!recorded) {
            reportMisuse("a row that the platform did not make was added to the menu");
        }
        rows.push_back(std::move(recorded));
    }
    void addSeparator() override { rows.push_back(nullptr); }
    void setAutoenablesItems(bool autoenables) override {
        if (autoenables) {
            reportMisuse("the menu was told to enable rows by itself");
        }
    }

    std::vector<std::shared_ptr<Row>> rows;  // null for a separator
};

struct RecordingPlatform::Item : StatusItem, StatusButton {
    Item(RecordingPlatform& owner, bool hasButton) : owner(owner), hasButton(hasButton) {}
    ~Item() override { owner.trayItem = nullptr; }

    StatusButton* button() override { return hasButton ? this : nullptr; }
    void setMenu(std::shared_ptr<Menu> newMenu) override {
        menu = std::dynamic_pointer_cast<RecordedMenu>(newMenu);
        owner.log.add("setMenu");
    }
    void setImage(const std::string& symbolName, const std::string& description) override {
        symbol = symbolName;
        accessibleName = description;
    }
    void setToolTip(const std::string& text) override { toolTip = text; }

    RecordingPlatform& owner;
    bool hasButton;
    std::shared_ptr<RecordedMenu> menu;
    std::string symbol;
    std::string accessibleName;
    std::optional<std::string> toolTip;
};

struct RecordingPlatform::Timer : RepeatingTimer {
    Timer(RecordingPlatform& owner, std::chrono::milliseconds interval, std::function<void()> tick)
        : owner(owner), interval(interval), tick(std::move(tick)) {}
    ~Timer() override { owner.liveTimer = nullptr; }

    RecordingPlatform& owner;
    std::chrono::milliseconds interval;
    std::function<void()> tick;
};

std::ostream& operator<<(std::ostream& out, const RowView& row) {
    if (row.separator) {
        return out << "----";
    }
    out << '"' << row.title << '"' << (row.enabled ? " enabled" : " disabled")
        << (row.checked ? " checked" : "");
    if (row.toolTip) {
        out << " tooltip \"" << *row.toolTip << '"';
    }
    return out;
}

RecordingPlatform::RecordingPlatform() = default;

RecordingPlatform::~RecordingPlatform() {
    // Whatever the controller still holds must not call back into a platform that is gone.
    if (trayItem != nullptr) {
        reportMisuse("the tray icon outlived the platform");
    }
}

Platform RecordingPlatform::platform() {
    return Platform{*this, *this, *this, *this, *this, *this, *this, *this};
}

std::vector<RowView> RecordingPlatform::openMenu() {
    std::vector<RowView> view;
    if (trayItem == nullptr || trayItem->menu == nullptr) {
        reportMisuse("there is no tray icon with a menu to open");
        return view;
    }
    for (const auto& row : trayItem->menu->rows) {
        if (row == nullptr) {
            view.push_back(RowView{"", false, false, std::nullopt, true});
        } else {
            view.push_back(RowView{row->text, row->enabled, row->checked, row->toolTip, false});
        }
    }
    return view;
}

std::optional<IconView> RecordingPlatform::icon() const {
    if (trayItem == nullptr) {
        return std::nullopt;
    }
    return IconView{trayItem->hasButton, trayItem->symbol, trayItem->accessibleName,
                    trayItem->toolTip};
}

void RecordingPlatform::choose(std::string_view title) {
    if (trayItem == nullptr || trayItem->menu == nullptr) {
        reportMisuse("there is no menu to choose \"" + std::string(title) + "\" from");
        return;
    }
    for (const auto& row : trayItem->menu->rows) {
        if (row == nullptr || row->text != title) {
            continue;
        }
        if (!row->enabled || !row->action) {
            reportMisuse("\"" + std::string(title) + "\" cannot be chosen: it is disabled");
            return;
        }
        // A copy: the action may run a modal alert while the menu changes underneath it.
        const std::function<void()> action = row->action;
        action();
        return;
    }
    reportMisuse("the menu has no row \"" + std::string(title) + "\"");
}

void RecordingPlatform::answerNextAlert(std::optional<std::size_t> answer,
                                        std::function<void()> whileShown) {
    answers.push_back(ScriptedAnswer{answer, std::move(whileShown)});
}

void RecordingPlatform::fireTimer() {
    if (liveTimer == nullptr) {
        reportMisuse("no timer is scheduled");
        return;
    }
    const std::function<void()> tick = liveTimer->tick;
    tick();
}

std::optional<std::chrono::milliseconds> RecordingPlatform::timerInterval() const {
    if (liveTimer == nullptr) {
        return std::nullopt;
    }
    return liveTimer->interval;
}

std::size_t RecordingPlatform::runPosted() {
    std::size_t ran = 0;
    for (;;) {
        std::function<void()> task;
        {
            const std::lock_guard lock(postedMutex);
            if (posted.empty()) {
                return ran;
            }
            task = std::move(posted.front());
            posted.pop_front();
        }
        task();
        ++ran;
    }
}

bool RecordingPlatform::waitForPosted(std::chrono::milliseconds timeout) {
    std::unique_lock lock(postedMutex);
    return postedChanged.wait_for(lock, timeout, [this] { return !posted.empty(); });
}

int RecordingPlatform::runningCopies(std::string_view identifier) {
    log.add("runningCopies " + std::string(identifier));
    return runningCopiesToReport;
}

void RecordingPlatform::becomeAccessory() {
    log.add("becomeAccessory");
}

void RecordingPlatform::bringToFront() {
    log.add("bringToFront");
}

void RecordingPlatform::terminate() {
    ++terminateCalls;
    log.add("terminate");
}

std::unique_ptr<StatusItem> RecordingPlatform::addStatusItem() {
    if (trayItem != nullptr) {
        reportMisuse("a second tray icon was added");
    }
    ++itemsCreated;
    log.add("addStatusItem");
    auto item = std::make_unique<Item>(*this, buttons);
    trayItem = item.get();
    return item;
}

std::shared_ptr<Menu> RecordingPlatform::makeMenu() {
    return std::make_shared<RecordedMenu>();
}

std::shared_ptr<MenuRow> RecordingPlatform::makeRow(const std::string& title) {
    return std::make_shared<Row>(log, title);
}

std::optional<std::size_t> RecordingPlatform::runModal(const Alert& alert) {
    shownAlerts.push_back(alert);
    log.add("alert " + alert.messageText);
    if (answers.empty()) {
        if (!standingAnswer) {
            reportMisuse("an alert nobody expected: " + alert.messageText + " / " +
                         alert.informativeText);
        }
        return standingAnswer.value_or(std::nullopt);
    }
    ScriptedAnswer scripted = std::move(answers.front());
    answers.pop_front();
    if (scripted.whileShown) {
        scripted.whileShown();
    }
    if (scripted.answer && *scripted.answer >= std::max<std::size_t>(alert.buttons.size(), 1)) {
        reportMisuse("the alert has no button " + std::to_string(*scripted.answer));
    }
    return scripted.answer;
}

void RecordingPlatform::openUrl(const std::string& url) {
    urls.push_back(url);
    log.add("openUrl " + url);
}

void RecordingPlatform::openFolder(const std::filesystem::path& folder) {
    folders.push_back(folder);
    log.add("openFolder " + folder.string());
}

std::unique_ptr<RepeatingTimer> RecordingPlatform::scheduleRepeating(
    std::chrono::milliseconds interval, std::function<void()> tick) {
    log.add("scheduleRepeating " + std::to_string(interval.count()) + "ms");
    auto timer = std::make_unique<Timer>(*this, interval, std::move(tick));
    liveTimer = timer.get();
    return timer;
}

void RecordingPlatform::post(std::function<void()> task) {
    {
        const std::lock_guard lock(postedMutex);
        posted.push_back(std::move(task));
    }
    postedChanged.notify_all();
}

}  // namespace quorvel::fakes
