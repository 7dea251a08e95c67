#include "control/reply_readings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace quorvel {
namespace {

// What each reading makes of one value under "ok".
struct Readings {
    const char* value;
    std::optional<std::int64_t> count;
    std::optional<std::string> text;
    bool flag;
    std::vector<bool> flags;
};

TEST(Readings, ReadOnlyValuesOfTheirOwnKind) {
    const Readings table[] = {
        {"2", 2, {}, false, {}},
        {"-7", -7, {}, false, {}},
        {"2.0", 2, {}, false, {}},
        {"1e3", 1000, {}, false, {}},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max(), {}, false, {}},
        {"9223372036854775808", {}, {}, false, {}},
        {"9.3e18", {}, {}, false, {}},
        {"9.2233720368547758e18", {}, {}, false, {}},
        {"2.5", {}, {}, false, {}},
        {"\"3\"", {}, "3", false, {}},
        {"\"true\"", {}, "true", false, {}},
        {"true", {}, {}, true, {}},
        {"false", {}, {}, false, {}},
        {"[true, false, true]", {}, {}, false, {true, false, true}},
        {"[true, 1]", {}, {}, false, {}},
    };
    for (const auto& [value, count, text, flag, flags] : table) {
        const ControlReply reply = ControlReply::parse(std::string("{\"ok\": ") + value + "}");
        EXPECT_EQ(countReading(reply, "ok"), count) << value;
        EXPECT_EQ(textReading(reply, "ok"), text) << value;
        EXPECT_EQ(flagReading(reply, "ok"), flag) << value;
        EXPECT_EQ(isOk(reply), flag) << value;
        EXPECT_EQ(flagListReading(reply, "ok"), flags) << value;
    }
    EXPECT_EQ(countReading(ControlReply::object(), "ok"), std::nullopt) << "a missing key";
}

}  // namespace
}  // namespace quorvel
