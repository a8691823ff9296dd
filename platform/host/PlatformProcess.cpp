#include "host/PlatformProcess.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/NSLog.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIKit.h"
#include "UIKit/UIScreen.h"
#include "host/HeadlessDisplay.h"
#include "substrate/Loader.h"

void PlatformProcess::start(const Options& options)
{
    Foundation::setProcessName(options.name);
    DeviceRoot::set(options.deviceRoot);
    // Refuses here, before any plug-in or file is touched, when there is no root at all.
    (void)DeviceRoot::current();
    UIKit::registerClasses();
    // The application object exists in every platform process: its run-loop observer makes
    // each turn's changes one commit. Without a monitor the screen shows its frames off screen.
    (void)UIApplication::sharedApplication();
    if (!UIScreen::mainScreen()->display())
        UIScreen::mainScreen()->setDisplay(std::make_shared<HeadlessDisplay>());
    substrate::Loader::loadLibraries({ options.name, options.bundles });
}
