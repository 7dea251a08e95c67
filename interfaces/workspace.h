#pragma once

#include <filesystem>
#include <string>

namespace quorvel {

// The desktop's default handlers. Results are not reported: a page with no server behind it or a
// missing folder is the handler's business.
class Workspace {
  public:
    virtual ~Workspace() = default;

    virtual void openUrl(const std::string& url) = 0;
    virtual void openFolder(const std::filesystem::path& folder) = 0;
};

}  // namespace quorvel
