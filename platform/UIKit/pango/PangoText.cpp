#include "UIKit/pango/PangoText.h"

#include "CoreGraphics/cairo/CairoContext.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"
#include "UIKit/UIFont.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <pango/pangocairo.h>
#include <vector>

namespace PangoText {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template<typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct DescriptionFree {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
using DescriptionPtr = std::unique_ptr<PangoFontDescription, DescriptionFree>;

struct IterFree {
    void operator()(PangoLayoutIter* iter) const { pango_layout_iter_free(iter); }
};
using IterPtr = std::unique_ptr<PangoLayoutIter, IterFree>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

double points(int pangoUnits)
{
    return static_cast<double>(pangoUnits) / PANGO_SCALE;
}

// Pango keeps lengths in ints: whatever comes in must land in their range.
int pangoUnits(double points)
{
    if (std::isnan(points))
        return 0;
    return static_cast<int>(std::lround(std::clamp(points * PANGO_SCALE, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX))));
}

std::string_view prefix(std::string_view text, size_t length)
{
    if (text.size() <= length)
        return text;
    // Back off to the start of a character the cut would split.
    size_t end = length;
    while (end > length - 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

// Pango takes only valid UTF-8 (it warns, and worse, on anything else).
std::string validText(std::string_view text, size_t maximumLength)
{
    text = prefix(text, maximumLength);
    if (text.empty())
        return {};
    std::unique_ptr<gchar, GFree> valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    // Each invalid byte grew into a three-byte replacement character.
    return std::string(prefix(valid.get(), maximumLength));
}

// Pango measures in ints of 1/1024 point, so a line (or a column of lines) must stay under
// two million points: text is cut to a million points at one em per byte.
size_t laidOutLength(CGFloat pointSize)
{
    return std::min(UIStringDrawing::maximumTextLength, static_cast<size_t>((1 << 20) / std::max(static_cast<double>(pointSize), 1.0)));
}

// Every layout is made with the same options, in points, wherever it is drawn.
GObjectPtr<PangoContext> makeContext()
{
    GObjectPtr<PangoContext> context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    cairo_font_options_t* options = cairo_font_options_create();
    // Metrics hinted to one scale's pixels would measure differently at another.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context.get(), options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context.get(), FALSE);
    return context;
}

DescriptionPtr sizedDescription(const std::string& description, CGFloat pointSize)
{
    DescriptionPtr sized(pango_font_description_from_string(description.c_str()));
    pango_font_description_set_absolute_size(sized.get(), pangoUnits(pointSize));
    return sized;
}

GObjectPtr<PangoLayout> makeLayout(PangoContext* context, const std::string& description, CGFloat pointSize)
{
    GObjectPtr<PangoLayout> layout(pango_layout_new(context));
    pango_layout_set_font_description(layout.get(), sizedDescription(description, pointSize).get());
    // Left and right are the box's sides, whatever the direction of the script.
    pango_layout_set_auto_dir(layout.get(), FALSE);
    // A word broken at a character goes on without a hyphen, as on the platform.
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
    pango_layout_set_attributes(layout.get(), attributes);
    pango_attr_list_unref(attributes);
    return layout;
}

PangoEllipsizeMode ellipsizeMode(NSLineBreakMode mode)
{
    switch (mode) {
    case NSLineBreakByTruncatingHead: return PANGO_ELLIPSIZE_START;
    case NSLineBreakByTruncatingTail: return PANGO_ELLIPSIZE_END;
    case NSLineBreakByTruncatingMiddle: return PANGO_ELLIPSIZE_MIDDLE;
    default: return PANGO_ELLIPSIZE_NONE;
    }
}

PangoAlignment pangoAlignment(NSTextAlignment alignment)
{
    switch (alignment) {
    case NSTextAlignmentCenter: return PANGO_ALIGN_CENTER;
    case NSTextAlignmentRight: return PANGO_ALIGN_RIGHT;
    default: return PANGO_ALIGN_LEFT;
    }
}

// Pango's time to lay out grows with the number of paragraphs times the length of the text.
std::string_view firstParagraphs(std::string_view text, int count)
{
    size_t start = 0;
    for (int paragraph = 1; start < text.size(); ++paragraph) {
        int delimiter = 0, next = 0;
        pango_find_paragraph_boundary(text.data() + start, static_cast<int>(text.size() - start), &delimiter, &next);
        if (paragraph == count)
            return text.substr(0, start + static_cast<size_t>(delimiter));
        start += static_cast<size_t>(next);
    }
    return text;
}

// Bytes of overlong words times the lines made of them, about 100 ns each.
constexpr double characterFallbackBudget = 1 << 20;

// Sets how the layout's lines wrap. Words that fit a line wrap alike whether or not an
// overlong word may fall back to character breaks, but Pango pays for that fallback by
// rescanning the word for every line made of it: past the budget, every line breaks at
// characters instead.
void chooseWrap(PangoLayout* layout, NSLineBreakMode mode)
{
    if (mode == NSLineBreakByCharWrapping) {
        pango_layout_set_wrap(layout, PANGO_WRAP_CHAR);
        return;
    }
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    double width = std::max(pango_layout_get_width(layout), 1);
    double fallbackCost = 0;
    IterPtr iter(pango_layout_get_iter(layout));
    do {
        PangoRectangle line;
        pango_layout_iter_get_line_extents(iter.get(), nullptr, &line);
        if (line.width > width)
            fallbackCost += pango_layout_iter_get_line_readonly(iter.get())->length * std::ceil(line.width / width);
    } while (pango_layout_iter_next_line(iter.get()));
    if (fallbackCost > 0)
        pango_layout_set_wrap(layout, fallbackCost <= characterFallbackBudget ? PANGO_WRAP_WORD_CHAR : PANGO_WRAP_CHAR);
}

struct LaidOutBlock {
    GObjectPtr<PangoContext> context;
    GObjectPtr<PangoLayout> layout;
    int lineCount = 0;  // of the layout's lines, those drawn
    CGSize size;
};

LaidOutBlock layOut(const Block& block, const UIFont& font)
{
    LaidOutBlock laidOut;
    laidOut.context = makeContext();
    laidOut.layout = makeLayout(laidOut.context.get(), font.description(), font.pointSize());
    PangoLayout* layout = laidOut.layout.get();
    pango_layout_set_alignment(layout, pangoAlignment(block.alignment));
    bool clips = block.lineBreakMode == NSLineBreakByClipping;
    bool ellipsizes = false;
    if (block.width) {
        pango_layout_set_width(layout, pangoUnits(*block.width));
        PangoEllipsizeMode ellipsize = ellipsizeMode(block.lineBreakMode);
        if (block.height && ellipsize != PANGO_ELLIPSIZE_NONE) {
            // Pango keeps the lines that fit the height and puts the ellipsis in the last.
            pango_layout_set_ellipsize(layout, ellipsize);
            pango_layout_set_height(layout, pangoUnits(*block.height));
            ellipsizes = true;
        }
    }
    std::string text = validText(block.text, laidOutLength(font.pointSize()));
    std::string_view paragraphs = firstParagraphs(text, UIStringDrawing::maximumParagraphCount);
    pango_layout_set_text(layout, paragraphs.data(), static_cast<int>(paragraphs.size()));
    if (block.width)
        chooseWrap(layout, block.lineBreakMode);

    double heightLimit = block.height ? static_cast<double>(*block.height) : HUGE_VAL;
    double width = 0, bottom = 0;
    IterPtr iter(pango_layout_get_iter(layout));
    do {
        PangoRectangle line;
        pango_layout_iter_get_line_extents(iter.get(), nullptr, &line);
        double top = points(line.y), lineBottom = points(line.y) + points(line.height);
        bool fits = ellipsizes || (clips ? top < heightLimit : lineBottom <= heightLimit);
        if (laidOut.lineCount && !fits)
            break;
        ++laidOut.lineCount;
        width = std::max(width, points(line.width));
        bottom = lineBottom;
    } while (pango_layout_iter_next_line(iter.get()));
    if (clips) {
        width = std::min(width, block.width ? static_cast<double>(*block.width) : HUGE_VAL);
        bottom = std::min(bottom, heightLimit);
    }
    laidOut.size = CGSizeMake(static_cast<CGFloat>(width), static_cast<CGFloat>(bottom));
    return laidOut;
}

}

std::string fontDescription(std::string_view name)
{
    DescriptionPtr description(pango_font_description_from_string(validText(name, UIStringDrawing::maximumTextLength).c_str()));
    if (!pango_font_description_get_family(description.get()))
        return {};
    pango_font_description_unset_fields(description.get(), PANGO_FONT_MASK_SIZE);
    std::unique_ptr<char, GFree> text(pango_font_description_to_string(description.get()));
    return text.get();
}

std::string systemFontDescription(int weight)
{
    DescriptionPtr description(pango_font_description_from_string("sans"));
    pango_font_description_set_weight(description.get(), static_cast<PangoWeight>(std::clamp(weight, 100, 1000)));
    std::unique_ptr<char, GFree> text(pango_font_description_to_string(description.get()));
    return text.get();
}

Face face(const std::string& description, CGFloat pointSize)
{
    auto context = makeContext();
    Face face;
    GObjectPtr<PangoFont> font(pango_context_load_font(context.get(), sizedDescription(description, pointSize).get()));
    if (font) {
        DescriptionPtr described(pango_font_describe(font.get()));
        pango_font_description_unset_fields(described.get(), static_cast<PangoFontMask>(PANGO_FONT_MASK_SIZE | PANGO_FONT_MASK_GRAVITY | PANGO_FONT_MASK_VARIATIONS));
        std::unique_ptr<char, GFree> name(pango_font_description_to_string(described.get()));
        face.fontName = name.get();
        const char* family = pango_font_description_get_family(described.get());
        face.familyName = family ? family : "";
    }
    // An empty line measures what every line of this font takes at the least.
    auto layout = makeLayout(context.get(), description, pointSize);
    PangoRectangle line;
    pango_layout_get_extents(layout.get(), nullptr, &line);
    face.lineHeight = static_cast<CGFloat>(points(line.height));
    face.ascender = static_cast<CGFloat>(points(pango_layout_get_baseline(layout.get())));
    face.descender = face.ascender - face.lineHeight;
    return face;
}

CGSize size(const Block& block, const UIFont& font)
{
    return layOut(block, font).size;
}

CGSize draw(const CGContextRef& context, CGPoint origin, const Block& block, const UIFont& font)
{
    cairo_t* target = CGContextGetCairo(context);
    if (!target)
        return CGSizeZero;
    LaidOutBlock laidOut = layOut(block, font);
    struct PlacedLine {
        PangoLayoutLine* line;
        double x, baseline;
    };
    std::vector<PlacedLine> lines;
    CGRect ink = CGRectNull;
    IterPtr iter(pango_layout_get_iter(laidOut.layout.get()));
    for (int index = 0; index < laidOut.lineCount; ++index, pango_layout_iter_next_line(iter.get())) {
        PangoRectangle lineInk, line;
        pango_layout_iter_get_line_extents(iter.get(), &lineInk, &line);
        lines.push_back({ pango_layout_iter_get_line_readonly(iter.get()), origin.x + points(line.x), origin.y + points(pango_layout_iter_get_baseline(iter.get())) });
        CGRect placed = CGRectMake(static_cast<CGFloat>(points(lineInk.x)), static_cast<CGFloat>(points(lineInk.y)),
            static_cast<CGFloat>(points(lineInk.width)), static_cast<CGFloat>(points(lineInk.height)));
        ink = CGRectUnion(ink, CGRectOffset(placed, origin.x, origin.y));
    }
    // Cairo's fixed-point device coordinates wrap around: text beyond them would land elsewhere.
    if (!CairoLayerDrawing::isWithinDeviceRange(target, ink))
        return laidOut.size;
    CGContextFillWithCairo(context, [&](cairo_t* cr) {
        if (block.lineBreakMode == NSLineBreakByClipping && (block.width || block.height)) {
            CGRect box = CGRectMake(origin.x, origin.y, block.width.value_or(0), block.height.value_or(0));
            if (!block.width) {
                box.origin.x = CGRectGetMinX(ink);
                box.size.width = CGRectGetWidth(ink);
            }
            if (!block.height) {
                box.origin.y = CGRectGetMinY(ink);
                box.size.height = CGRectGetHeight(ink);
            }
            cairo_rectangle(cr, box.origin.x, box.origin.y, box.size.width, box.size.height);
            cairo_clip(cr);
        }
        // As pango_cairo_show_layout does, for the lines kept.
        for (const auto& line : lines) {
            cairo_move_to(cr, line.x, line.baseline);
            pango_cairo_show_layout_line(cr, line.line);
        }
        cairo_new_path(cr);
    });
    return laidOut.size;
}

}
