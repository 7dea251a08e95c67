#include <pthread.h>

#include <string>

#include "control/thread_name.h"

namespace quorvel {

// macOS names only the calling thread.
void nameThisThread(std::string_view name) {
    pthread_setname_np(std::string(name.substr(0, 63)).c_str());
}

}  // namespace quorvel
