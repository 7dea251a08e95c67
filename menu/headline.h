#pragma once

#include <string>
#include <string_view>

#include "app/product_texts.h"

namespace quorvel {

// The headline row's title: the product prefix, then a state word or a progress title.
inline std::string headline(std::string_view word) {
    return std::string(texts::headlinePrefix).append(word);
}

}  // namespace quorvel
