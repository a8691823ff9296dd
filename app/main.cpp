#include "app/main.h"

#include "UIKit/UIApplication.h"
#include "app/AppDelegate.h"
#include "app/KZDefaultColorViewController.h"
#include "app/image/IMageSelecetViewController.h"

namespace Tessary8App {

void registerClasses()
{
    for (Class cls : { AppDelegate::runtimeClass(), KZDefaultColorViewController::runtimeClass(), IMageSelecetViewController::runtimeClass(),
             ImageCropperView::runtimeClass() })
        (void)cls;
}

int main(int argc, char** argv)
{
    registerClasses();
    return UIApplicationMain(argc, argv, nullptr, "AppDelegate");
}

}
