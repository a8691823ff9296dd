#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"

#include <map>
#include <memory>
#include <string>

enum UIButtonType : int {
    UIButtonTypeCustom = 0,
    UIButtonTypeSystem = 1,
};

class UIButton;
using UIButtonRef = std::shared_ptr<UIButton>;

// A control that shows a title and an image chosen by its state. Each of title, title
// colour and image is set per state (normal, highlighted, disabled, selected, or a
// combination); a state without a value of its own shows the normal state's. The title
// label and the image view are subviews that layoutSubviews places side by side, image
// first, centred together in the bounds; whichever has nothing to show is hidden.
//
// Custom buttons draw a 15-point white title and darken their image while highlighted.
// System buttons draw a 17-point title (what bar button items show) in the tint colour,
// grey while disabled, and faded while highlighted, unless a title colour is set for the
// state.
class UIButton : public UIControl {
    OBJC_CLASS(UIButton, UIControl)
    // Any other type makes a custom button.
    [[nodiscard]] static UIButtonRef buttonWithType(UIButtonType);

    [[nodiscard]] UIButtonType buttonType() const { return m_buttonType; }

    // An empty title, or a nil colour or image, removes the state's own value.
    void setTitle(std::string title, unsigned state);
    [[nodiscard]] const std::string& titleForState(unsigned state) const;
    void setTitleColor(UIColorRef, unsigned state);
    // nil where neither the state nor normal has a colour of its own (a system button then uses its tint).
    [[nodiscard]] UIColorRef titleColorForState(unsigned state) const;
    void setImage(UIImageRef, unsigned state);
    [[nodiscard]] UIImageRef imageForState(unsigned state) const;

    // For the present state.
    [[nodiscard]] const std::string& currentTitle() const { return titleForState(state()); }
    // What the title is drawn in now.
    [[nodiscard]] UIColorRef currentTitleColor() const;
    [[nodiscard]] UIImageRef currentImage() const { return imageForState(state()); }

    // The views; a title label's font may be changed, its text and colour come from the button.
    [[nodiscard]] const UILabelRef& titleLabel() const { return m_titleLabel; }
    [[nodiscard]] const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }

    // RGB (0, 122, 255) unless set; nil sets that again.
    [[nodiscard]] const UIColorRef& tintColor() const { return m_tintColor; }
    void setTintColor(UIColorRef);
    // Custom buttons darken their image while highlighted unless this is off.
    [[nodiscard]] bool adjustsImageWhenHighlighted() const { return m_adjustsImageWhenHighlighted; }
    void setAdjustsImageWhenHighlighted(bool);

    // The image and the title side by side, in whole points.
    [[nodiscard]] CGSize sizeThatFits(CGSize) const;
    void sizeToFit();

    void setEnabled(bool) override;
    void setSelected(bool) override;
    void setHighlighted(bool) override;
    void layoutSubviews() override;

protected:
    void didAllocate() override;

private:
    // Shows the present state's title, colour and image.
    void updateContent();
    [[nodiscard]] UIImageRef displayedImage() const;
    [[nodiscard]] CGSize titleSize() const;
    [[nodiscard]] CGSize imageSize() const;

    UIButtonType m_buttonType = UIButtonTypeCustom;
    UILabelRef m_titleLabel;
    std::shared_ptr<UIImageView> m_imageView;
    std::map<unsigned, std::string> m_titles;
    std::map<unsigned, UIColorRef> m_titleColors;
    std::map<unsigned, UIImageRef> m_images;
    UIColorRef m_tintColor;
    bool m_adjustsImageWhenHighlighted = true;
    // The last image darkened for the highlighted state, and what it was made from.
    mutable UIImageRef m_darkenedSource;
    mutable UIImageRef m_darkenedImage;
};
