// The round trip of one control command through the runner (spawn, read, wait, parse, post back
// to a main-thread loop) against a bare posix_spawn + read + waitpid of the same program. Prints
// the mean and median per run of both and their ratio. Usage: control_round_trip_bench [runs]
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <numeric>
#include <string>
#include <vector>

#include "control/main_thread.h"
#include "control/process_system.h"
#include "control/script_control_queue.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// The bench's own main thread: tasks posted from the worker run here, one at a time.
class LoopMainThread : public quorvel::MainThread {
  public:
    void post(std::function<void()> task) override {
        {
            const std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        }
        posted.notify_one();
    }

    void runOne() {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex);
            posted.wait(lock, [this] { return !tasks.empty(); });
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        task();
    }

  private:
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> tasks;
};

// Spawns `/usr/bin/env node <script> status`, reads its output to the end and reaps it.
std::string bareRun(const std::string& script) {
    int ends[2];
    if (quorvel::process_system::openCloseOnExecPipe(ends) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    const char* argv[] = {"/usr/bin/env", "node", script.c_str(), "status", nullptr};
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    std::string output;
    char buffer[4096];
    ssize_t got;
    while ((got = read(ends[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(ends[0]);
    if (error == 0) {
        waitpid(pid, nullptr, 0);
    }
    return output;
}

struct Figures {
    double mean;
    double median;
};

Figures figuresOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const double mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    const std::size_t middle = samples.size() / 2;
    const double median =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    return {mean, median};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    constexpr int warmUp = 10;

    std::string folder = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path base = folder;
    const std::string script = (base / "control-app.cjs").string();
    std::ofstream(script) << "process.stdout.write('{\"ok\":true}');\n";

    LoopMainThread mainThread;
    quorvel::ScriptControlQueue queue(mainThread);
    std::vector<double> ours;
    std::vector<double> bare;
    int failures = 0;

    // Interleaved, so that both see the same machine load.
    for (int run = 0; run < warmUp + runs; ++run) {
        auto started = Clock::now();
        bool ok = false;
        queue.perform(base, "status", [&ok](quorvel::ControlReply reply) {
            ok = reply == quorvel::ControlReply{{"ok", true}};
        });
        mainThread.runOne();
        const double ourTime = Milliseconds(Clock::now() - started).count();

        started = Clock::now();
        const bool bareOk = bareRun(script) == "{\"ok\":true}";
        const double bareTime = Milliseconds(Clock::now() - started).count();

        failures += (ok ? 0 : 1) + (bareOk ? 0 : 1);
        if (run >= warmUp) {
            ours.push_back(ourTime);
            bare.push_back(bareTime);
        }
    }
    std::filesystem::remove_all(base);

    const Figures oursFigures = figuresOf(ours);
    const Figures bareFigures = figuresOf(bare);
    std::printf("runs: %d (after %d warm-up runs each), failed runs: %d\n", runs, warmUp, failures);
    std::printf("runner round trip : mean %.2f ms, median %.2f ms\n", oursFigures.mean,
                oursFigures.median);
    std::printf("bare spawn        : mean %.2f ms, median %.2f ms\n", bareFigures.mean,
                bareFigures.median);
    std::printf("ratio (target <= 1.15): mean %.3f, median %.3f\n",
                oursFigures.mean / bareFigures.mean, oursFigures.median / bareFigures.median);
    return failures == 0 ? 0 : 1;
}
