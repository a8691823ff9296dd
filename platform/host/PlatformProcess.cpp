#include "host/PlatformProcess.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/NSLog.h"
#include "UIKit/UIKit.h"
#include "substrate/Loader.h"

void PlatformProcess::start(const Options& options)
{
    Foundation::setProcessName(options.name);
    DeviceRoot::set(options.deviceRoot);
    UIKit::registerClasses();
    substrate::Loader::loadLibraries({ options.name, options.bundles });
}
