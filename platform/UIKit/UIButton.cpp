#include "UIKit/UIButton.h"

#include <algorithm>
#include <cmath>

namespace {

// How the platform's buttons look.
constexpr CGFloat customTitleSize = 15;
constexpr CGFloat systemTitleSize = 17;
// A system button's title while the finger is on it.
constexpr CGFloat highlightedTitleAlpha = 0.2f;
// A custom button's image while highlighted: as if black at this alpha were drawn over it.
constexpr CGFloat highlightedImageDarkening = 1.0f / 3;

UIColorRef defaultTintColor()
{
    return UIColor::colorWithRed(0, 122 / 255.0f, 1, 1);
}

UIColorRef disabledSystemTitleColor()
{
    return UIColor::colorWithWhite(146 / 255.0f, 1);
}

// The same pixels with their colour scaled toward black; alpha is kept, so transparent
// parts stay transparent.
UIImageRef darkened(const UIImage& image)
{
    const CGImageRef& source = image.CGImage();
    if (!source)
        return nullptr;
    const auto keep = static_cast<std::uint32_t>(std::lround((1 - highlightedImageDarkening) * 256));
    std::vector<std::uint32_t> pixels;
    pixels.reserve(source->width() * source->height());
    for (size_t y = 0; y < source->height(); ++y)
        pixels.insert(pixels.end(), source->row(y).begin(), source->row(y).end());
    for (auto& pixel : pixels) {
        std::uint32_t red = ((pixel >> 16 & 0xff) * keep) >> 8, green = ((pixel >> 8 & 0xff) * keep) >> 8, blue = ((pixel & 0xff) * keep) >> 8;
        pixel = (pixel & 0xff000000u) | red << 16 | green << 8 | blue;
    }
    return UIImage::imageWithCGImage(CGImage::create(source->width(), source->height(), std::move(pixels)), image.scale(), image.imageOrientation());
}

// A state's own value, else the normal state's, else nothing.
template<class Value>
const Value* valueForState(const std::map<unsigned, Value>& values, unsigned state)
{
    if (auto found = values.find(state); found != values.end())
        return &found->second;
    if (auto found = values.find(UIControlStateNormal); found != values.end())
        return &found->second;
    return nullptr;
}

template<class Value>
void storeForState(std::map<unsigned, Value>& values, unsigned state, Value value, bool removes)
{
    if (removes)
        values.erase(state);
    else
        values[state] = std::move(value);
}

CGFloat alignedToPixels(CGFloat value, CGFloat scale)
{
    return std::round(value * scale) / scale;
}

}

UIButtonRef UIButton::buttonWithType(UIButtonType type)
{
    auto button = objc::alloc<UIButton>();
    button->m_buttonType = type == UIButtonTypeSystem ? UIButtonTypeSystem : UIButtonTypeCustom;
    button->m_titleLabel->setFont(UIFont::systemFontOfSize(button->m_buttonType == UIButtonTypeSystem ? systemTitleSize : customTitleSize));
    button->updateContent();
    return button;
}

void UIButton::didAllocate()
{
    super::didAllocate();
    m_tintColor = defaultTintColor();
    setOpaque(false);
    m_imageView = objc::alloc<UIImageView>();
    m_imageView->setUserInteractionEnabled(false);
    m_imageView->setContentMode(UIViewContentModeScaleAspectFit);
    m_titleLabel = UILabel::initWithFrame(CGRectZero);
    m_titleLabel->setFont(UIFont::systemFontOfSize(customTitleSize));
    // The platform's buttons keep both ends of a title that does not fit.
    m_titleLabel->setLineBreakMode(NSLineBreakByTruncatingMiddle);
    addSubview(m_imageView);
    addSubview(m_titleLabel);
    updateContent();
}

void UIButton::setTitle(std::string title, unsigned state)
{
    bool removes = title.empty();
    storeForState(m_titles, state, std::move(title), removes);
    updateContent();
}

const std::string& UIButton::titleForState(unsigned state) const
{
    static const std::string none;
    const std::string* title = valueForState(m_titles, state);
    return title ? *title : none;
}

void UIButton::setTitleColor(UIColorRef color, unsigned state)
{
    bool removes = !color;
    storeForState(m_titleColors, state, std::move(color), removes);
    updateContent();
}

UIColorRef UIButton::titleColorForState(unsigned state) const
{
    const UIColorRef* color = valueForState(m_titleColors, state);
    return color ? *color : nullptr;
}

