// Names of keys in the user's current keyboard layout.
#pragma once

#include <QString>
#include <cstdint>

namespace nabrix {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The unshifted text of the key in the current layout, upper-cased, or "0x%X".
    virtual QString keyName(std::uint32_t keyCode) const = 0;
};

} // namespace nabrix
