#pragma once

#include "QuartzCore/CALayer.h"

#include <memory>
#include <vector>

class CAContext;
using CAContextRef = std::shared_ptr<CAContext>;

// A layer tree shown on a display, as a window's is. Every commit lays out and
// displays the trees of the contexts alive then, in the order they were made,
// before the display is told; trees in no context are prepared only when drawn
// (renderInContext). Main thread only.
class CAContext {
public:
    [[nodiscard]] static CAContextRef contextWithLayer(CALayerRef);
    [[nodiscard]] static std::vector<CAContextRef> allContexts();

    explicit CAContext(CALayerRef layer) : m_layer(std::move(layer)) { }
    CAContext(const CAContext&) = delete;
    CAContext& operator=(const CAContext&) = delete;

    [[nodiscard]] const CALayerRef& layer() const { return m_layer; }
    // Layout first, then display: layout may ask for display but not the other way round.
    void prepareForCommit();

private:
    CALayerRef m_layer;
};
