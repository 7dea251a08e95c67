#pragma once

#include <functional>
#include <string>

namespace quorvel::fakes {

// How the fakes report what a person could not have done (choosing a disabled row, an alert that
// nobody meant to answer, a reply that nobody asked for). By default the process aborts, which the
// fuzzer counts as a crash; unit tests turn it into a test failure.
void setMisuseHandler(std::function<void(const std::string&)> handler);
void reportMisuse(const std::string& what);

}  // namespace quorvel::fakes
