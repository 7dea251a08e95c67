#pragma once

#include <filesystem>
#include <string_view>

namespace quorvel::testing {

// A temporary installation folder whose path holds spaces and non-ASCII characters, where a test
// writes the control script it needs. Removed with everything in it when destroyed.
class Installation {
  public:
    Installation();
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::filesystem::path& path() const { return base; }

    // Writes "control-app.cjs".
    void writeScript(std::string_view source) const;
    // Writes any other file into the folder.
    void writeFile(std::string_view name, std::string_view content) const;
    std::string readFile(std::string_view name) const;

  private:
    std::filesystem::path root;
    std::filesystem::path base;
};

}  // namespace quorvel::testing
