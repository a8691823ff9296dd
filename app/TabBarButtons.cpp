#include "app/TabBarButtons.h"

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
    auto settings = NSMutableDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
    if (button.title() == turnOnTitle) {
        button.setTitle(turnOffTitle);
        if (settings)
            settings->setObjectForKey("1", std::string(key));
    } else {
        button.setTitle(turnOnTitle);
        if (settings)
            settings->removeObjectForKey(key);
    }
    if (settings)
        (void)settings->writeToFile(SharedFiles::settingsPath, true);
}

void showSaveSuccess()
{
    auto alert = UIAlertView::initWithTitle("Save Success",
        "You can press \u3010turn on\u3011button and reopen you application to see the new keyboard now!", {}, "OK", {});
    alert->show();
}

}
