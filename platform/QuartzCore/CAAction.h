#pragma once

#include <memory>
#include <string_view>

class CALayer;

// What a layer runs when one of its properties changes; an animation adds
// itself to the layer under the property's key.
class CAAction {
public:
    virtual ~CAAction() = default;
    virtual void runActionForKey(std::string_view key, CALayer&) = 0;
};

using CAActionRef = std::shared_ptr<CAAction>;
