#pragma once

#include <filesystem>

namespace quorvel {

class InstalledLocation {
  public:
    virtual ~InstalledLocation() = default;

    // The absolute path of the installed program: the executable, an AppImage or a macOS .app
    // bundle. Its parent folder holds "control-app.cjs" and "logs". Looked up afresh on each call.
    virtual std::filesystem::path programLocation() = 0;
};

}  // namespace quorvel
