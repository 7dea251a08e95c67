#include "platform/mac/mac_workspace.h"

#import <AppKit/AppKit.h>

#include "platform/mac/ns_text.h"

namespace quorvel {

void MacWorkspace::openUrl(const std::string& url) {
    if (NSURL* address = [NSURL URLWithString:nsText(url)]) {
        [[NSWorkspace sharedWorkspace] openURL:address];
    }
}

void MacWorkspace::openFolder(const std::filesystem::path& folder) {
    [[NSWorkspace sharedWorkspace] openURL:[NSURL fileURLWithPath:nsText(folder.string())
                                                      isDirectory:YES]];
}

}  // namespace quorvel
