#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel::testing {

// A temporary installation folder whose path holds spaces and non-ASCII characters, where a test
// writes the control script it needs. Removed with everything in it when destroyed.
class Installation {
  public:
    Installation() {
        std::string pattern =
            std::filesystem::temp_directory_path() / "Quorvel Connect ünï 測試-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        base = pattern;
    }
    ~Installation() {
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::filesystem::path& path() const { return base; }

    // Writes "control-app.cjs".
    void writeScript(std::string_view source) const {
        std::ofstream(base / "control-app.cjs", std::ios::binary) << source;
    }

  private:
    std::filesystem::path base;
};

}  // namespace quorvel::testing
