#pragma once

// What the units drawing into a CGContext share; not for other frameworks, which
// reach the Cairo side through CairoContext.h.

#include "CoreGraphics/CGContext.h"

#include <cairo.h>
#include <functional>
#include <vector>

struct CGContext {
    cairo_surface_t* surface = nullptr;
    cairo_t* cairo = nullptr;
    size_t width = 0;
    size_t height = 0;
    // The pixels the surface draws into when the caller shares them (CGBitmapContextCreateWithSharedPixels).
    CGSharedPixels sharedPixels;
    struct State {
        CGColorRef fill;
        CGColorRef stroke;
        double alpha = 1;
        cairo_filter_t filter = CAIRO_FILTER_GOOD;
        struct Shadow {
            CGSize offset;
            CGFloat blur = 0;
            CGColorRef color;  // none: no shadow
        } shadow;
    };
    std::vector<State> states { State {} };
    // In device pixels: the CTM of each point is applied when the point is added.
    CGMutablePathRef path = CGPathCreateMutable();
    double baseScale = 1;
    std::vector<double> layerAlphas;
    // The state depth each open transparency layer began at: Cairo keeps the layer's
    // group in its state stack, so a restore must not reach below it.
    std::vector<size_t> layerDepths;

    ~CGContext()
    {
        if (cairo)
            cairo_destroy(cairo);
        if (surface)
            cairo_surface_destroy(surface);
    }
    State& state() { return states.back(); }
};

namespace CGCairo {

// Ties a Cairo context to the CGContext that made it.
inline cairo_user_data_key_t contextKey;

// The CTM with the device flip: user space to Cairo's device pixels (y down).
[[nodiscard]] CGAffineTransform userToDevice(const CGContext&);

// Runs paint, which paints with Cairo's source, after making the colour the source at the
// state's alpha (black for nil), as fills and strokes are painted.
void paintWithColor(CGContext&, const CGColorRef&, const std::function<void()>& paint);

// Runs draw, which paints with Cairo under the current state; with a shadow set, the
// drawing goes to a group first and the shadow is painted under it. Either way the
// blend mode applies to the shadow and to the shape.
void drawWithShadow(CGContext&, const std::function<void()>& draw);

}
