#include "app/KZDefaultColorViewController.h"

#include "app/TabBarButtons.h"
#include "Foundation/LockedUpdate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"
#include "KZColorPicker/ColorPicker/KZColorPicker.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIDevice.h"
#include "UIKit/UILabel.h"
#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"
#include "shared/SharedFiles.h"

namespace {

constexpr unsigned flexibleSize = UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight;
static_assert(flexibleSize == 18);

std::shared_ptr<NSMutableDictionary> loadSettings()
{
    return NSMutableDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
}

}

UIViewControllerRef KZDefaultColorViewController::initWithNibName(std::string_view nibName, NSBundle* bundle)
{
    auto self = super::initWithNibName(nibName, bundle);
    if (self)
        self->setTitle("Tessary 8");
    return self;
}

void KZDefaultColorViewController::loadView()
{
    getColorFromSetting();
    CGRect frame = UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad ? CGRectMake(0, 0, 320, 460)
                                                                                               : UIScreen::mainScreen()->applicationFrame();
    auto root = UIView::initWithFrame(frame);
    root->setAutoresizingMask(flexibleSize);
    root->setBackgroundColor(UIColor::clearColor());
    setView(root);

    auto picker = KZColorPicker::initWithFrame(root->bounds());
    picker->setAutoresizingMask(flexibleSize);
    picker->setSelectedColor(m_selectedColor);
    picker->setOldColor(m_selectedColor);
    // Registered only now, so that the events of setting its colours reach no one.
    picker->addTarget(std::static_pointer_cast<KZDefaultColorViewController>(shared_from_this()), &KZDefaultColorViewController::pickerChanged,
        UIControlEventValueChanged);
    root->addSubview(picker);
}

void KZDefaultColorViewController::viewDidLoad()
{
    super::viewDidLoad();
    auto self = std::static_pointer_cast<KZDefaultColorViewController>(shared_from_this());
    if (auto navigation = navigationController()) {
        navigation->setTitle("Use Color");
        navigation->navigationBar()->setBarTintColor(UIColor::colorWithRed(0, 140.0f / 255, 1, 1));
    }
    auto save = UIBarButtonItem::initWithTitle("Save", UIBarButtonItemStylePlain, self, &KZDefaultColorViewController::saveSelecetColor);
    save->setTintColor(TabBarButtons::red());
    navigationItem()->setRightBarButtonItem(save);
    auto colorSwitch = UIBarButtonItem::initWithTitle(TabBarButtons::turnOnTitle, UIBarButtonItemStylePlain, self, &KZDefaultColorViewController::switchChange);
    colorSwitch->setTintColor(TabBarButtons::red());
    navigationItem()->setLeftBarButtonItem(colorSwitch);
    TabBarButtons::showSwitchState(*colorSwitch, SharedFiles::colorSwitchKey);

    auto follow = UIButton::buttonWithType(UIButtonTypeCustom);
    follow->setFrame(CGRectMake(20, 250, 50, 50));
    follow->setImage(UIImage::imageNamed("twitter_icon.png"), UIControlStateNormal);
    follow->addTarget(self, &KZDefaultColorViewController::fllowmePress, UIControlEventTouchDown);
    view()->addSubview(follow);

    auto label = UILabel::initWithFrame(CGRectMake(70, 250, 300, 50));
    label->setText("<<<Follow me may get free copy\U0001F604");
    label->setTextColor(UIColor::colorWithRed(0, 1, 0, 1));
    label->setFont(UIFont::systemFontOfSize(14));
    view()->addSubview(label);
}

void KZDefaultColorViewController::pickerChanged(const std::shared_ptr<UIControl>& sender)
{
    auto picker = std::dynamic_pointer_cast<KZColorPicker>(sender);
    if (!picker)
        return;
    m_selectedColor = picker->selectedColor();
    if (auto observer = delegate())
        observer->defaultColorControllerDidChangeColor(*this, picker->selectedColor());
}

void KZDefaultColorViewController::switchChange()
{
    if (const auto& button = navigationItem()->leftBarButtonItem())
        TabBarButtons::flipSwitch(*button, SharedFiles::colorSwitchKey);
}

void KZDefaultColorViewController::saveSelecetColor()
{
    saveColorwithColor(m_selectedColor);
}

void KZDefaultColorViewController::saveColorwithColor(const UIColorRef& color)
{
    const CGColorRef cgColor = color ? color->CGColor() : nullptr;
    std::optional<std::string> failure;
    if (cgColor && CGColorGetNumberOfComponents(cgColor) > 2) {
        const auto& components = CGColorGetComponents(cgColor);
        // A file that exists but does not parse is left alone; only a missing one is started afresh.
        auto result = Foundation::updateDictionaryFile(SharedFiles::settingsPath, SharedFiles::settingsLockPath, true, [&](NSMutableDictionary& settings) {
            for (size_t i = 0; i < SharedFiles::colorComponentKeys.size(); ++i)
                settings.setObjectForKey(static_cast<float>(components[i]), SharedFiles::colorComponentKeys[i]);
        });
        if (result == Foundation::LockedUpdateResult::Unparsable)
            failure = stringWithFormat("The Settings file %@ could not be read, so it was left as it is and the colour was not stored.",
                std::string(SharedFiles::settingsPath));
        else if (result != Foundation::LockedUpdateResult::Written)
            failure = stringWithFormat("The colour could not be written to %@.", std::string(SharedFiles::settingsPath));
    } else {
        // A grey (the white the tab starts with) has no red, green and blue to store.
        failure = std::string("This colour has no red, green and blue to store: pick one on the wheel or a swatch first.");
    }
    TabBarButtons::showSaveResult(failure);
}

bool KZDefaultColorViewController::isSwitch() const
{
    return TabBarButtons::isSwitchOn(SharedFiles::colorSwitchKey);
}

void KZDefaultColorViewController::getColorFromSetting()
{
    auto settings = loadSettings();
    if (!settings) {
        m_selectedColor = UIColor::whiteColor();
        return;
    }
    auto component = [&](const char* key) -> CGFloat {
        const PropertyListValue* value = settings->objectForKey(key);
        return value ? static_cast<CGFloat>(value->floatValue()) : 0;
    };
    m_selectedColor = UIColor::colorWithRed(component(SharedFiles::redKey), component(SharedFiles::greenKey), component(SharedFiles::blueKey),
        component(SharedFiles::alphaKey));
}

void KZDefaultColorViewController::fllowmePress()
{
    auto application = UIApplication::sharedApplication();
    if (application->canOpenURL(profileAppURL))
        application->openURL(profileAppURL);
    else
        application->openURL(profileWebURL);
}
