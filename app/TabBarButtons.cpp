#include "app/TabBarButtons.h"

#include "Foundation/LockedUpdate.h"
#include "Foundation/NSDictionary.h"
#include "UIKit/UIAlertView.h"
#include "shared/SharedFiles.h"

namespace TabBarButtons {

UIColorRef red()
{
    return UIColor::colorWithRed(1, 0, 0, 1);
}

bool isSwitchOn(std::string_view key)
{
    auto settings = NSMutableDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
    return settings && settings->objectForKey(key);
}

void showSwitchState(UIBarButtonItem& button, std::string_view key)
{
    button.setTitle(isSwitchOn(key) ? turnOffTitle : turnOnTitle);
}

void flipSwitch(UIBarButtonItem& button, std::string_view key)
{
    bool turningOn = button.title() == turnOnTitle;
    button.setTitle(turningOn ? turnOffTitle : turnOnTitle);
    // Only an existing Settings file is changed: a switch alone means nothing without a colour.
    (void)Foundation::updateDictionaryFile(SharedFiles::settingsPath, SharedFiles::settingsLockPath, false, [&](NSMutableDictionary& settings) {
        if (turningOn)
            settings.setObjectForKey("1", std::string(key));
        else
            settings.removeObjectForKey(key);
    });
}

void showSaveResult(const std::optional<std::string>& failure)
{
    // A save that stored nothing must not say it succeeded.
    auto alert = failure ? UIAlertView::initWithTitle("Save Failed", *failure, {}, "OK", {})
                         : UIAlertView::initWithTitle("Save Success",
                             "You can press \u3010turn on\u3011button and reopen you application to see the new keyboard now!", {}, "OK", {});
    alert->show();
}

}
