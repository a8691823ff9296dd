#include "QuartzCore/CARenderer.h"

#include "CoreGraphics/cairo/CairoContext.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/cairo/CALayerPainter.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

bool isFinite(CGRect r)
{
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) && std::isfinite(r.size.height);
}

}

void CARenderer::render(const CALayer& layer, const CGContextRef& context, CALayerTree tree)
{
    cairo_t* cr = CGContextGetCairo(context);
    if (!cr || cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_new_path(cr);
    drawLayer(layer, context, tree, false);
    cairo_restore(cr);
}

const CALayer& CARenderer::shownLayer(const CALayer& model, CALayerTree tree, CALayerRef& holder)
{
    if (tree == CALayerTree::Presentation && !model.m_animations.empty()) {
        holder = model.presentationLayer();
        return *holder;
    }
    return model;
}

double CARenderer::drawnOpacity(const CALayer& shown)
{
    const CALayer::Properties& p = shown.m_properties;
    double opacity = std::isnan(p.opacity) ? 1.0 : std::clamp(static_cast<double>(p.opacity), 0.0, 1.0);
    opacity *= shown.m_transition.visibility;
    if (p.hidden || !(opacity > 0) || !isFinite(CGRectStandardize(p.bounds)))
        return 0;
    return opacity;
}

cairo_matrix_t CARenderer::placement(const CALayer& shown)
{
    // Into the superlayer's bounds space at the position, turned about the anchor point,
    // then this layer's own bounds origin.
    const CALayer::Properties& p = shown.m_properties;
    CGRect bounds = CGRectStandardize(p.bounds);
    CGAffineTransform t = CATransform3DGetAffineTransform(p.transform);
    cairo_matrix_t transform;
    cairo_matrix_init(&transform, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_matrix_t toAnchor;
    cairo_matrix_init_translate(&toAnchor, -p.anchorPoint.x * bounds.size.width - bounds.origin.x,
        -p.anchorPoint.y * bounds.size.height - bounds.origin.y);
    cairo_matrix_t toPosition;
    cairo_matrix_init_translate(&toPosition, p.position.x, p.position.y);
    cairo_matrix_t combined;
    cairo_matrix_multiply(&combined, &toAnchor, &transform);
    cairo_matrix_multiply(&combined, &combined, &toPosition);
    return combined;
}

std::vector<const CALayer*> CARenderer::sublayersInDrawingOrder(const CALayer& model)
{
    std::vector<const CALayer*> sublayers;
    sublayers.reserve(model.m_sublayers.size());
    for (const auto& sublayer : model.m_sublayers)
        sublayers.push_back(sublayer.get());
    std::stable_sort(sublayers.begin(), sublayers.end(),
        [](const CALayer* a, const CALayer* b) { return a->m_properties.zPosition < b->m_properties.zPosition; });
    return sublayers;
}

void CARenderer::drawLayer(const CALayer& model, const CGContextRef& context, CALayerTree tree, bool placeInSuperlayer)
{
    cairo_t* cr = CGContextGetCairo(context);
    CALayerRef presentation;
    const CALayer* shown = &shownLayer(model, tree, presentation);
    double opacity = drawnOpacity(*shown);
    if (!(opacity > 0))
        return;
    const CALayer::Properties& p = shown->m_properties;
    CGRect bounds = CGRectStandardize(p.bounds);

    cairo_save(cr);
    // A layer squashed flat (scale 0) shows nothing.
    if (placeInSuperlayer && !CairoLayerDrawing::transformIfInvertible(cr, placement(*shown))) {
        cairo_restore(cr);
        return;
    }
    bool translucent = opacity < 1;
    if (translucent)
        cairo_push_group(cr);

    double radius = CairoLayerDrawing::effectiveCornerRadius(p.cornerRadius, bounds);
    if (p.masksToBounds) {
        CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
        cairo_clip(cr);
    }
    if (p.backgroundColor) {
        CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
        CairoLayerDrawing::fillPath(cr, p.backgroundColor, bounds.origin);
    }
    CALayerPainter::paintContents(*shown, cr);

    for (const CALayer* sublayer : sublayersInDrawingOrder(model))
        drawLayer(*sublayer, context, tree, true);

    double borderWidth = std::isfinite(p.borderWidth) ? p.borderWidth : 0;
    if (borderWidth > 0 && p.borderColor) {
        double shorter = std::min(bounds.size.width, bounds.size.height);
        if (2 * borderWidth >= shorter) {
            // The border meets itself in the middle: the whole shape is border.
            CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
            CairoLayerDrawing::fillPath(cr, p.borderColor, bounds.origin);
        } else {
            double half = borderWidth / 2;
            CGRect inset = CGRectInset(bounds, static_cast<CGFloat>(half), static_cast<CGFloat>(half));
            CairoLayerDrawing::addRoundedRect(cr, inset, std::max(0.0, radius - half), borderWidth);
            cairo_set_line_width(cr, borderWidth);
            CairoLayerDrawing::setSourceColor(cr, p.borderColor, bounds.origin);
            cairo_stroke(cr);
        }
    }

    if (translucent) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, opacity);
    }
    cairo_restore(cr);
}
