#include <pthread.h>

#include <string>

#include "control/thread_name.h"

namespace quorvel {

void nameThisThread(std::string_view name) {
    pthread_setname_np(pthread_self(), std::string(name.substr(0, 15)).c_str());
}

}  // namespace quorvel
