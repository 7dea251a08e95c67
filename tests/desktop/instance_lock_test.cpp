#include "platform/qt/instance_lock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using Outcome = InstanceLock::Outcome;

constexpr const char* identifier = "org.quorvel.connect.test";

// A scratch folder, and $XDG_RUNTIME_DIR pointed at it (or unset) for the test's length.
class InstanceLockTest : public testing::Test {
  protected:
    fs::path scratch;
    std::string savedRuntime;
    bool hadRuntime = false;

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "instance-lock-XXXXXX").string();
        scratch = ::mkdtemp(pattern.data());
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
            savedRuntime = runtime;
            hadRuntime = true;
        }
    }
    void TearDown() override {
        if (hadRuntime) {
            ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        fs::remove_all(scratch);
    }
    fs::path privateFolder() const {
        return scratch / (std::string(identifier) + "-" + std::to_string(::getuid()));
    }
};

TEST_F(InstanceLockTest, OneHolderPerUserAndRepeatedCallsKeepIt) {
    ::setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    InstanceLock first(scratch);
    EXPECT_EQ(first.acquire(identifier).outcome, Outcome::acquired);
    EXPECT_EQ(first.acquire(identifier).outcome, Outcome::acquired);
    EXPECT_TRUE(fs::exists(scratch / "org.quorvel.connect.test.lock"));
    {
        InstanceLock second(scratch);
        EXPECT_EQ(second.acquire(identifier).outcome, Outcome::heldElsewhere);
    }
    InstanceLock other(scratch);
    EXPECT_EQ(other.acquire("org.quorvel.other").outcome, Outcome::acquired)
        << "another identifier is another lock";
}

TEST_F(InstanceLockTest, ReleasedWhenTheHolderGoes) {
    ::setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    auto first = std::make_unique<InstanceLock>(scratch);
    ASSERT_EQ(first->acquire(identifier).outcome, Outcome::acquired);
    first.reset();
    InstanceLock second(scratch);
    EXPECT_EQ(second.acquire(identifier).outcome, Outcome::acquired);
}

TEST_F(InstanceLockTest, WithoutARuntimeFolderUsesAPrivateFolderOfOurs) {
    ::unsetenv("XDG_RUNTIME_DIR");
    InstanceLock first(scratch);
    ASSERT_EQ(first.acquire(identifier).outcome, Outcome::acquired);
    struct stat info {};
    ASSERT_EQ(::lstat(privateFolder().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    InstanceLock second(scratch);
    EXPECT_EQ(second.acquire(identifier).outcome, Outcome::heldElsewhere);
}

TEST_F(InstanceLockTest, AnUnusableRuntimeFolderFallsBackToTheKeyPrivateFolder) {
    ::setenv("XDG_RUNTIME_DIR", (scratch / "missing").c_str(), 1);
    InstanceLock lock(scratch);
    EXPECT_EQ(lock.acquire(identifier).outcome, Outcome::acquired);
    EXPECT_TRUE(fs::exists(privateFolder() / "org.quorvel.connect.test.lock"));
}

TEST_F(InstanceLockTest, RefusesAPlantedFallbackFolder) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const fs::path elsewhere = scratch / "elsewhere";
    fs::create_directory(elsewhere);
    struct Plant {
        const char* what;
        std::function<void()> plant;
    };
    const Plant plants[] = {
        {"a symlink to another folder",
         [&] { fs::create_directory_symlink(elsewhere, privateFolder()); }},
        {"a folder open to others",
         [&] {
             fs::create_directory(privateFolder());
             fs::permissions(privateFolder(), fs::perms::owner_all | fs::perms::others_all);
         }},
        {"a folder of another user",
         [&] {
             fs::create_directory(privateFolder());
             fs::permissions(privateFolder(), fs::perms::owner_all);
             if (::chown(privateFolder().c_str(), 65534, 65534) != 0) {
                 GTEST_SKIP() << "cannot hand a folder to another user here";
             }
         }},
        {"a file",
         [&] {
             std::FILE* f = std::fopen(privateFolder().c_str(), "w");
             std::fclose(f);
         }},
    };
    for (const Plant& plant : plants) {
        SCOPED_TRACE(plant.what);
        fs::remove_all(privateFolder());
        plant.plant();
        if (testing::Test::IsSkipped()) {
            return;
        }
        InstanceLock lock(scratch);
        const InstanceLock::Result result = lock.acquire(identifier);
        EXPECT_EQ(result.outcome, Outcome::unavailable);
        EXPECT_FALSE(result.problem.empty());
        EXPECT_FALSE(fs::exists(elsewhere / "org.quorvel.connect.test.lock"));
    }
}

TEST_F(InstanceLockTest, APlantedSymlinkAsTheLockFileIsNotFollowed) {
    ::setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    const fs::path target = scratch / "target";
    fs::create_symlink(target, scratch / "org.quorvel.connect.test.lock");
    InstanceLock lock(scratch);
    lock.acquire(identifier);
    EXPECT_FALSE(fs::exists(target));
}

}  // namespace
}  // namespace quorvel
