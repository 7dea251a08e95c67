#pragma once

#include "interfaces/workspace.h"

namespace quorvel {

// The desktop's default browser and file manager, through QDesktopServices.
class QtWorkspace : public Workspace {
  public:
    void openUrl(const std::string& url) override;
    void openFolder(const std::filesystem::path& folder) override;
};

}  // namespace quorvel
