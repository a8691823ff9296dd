#pragma once

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGPath.h"
#include "QuartzCore/CARenderer.h"

#include <cairo.h>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class CALayer;

// What changed on a screen between two frames, in device pixels. Each frame
// the screen hands over the layer trees it is about to composite, each with the
// matrix it draws it through; the tracker walks them as CARenderer draws them
// (presentation values, placement, zPosition order, hidden and transparent
// layers skipped) and keeps, per layer, what its own painting depends on and
// the device box it covers, clipped by the bounds of masking ancestors. A layer
// whose record differs from the last frame's damages its old and its new box;
// a layer that appears or goes damages its box. A change of what a layer's
// sublayers are drawn through (its placement, opacity or mask) or of its
// sibling order marks its whole subtree changed. So a running animation
// damages where its layer was and is, frame after frame.
//
// Cairo rasterises an edge that does not lie on the pixel grid (a path, rounded
// corners, a turn, a side between pixels) a level apart under some clips: only
// through a single rectangle that holds it whole does it come out as drawn
// afresh. So each damaged rectangle is first grown (enclosingEdges) until it
// holds every such layer it reaches; a clip made of them all then cuts no such edge.
class CADamageTracker {
public:
    using Rect = cairo_rectangle_int_t;

    // Starts a frame of the size (device pixels); a different size than last time
    // damages everything.
    void beginFrame(int width, int height);
    // One tree, drawn after the ones before it, with root as the compositor's root
    // (its own position and transform not applied).
    void addTree(const CALayer& root, const cairo_matrix_t& rootToDevice);
    // The damage since the last frame, as disjoint rectangles inside the frame;
    // empty when nothing on screen changed.
    [[nodiscard]] std::vector<Rect> endFrame();
    // The next frame damages everything.
    void invalidate() { m_everything = true; }
    // Each rectangle grown, within the frame, until every layer of the last frame whose
    // edges are off the pixel grid is wholly inside it or wholly outside it.
    [[nodiscard]] std::vector<Rect> enclosingEdges(std::vector<Rect>) const;

private:
    // What a layer's own painting is made of, compared by value or by identity
    // (a weak link that still points at the same live object).
    struct Appearance {
        CGRect bounds {};
        double opacity = 0;
        CGColorRef::weak_type background;
        const void* backgroundId = nullptr;
        CGImageRef::weak_type contents;
        const void* contentsId = nullptr;
        CGImageRef::weak_type previousContents;
        const void* previousContentsId = nullptr;
        double contentsFraction = 1;
        int gravity = 0;
        CGFloat contentsScale = 1;
        CGFloat cornerRadius = 0;
        CGFloat borderWidth = 0;
        CGColorRef::weak_type border;
        const void* borderId = nullptr;
        bool masksToBounds = false;
        // Gradient and shape layers.
        std::vector<std::pair<CGColorRef::weak_type, const void*>> colors;
        std::optional<std::vector<CGFloat>> locations;
        CGPoint startPoint {}, endPoint {};
        CGPathRef::weak_type path;
        const void* pathId = nullptr;
        CGColorRef::weak_type fill, stroke;
        const void* fillId = nullptr;
        const void* strokeId = nullptr;
        CGFloat lineWidth = 0;
        int fillRule = 0;
    };

    struct Record {
        std::weak_ptr<const CALayer> layer;
        const CALayer* superlayer = nullptr;
        const CALayer* drawnBefore = nullptr;
        cairo_matrix_t toDevice {};
        Rect clip {};
        Rect box {};
        // Paints edges off the pixel grid (a path, rounded corners, a turn, a side between
        // pixels): Cairo's rasterising of those can change by a level under a clip.
        bool redrawnWhole = false;
        Appearance appearance;
        unsigned long long frame = 0;
    };

    void addLayer(const CALayer& model, const cairo_matrix_t& superlayerToDevice, bool placeInSuperlayer, const Rect& clip,
        const CALayer* superlayer, const CALayer* drawnBefore, bool throughChanged);
    static Appearance appearanceOf(const CALayer& shown, double opacity);
    static bool sameAppearance(const Appearance&, const Appearance&);
    void damage(const Rect&);

    int m_width = 0;
    int m_height = 0;
    bool m_everything = true;
    unsigned long long m_frame = 0;
    std::unordered_map<const CALayer*, Record> m_records;
    std::vector<Rect> m_damage;
};
