#include "control/reply_readings.h"

#include <cmath>
#include <limits>

#include "control/control_words.h"

namespace quorvel {

namespace {

// The value under `key`, or null when `reply` is not an object (a discarded value included) or
// lacks the key. Never throws: only find() on a checked object is used.
const ControlReply* valueAt(const ControlReply& reply, std::string_view key) {
    if (!reply.is_object()) {
        return nullptr;
    }
    const auto found = reply.find(key);
    return found == reply.end() ? nullptr : &*found;
}

std::optional<std::int64_t> wholeNumber(double number) {
    // 2^63 is exact as a double; every double below it and at or above -2^63 fits.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(number) || number != std::trunc(number) || number < -limit ||
        number >= limit) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(number);
}

}  // namespace

std::optional<std::string> textReading(const ControlReply& reply, std::string_view key) {
    const ControlReply* value = valueAt(reply, key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get_ref<const std::string&>();
}

std::optional<std::int64_t> countReading(const ControlReply& reply, std::string_view key) {
    const ControlReply* value = valueAt(reply, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    switch (value->type()) {
        case ControlReply::value_t::number_integer:
            return value->get<std::int64_t>();
        case ControlReply::value_t::number_unsigned: {
            const auto number = value->get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                return std::nullopt;
            }
            return static_cast<std::int64_t>(number);
        }
        case ControlReply::value_t::number_float:
            return wholeNumber(value->get<double>());
        default:
            return std::nullopt;
    }
}

bool flagReading(const ControlReply& reply, std::string_view key) {
    const ControlReply* value = valueAt(reply, key);
    return value != nullptr && value->is_boolean() && value->get<bool>();
}

std::vector<bool> flagListReading(const ControlReply& reply, std::string_view key) {
    const ControlReply* value = valueAt(reply, key);
    if (value == nullptr || !value->is_array()) {
        return {};
    }
    std::vector<bool> flags;
    flags.reserve(value->size());
    for (const auto& element : *value) {
        if (!element.is_boolean()) {
            return {};
        }
        flags.push_back(element.get<bool>());
    }
    return flags;
}

bool isOk(const ControlReply& reply) {
    return flagReading(reply, keys::ok);
}

}  // namespace quorvel
