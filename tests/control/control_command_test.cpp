#include "control/control_command.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "control/runner_replies.h"
#include "control/unique_fd.h"
#include "tests/control/installation.h"
#include "tests/control/process_probe.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::runs;

// Short limits keep the misbehaving scripts cheap to test; the real output cap.
const CommandLimits limits{.statusTimeLimit = 1500ms,
                           .otherTimeLimit = 2500ms,
                           .process = {.killGrace = 2000ms, .exitDrain = 500ms}};

// Whether `pid` ends within a second: a killed process may take a moment to be scheduled and die.
bool endsSoon(pid_t pid) {
    for (int check = 0; check < 100 && runs(pid); ++check) {
        usleep(10'000);
    }
    return !runs(pid);
}

// Whether any child of ours is left, a zombie included.
bool haveChildren() {
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

// While set, every poll() of this process fails as if the kernel were out of memory.
std::atomic<bool> pollFails{false};

TEST(ControlCommand, RunsTheScriptWithExactlyItsArgumentsDirectoryAndEnvironment) {
    testing::Installation installation;
    installation.writeScript(R"(
const fs = require('fs');
const proc = fs.existsSync('/proc/self/environ');  // else macOS, whose process.env is all there is
const environ = proc ? fs.readFileSync('/proc/self/environ', 'latin1').split('\0')
                     : Object.entries(process.env).map(([k, v]) => `${k}=${v}`);
console.log(JSON.stringify({
  argv: process.argv.slice(1), cwd: process.cwd(), paths: environ.filter(e => e.startsWith('PATH=')),
  custom: process.env.QUORVEL_TEST_VARIABLE, pathLike: process.env.PATH_LIKE,
  inherited: fs.readdirSync(proc ? '/proc/self/fd' : '/dev/fd').includes('300')}));
)");
    setenv("QUORVEL_TEST_VARIABLE", "a value = with spaces, 'quotes' & ünï", 1);
    setenv("PATH_LIKE", "kept", 1);
    // An inheritable descriptor of ours, numbered high so that none of node's own takes its place.
    const UniqueFd inherited(dup2(STDOUT_FILENO, 300));
    ASSERT_EQ(inherited.get(), 300);
    // A verb that a shell would split and expand reaches the script as one string.
    const std::string verb = "auto-on $HOME 'x' \"y\" ; `true`";
    const ControlReply expected{
        {"argv", ControlReply::array({(installation.path() / "control-app.cjs").string(), verb})},
        {"cwd", std::filesystem::canonical(installation.path()).string()},
        {"paths", ControlReply::array({"PATH=" + std::string(controlSearchPath)})},
        {"custom", "a value = with spaces, 'quotes' & ünï"},
        {"pathLike", "kept"},
        {"inherited", false}};
    // PATH is replaced when the application has one, and added when it has none.
    setenv("PATH", "/quorvel/custom/bin:/usr/bin:/bin", 1);
    EXPECT_EQ(runControlCommand(installation.path(), verb, limits), expected);
    unsetenv("PATH");
    EXPECT_EQ(runControlCommand(installation.path(), verb, limits), expected);
}

TEST(ControlCommand, RepliesWithTheObjectOnStandardOutputOnly) {
    struct Case {
        const char* script;
        ControlReply expected;
    };
    const Case cases[] = {
        {"console.log('{\"ok\": false, \"state\": \"Running\"}'); process.exit(1);",
         {{"ok", false}, {"state", "Running"}}},
        {"console.error(JSON.stringify({ok: true}));", unreadableOutputReply()},
        // Far more than a pipe holds at once.
        {"process.stdout.write(JSON.stringify({blob: 'x'.repeat(300 * 1024)}));",
         {{"blob", std::string(300 * 1024, 'x')}}},
        // An endless writer is stopped at the output cap; a reply of exactly the cap is whole, and
        // one white-space byte more is refused.
        {"const w = () => process.stdout.write('{\"x\": \"' + 'x'.repeat(65536), w); w();",
         unreadableOutputReply()},
        {"process.stdout.write(JSON.stringify({x: 'x'.repeat((1 << 20) - 8)}));",
         {{"x", std::string((1 << 20) - 8, 'x')}}},
        {"process.stdout.write(JSON.stringify({x: 'x'.repeat((1 << 20) - 8)}) + ' ');",
         unreadableOutputReply()},
    };
    testing::Installation installation;
    for (const auto& [script, expected] : cases) {
        installation.writeScript(script);
        const ControlReply reply = runControlCommand(installation.path(), "status", limits);
        EXPECT_TRUE(reply == expected) << script << "\n gave " << reply.dump().substr(0, 200);
    }
}

// The hung script starts a helper without detaching and a service that does detach (a session of
// its own). The helper ignores SIGTERM; the script ignores it too, or takes a moment to clean up
// and leave, which it can do only if SIGKILL waits; it is reaped then, not after the whole grace. A
// status has its own, shorter time limit. The stop runs where the system gives no descriptor for
// the child's exit.
TEST(ControlCommand, StopsAHungScriptAndItsHelperAtTheTimeLimitButNotItsService) {
    for (const auto& [verb, seconds] : {std::pair{"status", 2}, std::pair{"stop", 3}}) {
        testing::exitWatchesWithheld = verb == std::string("stop");
        testing::Installation installation;
        installation.writeScript(R"(
const {spawn} = require('child_process');
const fs = require('fs');
const helper = spawn('sh', ['-c', 'trap "" TERM; exec sleep 30'], {stdio: 'ignore'});
const service = spawn('sleep', ['31'], {stdio: 'ignore', detached: true});
fs.writeFileSync(__dirname + '/pids', `${helper.pid} ${service.pid}`);
process.stdout.write('{"ok": true, ');
setInterval(() => {}, 1000);
process.on('SIGTERM', () => process.argv[2] === 'stop' && setTimeout(() => {
  fs.writeFileSync(__dirname + '/clean', ''); process.exit(); }, 100));
)");
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(runControlCommand(installation.path(), verb, limits),
                  timeoutReply(std::chrono::seconds(seconds)))
            << verb;
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_TRUE(verb == std::string("status") || took < 4s)
            << "the stop took " << took / 1ms << " ms";
        pid_t helper = 0;
        pid_t service = 0;
        std::ifstream(installation.path() / "pids") >> helper >> service;
        ASSERT_GT(service, 0);
        EXPECT_EQ(std::filesystem::exists(installation.path() / "clean"),
                  verb == std::string("stop"));
        testing::exitWatchesWithheld = false;
        EXPECT_FALSE(haveChildren()) << "the script was not reaped";
        EXPECT_TRUE(endsSoon(helper)) << "the helper was left running: " << verb;
        EXPECT_TRUE(runs(service)) << "the detached service was killed";
        kill(service, SIGKILL);
    }
}

// A script stopped for a moment and then continued has not ended: its reply still counts. The exit
// is checked by asking, as no exit descriptor wakes for a stop.
TEST(ControlCommand, AStoppedAndContinuedScriptHasNotEnded) {
    testing::exitWatchesWithheld = true;
    testing::Installation installation;
    installation.writeScript(R"(
require('child_process').spawn('sh', ['-c', `sleep 1; kill -CONT ${process.pid}`],
                               {stdio: 'ignore', detached: true});
process.kill(process.pid, 'SIGSTOP');
console.log('{"ok": true}');
)");
    EXPECT_EQ(runControlCommand(installation.path(), "start", limits), R"({"ok": true})"_json);
    testing::exitWatchesWithheld = false;
}

// A program that ends at once, leaving a process that holds its output and writes to it once more
// after both the drain time and the time limit: the run keeps only what came before the drain time
// ran out, whether the limit falls inside it (which is no time-out) or after it. A shell stands in
// for node, whose start-up time under load would blur the limits.
TEST(ControlCommand, DoesNotWaitForAProcessLeftHoldingTheOutputNorCallItATimeOut) {
    const ProcessCommand command{
        "/bin/sh",
        {"-c", R"((sleep 2.5; echo x; exec sleep 10) & echo "{\"service\": $!}")"},
        {},
        "/"};
    for (const auto& [timeLimit, drain] : {std::pair{1000ms, 1500ms}, std::pair{4000ms, 500ms}}) {
        const ControlReply reply = runCommandForReply(command, timeLimit, {.exitDrain = drain});
        ASSERT_TRUE(reply.contains("service")) << reply << " with a limit of " << timeLimit.count();
        kill(reply["service"].get<pid_t>(), SIGKILL);
    }
}

// A fast native program stands in for node so that thousands of runs stay cheap.
TEST(ControlCommand, TwoThousandRunsLeaveNoDescriptorThreadOrChildBehind) {
    const ProcessCommand command{"/usr/bin/printf", {R"({"ok":true})"}, {}, "/"};
    const ControlReply expected{{"ok", true}};
    ASSERT_EQ(runCommandForReply(command, 5s, {}), expected);
    const auto descriptors = std::distance(std::filesystem::directory_iterator("/dev/fd"), {});
    const auto threads = testing::threads();
    for (int run = 0; run < 2000; ++run) {
        ASSERT_EQ(runCommandForReply(command, 5s, {}), expected) << "run " << run;
    }
    // A run that can no longer be watched is given up, whatever it printed, and cleaned up too.
    pollFails = true;
    const ControlReply givenUp = runCommandForReply(command, 5s, {});
    pollFails = false;
    EXPECT_EQ(givenUp, waitFailureReply("Cannot allocate memory"));
    // Without an exit descriptor the end is checked for every few milliseconds, not at the limit.
    testing::exitWatchesWithheld = true;
    const auto started = std::chrono::steady_clock::now();
    for (int run = 0; run < 5; ++run) {
        EXPECT_EQ(runCommandForReply(command, 10s, {}), expected) << "without an exit descriptor";
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << "quick runs waited for the limit";
    testing::exitWatchesWithheld = false;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/dev/fd"), {}), descriptors);
    EXPECT_EQ(testing::threads(), threads);
    EXPECT_FALSE(haveChildren());
}

}  // namespace
}  // namespace quorvel

// Stands in for the C library's poll() in this test program, so that a test can make it fail.
extern "C" int poll(pollfd* fds, nfds_t count, int timeout) {
    if (quorvel::pollFails) {
        errno = ENOMEM;
        return -1;
    }
    using Poll = int (*)(pollfd*, nfds_t, int);
    static const auto next = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
    return next(fds, count, timeout);
}
