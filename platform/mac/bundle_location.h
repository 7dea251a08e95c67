#pragma once

#include "interfaces/installed_location.h"

namespace quorvel {

// The running program's .app bundle, as NSBundle sees it: its folder is the base directory.
class BundleLocation : public InstalledLocation {
  public:
    std::filesystem::path programLocation() override;
};

}  // namespace quorvel
