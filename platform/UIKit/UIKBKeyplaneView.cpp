#include "UIKit/UIKBKeyplaneView.h"

#include "CoreGraphics/cairo/CairoContext.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIStringDrawing.h"

#include <cmath>

namespace {

// The portrait phone keyboard's measures (320 × 216 points); other sizes scale them.
constexpr CGFloat referenceWidth = 320;
constexpr CGFloat referenceHeight = 216;
constexpr CGFloat sideMargin = 3;
constexpr CGFloat keyGap = 6;
constexpr CGFloat topMargin = 11;
constexpr CGFloat keyHeight = 39;
constexpr CGFloat rowGap = 15;

struct KeyColors {
    double key[4];
    double functionKey[4];
    double legend[4];
    double shadow[4];
};

constexpr KeyColors lightColors { { 1, 1, 1, 1 }, { 0.67, 0.70, 0.73, 1 }, { 0, 0, 0, 1 }, { 0.53, 0.54, 0.56, 1 } };
constexpr KeyColors darkColors { { 0.35, 0.35, 0.35, 0.75 }, { 0.2, 0.2, 0.2, 0.75 }, { 1, 1, 1, 1 }, { 0, 0, 0, 0.35 } };

void roundedRectangle(cairo_t* cr, CGRect rect, double radius)
{
    double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    radius = std::min({ radius, w / 2, h / 2 });
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Centred in the key, one line high.
void drawLegend(const std::string& legend, CGRect frame, const UIFontRef& font)
{
    CGFloat height = UIStringDrawing::sizeWithFont(legend, font).height;
    CGRect line = CGRectMake(frame.origin.x, frame.origin.y + (frame.size.height - height) / 2, frame.size.width, height);
    UIStringDrawing::drawInRect(legend, line, font, NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
}

}

std::shared_ptr<UIKBKeyplaneView> UIKBKeyplaneView::initWithFrame(CGRect frame, bool lightKeyboard)
{
    auto view = objc::alloc<UIKBKeyplaneView>();
    view->m_lightKeyboard = lightKeyboard;
    view->setFrame(frame);
    view->layoutKeys();
    view->setNeedsDisplay();
    return view;
}

void UIKBKeyplaneView::layoutKeys()
{
    m_keys.clear();
    CGSize size = bounds().size;
    CGFloat sx = size.width / referenceWidth;
    CGFloat sy = size.height / referenceHeight;
    CGFloat gap = keyGap * sx;
    CGFloat keyWidth = (size.width - 2 * sideMargin * sx - 9 * gap) / 10;
    CGFloat height = keyHeight * sy;
    auto rowTop = [&](int row) { return (topMargin + row * (keyHeight + rowGap)) * sy; };
    auto letterRow = [&](const char* letters, int row) {
        std::string text(letters);
        CGFloat rowWidth = static_cast<CGFloat>(text.size()) * keyWidth + static_cast<CGFloat>(text.size() - 1) * gap;
        CGFloat x = (size.width - rowWidth) / 2;
        for (char letter : text) {
            m_keys.push_back({ std::string(1, letter), CGRectMake(x, rowTop(row), keyWidth, height), false });
            x += keyWidth + gap;
        }
    };
    letterRow("QWERTYUIOP", 0);
    letterRow("ASDFGHJKL", 1);
    letterRow("ZXCVBNM", 2);

    CGFloat functionWidth = keyWidth * 1.4f;
    CGFloat margin = sideMargin * sx;
    m_keys.push_back({ "⇧", CGRectMake(margin, rowTop(2), functionWidth, height), true });
    m_keys.push_back({ "⌫", CGRectMake(size.width - margin - functionWidth, rowTop(2), functionWidth, height), true });

    CGFloat numbersWidth = keyWidth * 1.5f + gap / 2;
    CGFloat returnWidth = keyWidth * 3 + gap * 2;
    m_keys.push_back({ "123", CGRectMake(margin, rowTop(3), numbersWidth, height), true });
    CGFloat spaceX = margin + numbersWidth + gap;
    CGFloat returnX = size.width - margin - returnWidth;
    m_keys.push_back({ "space", CGRectMake(spaceX, rowTop(3), returnX - gap - spaceX, height), false });
    m_keys.push_back({ "return", CGRectMake(returnX, rowTop(3), returnWidth, height), true });
}

void UIKBKeyplaneView::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    cairo_t* cr = CGContextGetCairo(context);
    if (!cr)
        return;
    const KeyColors& colors = m_lightKeyboard ? lightColors : darkColors;
    CGFloat sy = bounds().size.height / referenceHeight;
    UIFontRef letterFont = UIFont::systemFontOfSize(20 * sy);
    UIFontRef wordFont = UIFont::systemFontOfSize(14 * sy);
    CGContextStateSaver saver(context);
    const double* legend = colors.legend;
    CGContextSetFillColorWithColor(context,
        CGColorCreate(CGColorSpaceCreateDeviceRGB(), { CGFloat(legend[0]), CGFloat(legend[1]), CGFloat(legend[2]), CGFloat(legend[3]) }));
    for (const auto& key : m_keys) {
        const double* fill = key.isFunctionKey ? colors.functionKey : colors.key;
        roundedRectangle(cr, CGRectOffset(key.frame, 0, 1), 5 * sy);
        cairo_set_source_rgba(cr, colors.shadow[0], colors.shadow[1], colors.shadow[2], colors.shadow[3]);
        cairo_fill(cr);
        roundedRectangle(cr, key.frame, 5 * sy);
        cairo_set_source_rgba(cr, fill[0], fill[1], fill[2], fill[3]);
        cairo_fill(cr);
        bool word = key.legend.size() > 1 && static_cast<unsigned char>(key.legend[0]) < 0x80;
        drawLegend(key.legend, key.frame, word ? wordFont : letterFont);
    }
}
