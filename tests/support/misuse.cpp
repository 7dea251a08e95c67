#include "tests/support/misuse.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace quorvel::fakes {

namespace {

std::function<void(const std::string&)>& handler() {
    static std::function<void(const std::string&)> current;
    return current;
}

}  // namespace

void setMisuseHandler(std::function<void(const std::string&)> newHandler) {
    handler() = std::move(newHandler);
}

void reportMisuse(const std::string& what) {
    if (handler()) {
        handler()(what);
        return;
    }
    std::fprintf(stderr, "fake platform misused: %s\n", what.c_str());
    std::abort();
}

}  // namespace quorvel::fakes
