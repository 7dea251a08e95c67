#include "control/control_command.h"

#include <system_error>

#include "control/control_words.h"
#include "control/reply_parser.h"
#include "control/runner_replies.h"

extern char** environ;

namespace quorvel {

namespace {

// This process's environment with PATH set to the fixed list (added, or replacing every PATH entry
// there was); every other entry unchanged and in order.
std::vector<std::string> controlEnvironment() {
    const std::string path = "PATH=" + std::string(controlSearchPath);
    std::vector<std::string> environment;
    bool pathSet = false;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        if (!variable.starts_with("PATH=")) {
            environment.emplace_back(variable);
        } else if (!pathSet) {
            environment.push_back(path);
            pathSet = true;
        }
    }
    if (!pathSet) {
        environment.push_back(path);
    }
    return environment;
}

// `/usr/bin/env node <baseDirectory>/control-app.cjs <verb>` in `baseDirectory`, no shell.
ProcessCommand controlCommand(const std::filesystem::path& baseDirectory, const std::string& verb) {
    // The script's path must not depend on the working directory, which the child changes.
    std::error_code ignored;
    std::filesystem::path base = std::filesystem::absolute(baseDirectory, ignored);
    if (base.empty()) {
        base = baseDirectory;
    }
    ProcessCommand command;
    command.executable = "/usr/bin/env";
    command.arguments = {"node", (base / controlScriptName).string(), verb};
    command.environment = controlEnvironment();
    command.workingDirectory = base;
    return command;
}

}  // namespace

std::chrono::milliseconds timeLimitFor(std::string_view verb, const CommandLimits& limits) {
    return verb == verbs::status ? limits.statusTimeLimit : limits.otherTimeLimit;
}

ControlReply runCommandForReply(const ProcessCommand& command, std::chrono::milliseconds timeLimit,
                                const ProcessLimits& limits) {
    const ProcessOutcome outcome = runProcess(command, timeLimit, limits);
    switch (outcome.ending) {
        case ProcessOutcome::Ending::finished:
            return parseReply(outcome.output);
        case ProcessOutcome::Ending::launchFailed:
            return launchFailureReply(std::generic_category().message(outcome.error));
        case ProcessOutcome::Ending::timedOut:
            return timeoutReply(timeLimit);
        case ProcessOutcome::Ending::outputTooLarge:
            return unreadableOutputReply();
        case ProcessOutcome::Ending::waitFailed:
            return waitFailureReply(std::generic_category().message(outcome.error));
    }
    return unreadableOutputReply();
}

ControlReply runControlCommand(const std::filesystem::path& baseDirectory, const std::string& verb,
                               const CommandLimits& limits) {
    return runCommandForReply(controlCommand(baseDirectory, verb), timeLimitFor(verb, limits),
                              limits.process);
}

}  // namespace quorvel
