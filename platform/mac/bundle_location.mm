#include "platform/mac/bundle_location.h"

#import <Foundation/Foundation.h>

namespace quorvel {

std::filesystem::path BundleLocation::programLocation() {
    NSURL* bundle = [NSBundle mainBundle].bundleURL;
    if (bundle == nil || !bundle.fileURL) {
        return {};
    }
    return std::filesystem::path(bundle.fileSystemRepresentation);
}

}  // namespace quorvel
