#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "tests/support/event_log.h"

namespace quorvel::fakes {

// One row of the menu as a person sees it.
struct RowView {
    std::string title;
    bool enabled = false;
    bool checked = false;
    std::optional<std::string> toolTip;
    bool separator = false;

    bool operator==(const RowView&) const = default;
};

// For readable test failures.
std::ostream& operator<<(std::ostream& out, const RowView& row);

// The tray icon as a person sees it.
struct IconView {
    bool hasButton = false;
    std::string symbol;
    std::string accessibleName;
    std::optional<std::string> toolTip;
};

// A desktop that records what a person would see and lets a test act as that person. Every
// interface of Platform is implemented here; main-thread tasks may be posted from any thread.
class RecordingPlatform : private Application,
                          private StatusBar,
                          private MenuFactory,
                          private AlertPresenter,
                          private Workspace,
                          private TimerScheduler,
                          private MainThread,
                          private InstalledLocation {
  public:
    RecordingPlatform();
    ~RecordingPlatform() override;

    Platform platform();

    // Set-up.
    void setRunningCopies(int copies) { runningCopiesToReport = copies; }
    void setProgramLocation(std::filesystem::path location) { program = std::move(location); }
    void setStatusItemsHaveButtons(bool haveButtons) { buttons = haveButtons; }

    // What a person sees. openMenu() is the attached menu, top to bottom, separators included.
    std::vector<RowView> openMenu();
    std::string headline() { return openMenu().at(0).title; }
    RowView detailRow() { return openMenu().at(1); }
    std::optional<IconView> icon() const;
    int statusItemsCreated() const { return itemsCreated; }
    const std::vector<Alert>& alerts() const { return shownAlerts; }
    const std::vector<std::string>& openedUrls() const { return urls; }
    const std::vector<std::filesystem::path>& openedFolders() const { return folders; }
    int terminations() const { return terminateCalls; }
    const std::vector<std::string>& events() const { return log.entries; }
    EventLog& eventLog() { return log; }

    // A person's actions. choose() picks an enabled row of the attached menu by its title.
    void choose(std::string_view title);
    // The answer to the next alert: a button index, or no value for a dismissal. `whileShown` runs
    // while the alert is up, as anything the event loop does during a modal alert would.
    void answerNextAlert(std::optional<std::size_t> answer, std::function<void()> whileShown = {});
    // For the fuzzer: every alert without a scripted answer gets this one.
    void answerEveryAlert(std::optional<std::size_t> answer) { standingAnswer.emplace(answer); }

    // The clock and the event loop.
    void fireTimer();
    std::optional<std::chrono::milliseconds> timerInterval() const;
    std::size_t runPosted();
    // Blocks until a task has been posted or `timeout` has passed; true when one is waiting.
    bool waitForPosted(std::chrono::milliseconds timeout);

  private:
    struct Row;
    struct RecordedMenu;
    struct Item;
    struct Timer;

    int runningCopies(std::string_view identifier) override;
    void becomeAccessory() override;
    void bringToFront() override;
    void terminate() override;
    std::unique_ptr<StatusItem> addStatusItem() override;
    std::shared_ptr<Menu> makeMenu() override;
    std::shared_ptr<MenuRow> makeRow(const std::string& title) override;
    std::optional<std::size_t> runModal(const Alert& alert) override;
    void openUrl(const std::string& url) override;
    void openFolder(const std::filesystem::path& folder) override;
    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> tick) override;
    void post(std::function<void()> task) override;
    std::filesystem::path programLocation() override { return program; }

    struct ScriptedAnswer {
        std::optional<std::size_t> answer;
        std::function<void()> whileShown;
    };

    EventLog log;
    int runningCopiesToReport = 1;
    std::filesystem::path program = "/opt/QUORVEL Connect/quorvel-connect";
    bool buttons = true;
    int itemsCreated = 0;
    Item* trayItem = nullptr;  // the live tray icon; it clears this when it goes
    Timer* liveTimer = nullptr;
    std::vector<Alert> shownAlerts;
    std::deque<ScriptedAnswer> answers;
    std::optional<std::optional<std::size_t>> standingAnswer;
    std::vector<std::string> urls;
    std::vector<std::filesystem::path> folders;
    int terminateCalls = 0;

    std::mutex postedMutex;
    std::condition_variable postedChanged;
    std::deque<std::function<void()>> posted;
};

}  // namespace quorvel::fakes
