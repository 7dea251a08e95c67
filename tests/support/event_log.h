#pragma once

#include <string>
#include <vector>

namespace quorvel::fakes {

// What happened, in order, across the fake platform and the fake control queue: "perform status",
// "title QUORVEL Connect · Running", "bringToFront", "alert QUORVEL Connect needs attention" …
struct EventLog {
    std::vector<std::string> entries;

    void add(std::string entry) { entries.push_back(std::move(entry)); }
};

}  // namespace quorvel::fakes
