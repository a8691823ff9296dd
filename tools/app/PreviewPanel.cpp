#include "PreviewPanel.h"

#include "Foundation/NSDictionary.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIStringDrawing.h"
#include "shared/SharedFiles.h"

namespace PreviewPanel {

namespace {

constexpr CGFloat margin = 20;

void fill(const CGContextRef& context, CGFloat white, CGRect rect)
{
    CGContextSetFillColorWithColor(context, UIColor::colorWithWhite(white, 1)->CGColor());
    CGContextFillRect(context, rect);
}

}

std::string caption()
{
    auto settings = NSMutableDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
    // The switches are on while their key is present; a missing file has neither.
    auto state = [&](const char* key) { return settings && settings->objectForKey(key) ? "On" : "Off"; };
    return std::string("Use Color: ") + state(SharedFiles::colorSwitchKey) + " · Use Image: " + state(SharedFiles::imageSwitchKey);
}

CGImageRef draw(const std::optional<KeyboardPreview::Build>& build, CGFloat height, CGFloat scale)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), true, scale);
    auto context = UIGraphicsGetCurrentContext();
    fill(context, 0.16f, CGRectMake(0, 0, width, height));

    CGFloat keyboardTop = height;
    if (build && build->image) {
        CGSize keyboard = build->image->size();
        // Wider keyboards (a pad's) are shrunk to the panel, keeping their proportions.
        CGFloat fit = std::min<CGFloat>(1, (width - 2 * margin) / keyboard.width);
        CGRect frame = CGRectMake((width - keyboard.width * fit) / 2, height - keyboard.height * fit, keyboard.width * fit, keyboard.height * fit);
        build->image->drawInRect(frame);
        keyboardTop = frame.origin.y;
    }

    CGContextSetFillColorWithColor(context, UIColor::whiteColor()->CGColor());
    UIStringDrawing::drawInRect("Keyboard preview", CGRectMake(margin, margin, width - 2 * margin, 24), UIFont::boldSystemFontOfSize(17),
        NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
    CGContextSetFillColorWithColor(context, UIColor::colorWithWhite(0.8f, 1)->CGColor());
    UIStringDrawing::drawInRect(caption(), CGRectMake(margin, margin + 28, width - 2 * margin, 20), UIFont::systemFontOfSize(14),
        NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
    std::string problem = !build ? "Building the keyboard…" : build->error;
    if (!problem.empty()) {
        CGContextSetFillColorWithColor(context, UIColor::colorWithRed(1, 0.6f, 0.55f, 1)->CGColor());
        CGFloat top = margin + 56;
        UIStringDrawing::drawInRect(problem, CGRectMake(margin, top, width - 2 * margin, std::max<CGFloat>(20, keyboardTop - top - 8)),
            UIFont::systemFontOfSize(13), NSLineBreakByTruncatingTail, NSTextAlignmentCenter);
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image ? image->CGImage() : nullptr;
}

}
