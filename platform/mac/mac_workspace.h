#pragma once

#include "interfaces/workspace.h"

namespace quorvel {

// NSWorkspace's default handlers: the browser for a page, Finder for a folder.
class MacWorkspace : public Workspace {
  public:
    void openUrl(const std::string& url) override;
    void openFolder(const std::filesystem::path& folder) override;
};

}  // namespace quorvel
