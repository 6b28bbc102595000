#pragma once
#include <stdexcept>
#include <string>

namespace glowdeck {

// Raised by the project file accessors when a group, an item or a property
// element does not exist. The model has no default for a missing attribute.
class AccessError : public std::runtime_error {
public:
    explicit AccessError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace glowdeck
