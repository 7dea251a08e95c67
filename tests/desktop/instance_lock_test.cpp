#include "platform/posix/instance_lock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using Outcome = InstanceLock::Outcome;

// Without $XDG_RUNTIME_DIR the lock lives in a folder of ours in `scratch`, used only when it is
// ours alone: one planted in its place is refused, never followed.
TEST(InstanceLock, TakesOnlyAPlaceThatIsOursAlone) {
    std::string pattern = (fs::temp_directory_path() / "instance-lock-XXXXXX").string();
    const fs::path scratch = ::mkdtemp(pattern.data());
    const std::string folder = scratch / ("org.quorvel.test-" + std::to_string(::getuid()));
    const std::string elsewhere = scratch / "elsewhere";
    ::mkdir(elsewhere.c_str(), 0700);  // private and ours: only the link gives it away
    ::unsetenv("XDG_RUNTIME_DIR");
    // Each case plants something, or returns false when this user cannot plant it: the test then
    // says so and counts as skipped, never as passed.
    const std::pair<std::function<bool()>, Outcome> cases[] = {
        // Nothing planted: the folder is made private to us.
        {[] { return true; }, Outcome::acquired},
        // Our folder's name linked to another folder.
        {[&] { return ::symlink(elsewhere.c_str(), folder.c_str()) == 0; }, Outcome::unavailable},
        // A folder open to others.
        {[&] { return ::mkdir(folder.c_str(), 0755) == 0; }, Outcome::unavailable},
        // A folder of another user; only root can plant one.
        {[&] { return ::mkdir(folder.c_str(), 0700) == 0 && ::chown(folder.c_str(), 1, 1) == 0; },
         Outcome::unavailable},
    };
    int unplanted = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto& [plant, outcome] = cases[i];
        fs::remove_all(folder);
        if (!plant()) {
            ++unplanted;
            continue;
        }
        EXPECT_EQ(InstanceLock(scratch).acquire("org.quorvel.test").outcome, outcome);
        EXPECT_TRUE(fs::is_empty(elsewhere));
    }
    fs::remove_all(scratch);
    if (unplanted > 0) {
        GTEST_SKIP() << unplanted << " case not planted: another user's folder needs root";
    }
}

}  // namespace
}  // namespace quorvel