void UIButton::setImage(UIImageRef image, unsigned state)
{
    bool removes = !image;
    storeForState(m_images, state, std::move(image), removes);
    updateContent();
}

UIImageRef UIButton::imageForState(unsigned state) const
{
    const UIImageRef* image = valueForState(m_images, state);
    return image ? *image : nullptr;
}

UIColorRef UIButton::currentTitleColor() const
{
    unsigned state = this->state();
    if (auto own = m_titleColors.find(state); own != m_titleColors.end())
        return own->second;
    UIColorRef normal = titleColorForState(UIControlStateNormal);
    if (m_buttonType == UIButtonTypeCustom)
        return normal ? normal : UIColor::whiteColor();
    if (state & UIControlStateDisabled)
        return disabledSystemTitleColor();
    UIColorRef color = normal ? normal : m_tintColor;
    if (state & UIControlStateHighlighted)
        return color->colorWithAlphaComponent(CGColorGetAlpha(color->CGColor()) * highlightedTitleAlpha);
    return color;
}

void UIButton::setTintColor(UIColorRef color)
{
    m_tintColor = color ? std::move(color) : defaultTintColor();
    updateContent();
}

void UIButton::setAdjustsImageWhenHighlighted(bool adjusts)
{
    m_adjustsImageWhenHighlighted = adjusts;
    updateContent();
}

void UIButton::setEnabled(bool enabled)
{
    super::setEnabled(enabled);
    updateContent();
}

void UIButton::setSelected(bool selected)
{
    super::setSelected(selected);
    updateContent();
}

void UIButton::setHighlighted(bool highlighted)
{
    super::setHighlighted(highlighted);
    updateContent();
}

UIImageRef UIButton::displayedImage() const
{
    UIImageRef image = currentImage();
    bool darkens = image && m_buttonType == UIButtonTypeCustom && m_adjustsImageWhenHighlighted && isHighlighted()
        && !m_images.contains(state());
    if (!darkens)
        return image;
    if (m_darkenedSource != image) {
        m_darkenedImage = darkened(*image);
        m_darkenedSource = image;
    }
    return m_darkenedImage ? m_darkenedImage : image;
}

void UIButton::updateContent()
{
    // Made in didAllocate, which sets the views up before anything else can ask.
    if (!m_titleLabel || !m_imageView)
        return;
    const std::string& title = currentTitle();
    m_titleLabel->setText(title);
    m_titleLabel->setTextColor(currentTitleColor());
    m_titleLabel->setHidden(title.empty());
    UIImageRef image = displayedImage();
    if (m_imageView->image() != image)
        m_imageView->setImage(image);
    m_imageView->setHidden(!image);
    setNeedsLayout();
}

CGSize UIButton::titleSize() const
{
    if (m_titleLabel->isHidden())
        return CGSizeZero;
    return m_titleLabel->sizeThatFits(CGSizeZero);
}

CGSize UIButton::imageSize() const
{
    UIImageRef image = m_imageView->isHidden() ? nullptr : m_imageView->image();
    return image ? image->size() : CGSizeZero;
}

CGSize UIButton::sizeThatFits(CGSize) const
{
    CGSize image = imageSize(), title = titleSize();
    return CGSizeMake(std::ceil(image.width + title.width), std::ceil(std::max(image.height, title.height)));
}

void UIButton::sizeToFit()
{
    CGRect frame = this->frame();
    frame.size = sizeThatFits(frame.size);
    setFrame(frame);
}

void UIButton::layoutSubviews()
{
    CGRect bounds = this->bounds();
    CGFloat scale = contentScaleFactor();
    CGSize image = imageSize(), title = titleSize();
    // An image larger than the button shrinks to fit it, keeping its shape.
    if (image.width > bounds.size.width || image.height > bounds.size.height) {
        CGFloat shrink = std::min(bounds.size.width / image.width, bounds.size.height / image.height);
        image = CGSizeMake(image.width * shrink, image.height * shrink);
    }
    // The title gets what the image leaves; the label truncates the rest.
    title.width = std::min(title.width, std::max<CGFloat>(0, bounds.size.width - image.width));
    CGFloat left = bounds.origin.x + alignedToPixels((bounds.size.width - image.width - title.width) / 2, scale);
    auto centredVertically = [&](CGFloat height) { return bounds.origin.y + alignedToPixels((bounds.size.height - height) / 2, scale); };
    m_imageView->setFrame(CGRectMake(left, centredVertically(image.height), image.width, image.height));
    m_titleLabel->setFrame(CGRectMake(left + image.width, centredVertically(title.height), title.width, title.height));
}
