#pragma once

#import <Foundation/Foundation.h>

#include <string>

namespace quorvel {

// A text of the program (UTF-8) as AppKit takes it. Bytes that are not UTF-8 are read as Latin-1
// rather than lost: AppKit refuses a nil title.
inline NSString* nsText(const std::string& text) {
    NSString* utf8 = [[NSString alloc] initWithBytes:text.data()
                                              length:text.size()
                                            encoding:NSUTF8StringEncoding];
    if (utf8 != nil) {
        return utf8;
    }
    return [[NSString alloc] initWithBytes:text.data()
                                    length:text.size()
                                  encoding:NSISOLatin1StringEncoding];
}

}  // namespace quorvel
