#pragma once

#include <functional>
#include <memory>

namespace quorvel {

// A callable that runs `method` on the object while it lives and does nothing once it is gone, so
// that timers and menu rows never keep the controller alive.
template <typename T>
std::function<void()> weakCall(std::weak_ptr<T> object, void (T::*method)()) {
    return [object = std::move(object), method] {
        if (const std::shared_ptr<T> self = object.lock()) {
            (self.get()->*method)();
        }
    };
}

}  // namespace quorvel
