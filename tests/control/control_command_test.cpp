#include "control/control_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <system_error>

#include "control/reply_parser.h"
#include "control/runner_replies.h"
#include "control/unique_fd.h"
#include "tests/control/installation.h"
#include "tests/control/process_census.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using testing::Installation;

// Short limits keep the misbehaving scripts cheap to test.
CommandLimits shortLimits() {
    CommandLimits limits;
    limits.statusTimeLimit = 1500ms;
    limits.otherTimeLimit = 1500ms;
    limits.process.killGrace = 300ms;
    limits.process.exitDrain = 500ms;
    return limits;
}

// Sets (or, given null, removes) an environment variable for the life of the object, then
// restores what was there.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name(name) {
        if (const char* old = getenv(name)) {
            previous = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() {
        if (previous) {
            setenv(name, previous->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name;
    std::optional<std::string> previous;
};

// Kills a process the test left behind on purpose, whatever the test's outcome.
struct KillOnExit {
    pid_t pid = 0;
    ~KillOnExit() {
        if (pid > 0) {
            kill(pid, SIGKILL);
        }
    }
};

std::string linkTarget(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::read_symlink(path, ignored).string();
}

TEST(ControlCommand, RunsTheScriptWithExactlyItsArgumentsDirectoryAndEnvironment) {
    Installation installation;
    installation.writeScript(R"(
const fs = require('fs');
const environ = fs.readFileSync('/proc/self/environ', 'latin1').split('\0').filter(e => e);
const link = fd => { try { return fs.readlinkSync('/proc/self/fd/' + fd); } catch { return null; } };
console.log(JSON.stringify({
  ok: true, argv: process.argv.slice(1), execArgv: process.execArgv, cwd: process.cwd(),
  pathEntries: environ.filter(e => e.startsWith('PATH=')),
  custom: process.env.QUORVEL_TEST_VARIABLE, pathLike: process.env.PATH_LIKE,
  stdin: link(0), stderr: link(2)}));
)");
    const ScopedVariable path("PATH", "/quorvel/custom/bin:/usr/bin:/bin");
    const ScopedVariable custom("QUORVEL_TEST_VARIABLE", "a value = with spaces, 'quotes' & ünï");
    const ScopedVariable pathLike("PATH_LIKE", "kept");
    // A verb that a shell would split and expand reaches the script as one string.
    const std::string verb = "auto-on $HOME 'x' \"y\" ; `true`";

    const ControlReply reply = runControlCommand(installation.path(), verb, shortLimits());

    ASSERT_TRUE(reply.is_object()) << reply;
    ASSERT_TRUE(reply.value("ok", false)) << reply;
    const std::string script = (installation.path() / "control-app.cjs").string();
    EXPECT_EQ(reply["argv"], (ControlReply{script, verb}));
    EXPECT_EQ(reply["execArgv"], ControlReply::array());
    EXPECT_EQ(reply["cwd"], std::filesystem::canonical(installation.path()).string());
    EXPECT_EQ(reply["pathEntries"], (ControlReply{"PATH=" + std::string(controlSearchPath)}));
    EXPECT_EQ(std::string(controlSearchPath).size(), 121u);
    EXPECT_EQ(reply["custom"], "a value = with spaces, 'quotes' & ünï");
    EXPECT_EQ(reply["pathLike"], "kept");
    EXPECT_EQ(reply["stderr"], "/dev/null");
    const std::string ourStdin = linkTarget("/proc/self/fd/0");
    if (ourStdin.empty()) {
        EXPECT_TRUE(reply["stdin"].is_null()) << reply["stdin"];
    } else {
        EXPECT_EQ(reply["stdin"], ourStdin);
    }
}

TEST(ControlCommand, AddsPathWhenTheApplicationHasNone) {
    Installation installation;
    installation.writeScript("console.log(JSON.stringify({path: process.env.PATH}));");
    const ScopedVariable noPath("PATH", nullptr);
    EXPECT_EQ(runControlCommand(installation.path(), "status", shortLimits()),
              (ControlReply{{"path", std::string(controlSearchPath)}}));
}

TEST(ControlCommand, PassesNoDescriptorOfOursButTheStandardStreams) {
    Installation installation;
    installation.writeFile("inherited", "");
    installation.writeFile("private", "");
    // One descriptor that would survive exec, one that would not; high numbers, so the script's
    // own descriptors cannot take their places.
    const auto openAt = [&](const char* name, int number, int flags) {
        UniqueFd opened(open((installation.path() / name).c_str(), O_RDONLY));
        return UniqueFd(fcntl(opened.get(), flags, number));
    };
    const UniqueFd inherited = openAt("inherited", 300, F_DUPFD);
    const UniqueFd closeOnExec = openAt("private", 301, F_DUPFD_CLOEXEC);
    ASSERT_TRUE(inherited.valid() && closeOnExec.valid());
    installation.writeScript(R"(
const fs = require('fs');
const links = {};
for (const fd of fs.readdirSync('/proc/self/fd')) {
  try { links[fd] = fs.readlinkSync('/proc/self/fd/' + fd); } catch {}
}
console.log(JSON.stringify({ok: true, links}));
)");
    const ControlReply reply = runControlCommand(installation.path(), "status", shortLimits());
    ASSERT_TRUE(reply.contains("links")) << reply;
    for (const auto& [fd, target] : reply["links"].items()) {
        EXPECT_EQ(target.get<std::string>().find(installation.path().string()), std::string::npos)
            << "descriptor " << fd << " -> " << target;
    }
    EXPECT_FALSE(reply["links"].contains("300"));
    EXPECT_FALSE(reply["links"].contains("301"));
}

TEST(ControlCommand, HandsOnAnyObjectUnchangedWhateverTheExitStatus) {
    Installation installation;
    installation.writeScript(R"(
process.stdout.write('{"ok": false, "state": "Running", "listeners": 2.0}\n');
process.exit(1);
)");
    EXPECT_EQ(runControlCommand(installation.path(), "stop", shortLimits()),
              ControlReply::parse(R"({"ok": false, "state": "Running", "listeners": 2.0})"));

    installation.writeScript("process.stdout.write('{}');");
    const ControlReply empty = runControlCommand(installation.path(), "status", shortLimits());
    EXPECT_EQ(empty, ControlReply::object());
}

TEST(ControlCommand, ReadsOutputFarLargerThanThePipeBuffer) {
    Installation installation;
    installation.writeScript(R"(
process.stdout.write(JSON.stringify({ok: true, blob: 'x'.repeat(300 * 1024)}));
)");
    const ControlReply reply = runControlCommand(installation.path(), "status", shortLimits());
    ASSERT_TRUE(reply.contains("blob")) << reply.dump().substr(0, 200);
    EXPECT_EQ(reply["blob"].get<std::string>().size(), 300u * 1024);
}

// The script prints the bytes of the file "output" in its folder, exactly.
struct OutputCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

class ScriptOutputTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(ScriptOutputTest, IsUnreadableUnlessItIsOneObject) {
    Installation installation;
    installation.writeFile("output", GetParam().bytes);
    installation.writeScript(
        "process.stdout.write(require('fs').readFileSync(__dirname + '/output'));");
    EXPECT_EQ(runControlCommand(installation.path(), "status", shortLimits()),
              unreadableOutputReply());
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ScriptOutputTest,
    ::testing::Values(OutputCase{"empty", ""}, OutputCase{"array", "[{\"ok\": true}]\n"},
                      OutputCase{"string", "\"ok\"\n"}, OutputCase{"number", "42\n"},
                      OutputCase{"null", "null\n"},
                      OutputCase{"trailingGarbage", "{\"ok\": true}\nWarning: something\n"},
                      OutputCase{"invalidUtf8", "{\"ok\": true, \"state\": \"\xff\"}\n"},
                      OutputCase{"deepNesting", std::string(200'000, '[') + "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlCommand, IgnoresWhatTheScriptWritesToStandardError) {
    Installation installation;
    installation.writeScript("console.error(JSON.stringify({ok: true}));");
    EXPECT_EQ(runControlCommand(installation.path(), "status", shortLimits()),
              unreadableOutputReply());

    installation.writeScript(R"(
console.error('warning: ' + 'w'.repeat(200 * 1024));
console.log(JSON.stringify({ok: true}));
)");
    EXPECT_EQ(runControlCommand(installation.path(), "status", shortLimits()),
              (ControlReply{{"ok", true}}));
}

TEST(ControlCommand, GivesTheUnreadableOutputReplyWhenTheScriptIsMissing) {
    Installation installation;
    EXPECT_EQ(runControlCommand(installation.path(), "status", shortLimits()),
              unreadableOutputReply());
}

TEST(ControlCommand, GivesTheLaunchFailureReplyWhenTheCommandCannotStart) {
    const std::string notFound = std::generic_category().message(ENOENT);
    const auto missing = std::filesystem::temp_directory_path() / "quorvel-no-such-folder ünï";
    EXPECT_EQ(runControlCommand(missing, "status", shortLimits()), launchFailureReply(notFound));

    Installation installation;
    ProcessCommand command = controlCommand(installation.path(), "status");
    command.executable = installation.path() / "no-such-env";
    EXPECT_EQ(runCommandForReply(command, 1s, {}), launchFailureReply(notFound));

    installation.writeFile("not-executable", "#!/bin/sh\necho '{}'\n");
    command.executable = installation.path() / "not-executable";
    EXPECT_EQ(runCommandForReply(command, 1s, {}),
              launchFailureReply(std::generic_category().message(EACCES)));
    EXPECT_EQ(testing::ProcessCensus::take().children, 0u);
}

struct HangCase {
    const char* name;
    const char* onTerm;  // what the script does on SIGTERM
};

void PrintTo(const HangCase& c, std::ostream* os) {
    *os << c.name;
}

class HungScriptTest : public ::testing::TestWithParam<HangCase> {};

// The hung script starts a helper without detaching and a service that does detach (a session
// of its own), and writes their pids to a file.
TEST_P(HungScriptTest, IsStoppedWithItsHelpersAtTheTimeLimitButNotWithTheService) {
    Installation installation;
    installation.writeScript(std::string(R"(
const {spawn} = require('child_process');
const helper = spawn('sleep', ['30'], {stdio: 'ignore'});
const service = spawn('sleep', ['31'], {stdio: 'ignore', detached: true});
service.unref();
require('fs').writeFileSync(__dirname + '/pids', JSON.stringify([process.pid, helper.pid, service.pid]));
process.on('SIGTERM', () => { )") +
                             GetParam().onTerm + R"( });
process.stdout.write('{"ok": true, ');
setInterval(() => {}, 1000);
)");
    CommandLimits limits = shortLimits();
    limits.otherTimeLimit = 2s;

    const ControlReply reply = runControlCommand(installation.path(), "start", limits);

    EXPECT_EQ(reply, timeoutReply(2s));
    const ControlReply pids = parseReply("{\"p\": " + installation.readFile("pids") + "}");
    ASSERT_TRUE(pids.contains("p")) << installation.readFile("pids");
    const KillOnExit service{pids["p"][2].get<pid_t>()};
    EXPECT_EQ(testing::processState(pids["p"][0].get<pid_t>()), '\0') << "script not reaped";
    EXPECT_TRUE(testing::processEnds(pids["p"][1].get<pid_t>())) << "helper left running";
    EXPECT_TRUE(testing::processRuns(service.pid)) << "detached service was killed";
    EXPECT_EQ(testing::ProcessCensus::take().children, 0u);
}

INSTANTIATE_TEST_SUITE_P(Scripts, HungScriptTest,
                         ::testing::Values(HangCase{"endsOnSigterm", "process.exit(0);"},
                                           HangCase{"ignoresSigterm", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControlCommand, DoesNotWaitForAProcessLeftHoldingTheOutput) {
    Installation installation;
    installation.writeScript(R"(
const {spawn} = require('child_process');
const service = spawn('sleep', ['10'], {stdio: ['ignore', 'inherit', 'ignore'], detached: true});
service.unref();
console.log(JSON.stringify({ok: true, state: 'Running', service: service.pid}));
)");
    const ControlReply reply = runControlCommand(installation.path(), "start", shortLimits());
    ASSERT_TRUE(reply.contains("service")) << reply;
    const KillOnExit service{reply["service"].get<pid_t>()};
    EXPECT_EQ(reply["state"], "Running");
    // Had the run waited for the end of the output, the service would have ended first.
    EXPECT_TRUE(testing::processRuns(service.pid)) << "the run waited for the service";
}

TEST(ControlCommand, StopsAnEndlessWriterAtTheOutputCap) {
    Installation installation;
    installation.writeScript(R"(
require('fs').writeFileSync(__dirname + '/pid', String(process.pid));
const chunk = '{"ok": true, "x": "' + 'x'.repeat(64 * 1024);
const write = () => process.stdout.write(chunk, write);
write();
)");
    EXPECT_EQ(runControlCommand(installation.path(), "status", shortLimits()),
              unreadableOutputReply());
    EXPECT_EQ(testing::processState(std::stoi(installation.readFile("pid"))), '\0');
}

TEST(ControlCommand, AcceptsOutputOfExactlyTheCap) {
    Installation installation;
    CommandLimits limits = shortLimits();
    limits.process.outputCap = 100'000;
    installation.writeScript(R"(
const head = '{"x": "', tail = '"}';
process.stdout.write(head + 'x'.repeat(100000 - head.length - tail.length) + tail);
)");
    const ControlReply reply = runControlCommand(installation.path(), "status", limits);
    ASSERT_TRUE(reply.contains("x")) << reply;
    installation.writeScript(R"(
const head = '{"x": "', tail = '"}';
process.stdout.write(head + 'x'.repeat(100001 - head.length - tail.length) + tail);
)");
    EXPECT_EQ(runControlCommand(installation.path(), "status", limits), unreadableOutputReply());
}

}  // namespace
}  // namespace quorvel
