#pragma once

#include "interfaces/installed_location.h"

namespace quorvel {

// The running executable (/proc/self/exe), or the AppImage it was started from ($APPIMAGE).
class ProgramLocation : public InstalledLocation {
  public:
    std::filesystem::path programLocation() override;
};

}  // namespace quorvel
