#pragma once

#include <cairo.h>

namespace Pictures {

// Every picture is drawn in points: the context arrives scaled to the picture's pixels,
// and width × height is its size in points.
using DrawFunction = void (*)(cairo_t*, double width, double height);

// The colour picker's controls.
void drawColorWheel(cairo_t*, double width, double height);
void drawKnob(cairo_t*, double width, double height);
void drawCheckerboard(cairo_t*, double width, double height);
void drawCheckmark(cairo_t*, double width, double height);

// The application's tab bar and follow button.
void drawColorTabIcon(cairo_t*, double width, double height);
void drawColorTabIconSelected(cairo_t*, double width, double height);
void drawImageTabIcon(cairo_t*, double width, double height);
void drawImageTabIconSelected(cairo_t*, double width, double height);
void drawFollowBadge(cairo_t*, double width, double height);

// Landscapes for the picture background.
void drawDemoBackdrop(cairo_t*, double width, double height);
void drawDemoPhoto(cairo_t*, double width, double height);

}
