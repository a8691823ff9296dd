#pragma once

#include "UIKit/UIColor.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIViewController.h"

class KZColorPicker;
class KZDefaultColorViewController;

class KZDefaultColorControllerDelegate {
public:
    virtual ~KZDefaultColorControllerDelegate() = default;
    virtual void defaultColorControllerDidChangeColor(KZDefaultColorViewController&, const UIColorRef&) = 0;
};

// The "Use Color" tab: the colour picker over the whole tab, "Save" to store the
// picked colour in the Settings file, "TurnOn"/"TurnOff" for the colour switch, and a
// follow button with its label. The view hierarchy and the navigation item own the
// picker, the buttons and the label; the controller keeps only the colour.
class KZDefaultColorViewController : public UIViewController {
    OBJC_CLASS(KZDefaultColorViewController, UIViewController)

    UIViewControllerRef initWithNibName(std::string_view nibName, NSBundle* bundle) override;
    void loadView() override;
    void viewDidLoad() override;

    void pickerChanged(const std::shared_ptr<UIControl>& picker);
    void switchChange();
    void saveSelecetColor();
    void saveColorwithColor(const UIColorRef&);
    [[nodiscard]] bool isSwitch() const;
    void getColorFromSetting();
    void fllowmePress();

    [[nodiscard]] bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) override { return true; }
    [[nodiscard]] CGSize contentSizeForViewInPopover() const override { return CGSizeMake(320, 416); }

    [[nodiscard]] const UIColorRef& selectedColor() const { return m_selectedColor; }
    void setSelectedColor(UIColorRef color) { m_selectedColor = std::move(color); }
    [[nodiscard]] std::shared_ptr<KZDefaultColorControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<KZDefaultColorControllerDelegate> delegate) { m_delegate = std::move(delegate); }

    // The maker's profile, in the network's own application and on the web.
    static constexpr const char* profileAppURL = "twitter://user?screen_name=Tessary8App";
    static constexpr const char* profileWebURL = "https://twitter.com/Tessary8App";

private:
    UIColorRef m_selectedColor;
    std::weak_ptr<KZDefaultColorControllerDelegate> m_delegate;
};
