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

namespace quorvel {
namespace {

using namespace std::chrono_literals;

// Short limits keep the misbehaving scripts cheap to test.
const CommandLimits limits{.statusTimeLimit = 1500ms,
                           .otherTimeLimit = 1500ms,
                           .process = {.killGrace = 300ms, .exitDrain = 500ms}};

// Whether `pid` exists and has not ended (a zombie has).
bool runs(pid_t pid) {
    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat{std::istreambuf_iterator<char>(statFile), {}};
    // The state letter follows the command name, which may itself hold spaces.
    const auto nameEnd = stat.rfind(") ");
    return nameEnd != std::string::npos && stat.at(nameEnd + 2) != 'Z';
}

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

auto entriesOf(const char* folder) {
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

// While set, every poll() of this process fails as if the kernel were out of memory.
std::atomic<bool> pollFails{false};

TEST(ControlCommand, GivesAStatusThirtySecondsAndAnyOtherVerbTwoMinutes) {
    EXPECT_EQ(timeLimitFor("status"), 30s);
    EXPECT_EQ(timeLimitFor("auto-off"), 120s);
}

TEST(ControlCommand, RunsTheScriptWithExactlyItsArgumentsDirectoryAndEnvironment) {
    testing::Installation installation;
    installation.writeScript(R"(
const fs = require('fs');
const environ = fs.readFileSync('/proc/self/environ', 'latin1').split('\0');
console.log(JSON.stringify({
  argv: process.argv.slice(1), cwd: process.cwd(), paths: environ.filter(e => e.startsWith('PATH=')),
  custom: process.env.QUORVEL_TEST_VARIABLE, pathLike: process.env.PATH_LIKE,
  inherited: fs.readdirSync('/proc/self/fd').includes('300')}));
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
        // An endless writer is stopped at the output cap.
        {"const w = () => process.stdout.write('{\"x\": \"' + 'x'.repeat(65536), w); w();",
         unreadableOutputReply()},
    };
    testing::Installation installation;
    for (const auto& [script, expected] : cases) {
        installation.writeScript(script);
        EXPECT_EQ(runControlCommand(installation.path(), "status", limits), expected) << script;
    }
}

// The hung script starts a helper without detaching and a service that does detach (a session of
// its own). The helper ignores SIGTERM; the script ignores it too, or dies of it.
TEST(ControlCommand, StopsAHungScriptAndItsHelperAtTheTimeLimitButNotItsService) {
    for (const char* onTerm : {"process.on('SIGTERM', () => {});", ""}) {
        testing::Installation installation;
        installation.writeScript(std::string(R"(
const {spawn} = require('child_process');
const helper = spawn('sh', ['-c', 'trap "" TERM; exec sleep 30'], {stdio: 'ignore'});
const service = spawn('sleep', ['31'], {stdio: 'ignore', detached: true});
require('fs').writeFileSync(__dirname + '/pids', `${helper.pid} ${service.pid}`);
process.stdout.write('{"ok": true, ');
setInterval(() => {}, 1000);
)") + onTerm);
        EXPECT_EQ(runControlCommand(installation.path(), "start", limits),
                  (ControlReply{{"ok", false},
                                {"error", "The control script did not finish within 2 seconds."}}))
            << onTerm;
        pid_t helper = 0;
        pid_t service = 0;
        std::ifstream(installation.path() / "pids") >> helper >> service;
        ASSERT_GT(service, 0);
        EXPECT_FALSE(haveChildren()) << "the script was not reaped";
        EXPECT_TRUE(endsSoon(helper)) << "the helper was left running: " << onTerm;
        EXPECT_TRUE(runs(service)) << "the detached service was killed";
        kill(service, SIGKILL);
    }
}

// A program that ends well within its time limit, leaving a process that holds its output and
// writes to it once more after the limit: the run waits no longer than the drain time for the end
// of that output, and that wait is no time-out. A shell stands in for node, whose start-up time
// under load would blur the limit.
TEST(ControlCommand, DoesNotWaitForAProcessLeftHoldingTheOutputNorCallItATimeOut) {
    const ProcessCommand command{
        "/bin/sh",
        {"-c", R"((sleep 1.1; echo; exec sleep 10) & echo "{\"service\": $!}")"},
        {},
        "/"};
    const ControlReply reply = runCommandForReply(command, 1000ms, {.exitDrain = 1400ms});
    ASSERT_TRUE(reply.contains("service")) << reply;
    // Had the run waited for the end of the output, the process would have ended first.
    EXPECT_TRUE(runs(reply["service"].get<pid_t>()));
    kill(reply["service"].get<pid_t>(), SIGKILL);
}

// A fast native program stands in for node so that thousands of runs stay cheap.
TEST(ControlCommand, TwoThousandRunsLeaveNoDescriptorThreadOrChildBehind) {
    const ProcessCommand command{"/usr/bin/printf", {R"({"ok":true})"}, {}, "/"};
    const ControlReply expected{{"ok", true}};
    ASSERT_EQ(runCommandForReply(command, 5s, {}), expected);
    const auto descriptors = entriesOf("/proc/self/fd");
    const auto threads = entriesOf("/proc/self/task");
    for (int run = 0; run < 2000; ++run) {
        ASSERT_EQ(runCommandForReply(command, 5s, {}), expected) << "run " << run;
    }
    // A run that can no longer be watched is given up, whatever it printed, and cleaned up too.
    pollFails = true;
    const ControlReply givenUp = runCommandForReply(command, 5s, {});
    pollFails = false;
    EXPECT_EQ(givenUp, waitFailureReply("Cannot allocate memory"));
    EXPECT_EQ(entriesOf("/proc/self/fd"), descriptors);
    EXPECT_EQ(entriesOf("/proc/self/task"), threads);
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
