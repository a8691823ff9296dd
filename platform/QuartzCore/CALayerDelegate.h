#pragma once

#include "CoreGraphics/CGContext.h"
#include "QuartzCore/CAAction.h"

#include <string_view>

class CALayer;

// What a layer asks of its delegate (a view, for the view's own layer). Every
// method is optional on the platform; the defaults here do what a delegate that
// lacks the method would.
class CALayerDelegate {
public:
    // The answer to actionForLayerForKey, in the platform's three kinds: nil
    // (look further: the layer's actions, then its default animation), NSNull
    // (no action at all), or an action to run.
    class Action {
    public:
        enum class Kind : unsigned char { UseDefault, None, Run };

        [[nodiscard]] static Action useDefault() { return Action(Kind::UseDefault, nullptr); }
        [[nodiscard]] static Action none() { return Action(Kind::None, nullptr); }
        // A null action counts as none.
        [[nodiscard]] static Action run(CAActionRef action) { return action ? Action(Kind::Run, std::move(action)) : none(); }

        [[nodiscard]] Kind kind() const { return m_kind; }
        [[nodiscard]] const CAActionRef& action() const { return m_action; }

    private:
        Action(Kind kind, CAActionRef action) : m_kind(kind), m_action(std::move(action)) { }
        Kind m_kind;
        CAActionRef m_action;
    };

    virtual ~CALayerDelegate() = default;

    // Draws the layer's content into a context of its bounds (y down, in points) when it displays.
    virtual void drawLayerInContext(CALayer&, const CGContextRef&);
    // Places the layer's sublayers when it lays out.
    virtual void layoutSublayersOfLayer(CALayer&) { }
    // Asked before a property of the layer changes, with the old value still in place.
    [[nodiscard]] virtual Action actionForLayerForKey(CALayer&, std::string_view /* key */) { return Action::useDefault(); }
};
