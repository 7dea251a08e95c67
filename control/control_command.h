#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "control/control_reply.h"
#include "control/process_run.h"

namespace quorvel {

inline constexpr std::string_view controlScriptName = "control-app.cjs";

// The PATH the control script always gets, so that node (and the ffmpeg the service uses) is
// found wherever the usual package managers put it, whatever PATH the application was started
// with.
inline constexpr std::string_view controlSearchPath =
    "/opt/homebrew/bin:/opt/homebrew/opt/ffmpeg@7/bin:/usr/local/bin:/usr/local/opt/ffmpeg@7/bin:"
    "/usr/bin:/bin:/usr/sbin:/sbin";

struct CommandLimits {
    std::chrono::milliseconds statusTimeLimit{30'000};
    std::chrono::milliseconds otherTimeLimit{120'000};
    ProcessLimits process;
};

// How long a run with `verb` may take: a status is quick to answer, while starting or stopping the
// service may take a while.
std::chrono::milliseconds timeLimitFor(std::string_view verb, const CommandLimits& limits = {});

// Runs `command` to the end and turns what happened into a reply: the JSON object it printed, or
// the launch-failure, unreadable-output, timeout or wait-failure reply. Blocks; never throws on
// any outcome.
ControlReply runCommandForReply(const ProcessCommand& command, std::chrono::milliseconds timeLimit,
                                const ProcessLimits& limits);

// One run of the control script with `verb`, on the calling thread (never the main thread).
ControlReply runControlCommand(const std::filesystem::path& baseDirectory, const std::string& verb,
                               const CommandLimits& limits = {});

}  // namespace quorvel
