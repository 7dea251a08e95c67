#include "platform/mac/mac_main_thread.h"

#import <Foundation/Foundation.h>

namespace quorvel {

void MacMainThread::post(std::function<void()> task) {
    dispatch_async(dispatch_get_main_queue(), ^{
      task();
    });
}

}  // namespace quorvel
