#pragma once

#include "interfaces/installed_location.h"

namespace quorvel {

// Linux: the running executable (/proc/self/exe), or the AppImage it was started from ($APPIMAGE).
// macOS: the .app bundle.
class ProgramLocation : public InstalledLocation {
  public:
    std::filesystem::path programLocation() override;
};

}  // namespace quorvel
