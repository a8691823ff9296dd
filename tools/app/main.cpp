// tessary8-app: the settings application in a window of its own, or headless from a script.

#include "Foundation/NSBundle.h"
#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIDevice.h"
#include "UIKit/UIScreen.h"
#include "app/main.h"
#include "Foundation/AtomicFile.h"
#include "UIKit/PhotoLibrary.h"
#include "UIKit/UIImagePickerController.h"
#include "UIKit/UIStatusBar.h"
#include "UIKit/UIWindow.h"
#include "host/DesktopURLOpener.h"
#include "host/PlatformProcess.h"
#include "host/ScriptDriver.h"
#include "host/sdl/SDLWindowHost.h"

#include "../ProgramGuard.h"
#include "Foundation/DeviceRoot.h"
#include "PreviewController.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <ctime>
#include <fstream>
#include <iostream>

namespace {

std::optional<CGSize> parseScreen(const std::string& text)
{
    unsigned width = 0, height = 0;
    char trailing = 0;
    if (std::sscanf(text.c_str(), "%ux%u%c", &width, &height, &trailing) != 2)
        return std::nullopt;
    // From a small phone to a large tablet, in points.
    if (width < 160 || height < 160 || width > 2048 || height > 2048)
        return std::nullopt;
    return CGSizeMake(static_cast<CGFloat>(width), static_cast<CGFloat>(height));
}

// Time passes by the animation clock: in real time in a window, only by the script's waits headless.
void useAnimationClock(NSRunLoop& loop, bool realTime)
{
    CAAnimationClock::shared().setFollowsRealTime(realTime);
    loop.setClock([] { return CACurrentMediaTime(); });
}

// In real time, ended animations retire as the clock passes them, and while any runs the
// loop wakes for the next frame; with nothing moving it sleeps until an event.
void animateInRealTime(NSRunLoop& loop)
{
    auto frameTimer = std::make_shared<int>(0);
    // Before the commit, which is the application's observer at a later order.
    constexpr int beforeCommit = 1000000;
    loop.addObserver(NSRunLoop::BeforeWaiting, beforeCommit, [&loop, frameTimer](NSRunLoop::Activity) {
        auto& clock = CAAnimationClock::shared();
        clock.retireFinishedAnimations();
        if (clock.hasRunningAnimations() && !*frameTimer)
            *frameTimer = loop.addTimer(loop.now() + ScriptDriver::frameInterval, 0, [frameTimer] { *frameTimer = 0; });
    });
}

// The status bar shows the desktop's time in a window, refreshed every few seconds.
void showLocalTime(NSRunLoop& loop)
{
    auto update = [] {
        std::time_t now = std::time(nullptr);
        std::tm local {};
        localtime_r(&now, &local);
        char text[16];
        std::strftime(text, sizeof text, "%I:%M %p", &local);
        std::string shown = text[0] == '0' ? text + 1 : text;
        if (auto bar = UIApplication::sharedApplication()->statusBar())
            bar->setTimeText(shown);
    };
    loop.addTimer(loop.now(), 5, update);
}

std::string shotFileName()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char name[64];
    std::strftime(name, sizeof name, "tessary8-shot-%Y%m%d-%H%M%S.png", &local);
    return name;
}

// A picker on screen shows photos dropped on the window at once.
void reloadShownPickers()
{
    // A presented controller's view lies directly in the window.
    for (auto& window : UIApplication::sharedApplication()->windows()) {
        for (auto& view : window->subviews()) {
            if (auto picker = std::dynamic_pointer_cast<UIImagePickerController>(view->viewController()))
                picker->reloadPhotos();
        }
    }
}

SDLWindowHost::Callbacks windowCallbacks(SDLWindowHost*& host, PreviewController& preview)
{
    SDLWindowHost::Callbacks callbacks;
    callbacks.screenshot = [] {
        auto png = ScriptDriver::screenPNG();
        std::string file = shotFileName();
        if (png && Foundation::writeFileAtomically(file, *png))
            std::cout << "screenshot: " << std::filesystem::absolute(file).string() << std::endl;
        else
            std::cerr << "tessary8-app: could not write the screenshot " << file << "\n";
    };
    callbacks.rotate = [&host, &preview](int) {
        auto application = UIApplication::sharedApplication();
        bool landscape = UIInterfaceOrientationIsLandscape(application->statusBarOrientation());
        if (ScriptDriver::rotate(landscape ? UIInterfaceOrientationPortrait : UIInterfaceOrientationLandscapeLeft) && host) {
            host->resize(UIScreen::mainScreen()->bounds().size);
            preview.screenChanged();
        }
    };
    callbacks.togglePreview = [&preview] { preview.toggle(); };
    callbacks.lifecycle = [](SDLWindowHost::Lifecycle step) {
        using Transition = UIApplication::Transition;
        static constexpr Transition transitions[] = { Transition::ResignActive, Transition::BecomeActive, Transition::EnterBackground,
            Transition::EnterForeground, Transition::Terminate };
        UIApplication::sharedApplication()->handleTransition(transitions[static_cast<int>(step)]);
    };
    callbacks.quit = [] { UIApplication::sharedApplication()->terminate(); };
    callbacks.filesDropped = [](std::vector<std::string> files) {
        for (const auto& file : files) {
            auto bytes = Foundation::readWholeFile(file, PhotoLibrary::maximumPhotoFileSize);
            auto added = bytes ? PhotoLibrary::addPhoto(*bytes) : PhotoLibrary::Addition { {}, "cannot be read" };
            if (added.devicePath.empty())
                std::cerr << "tessary8-app: " << file << " was not added to the photo library: " << added.error << "\n";
            else
                std::cout << "added to the photo library: " << added.devicePath << std::endl;
        }
        reloadShownPickers();
    };
    return callbacks;
}

int run(int argc, char** argv)
{
    CLI::App app { "The Tessary8 settings application in a window of a phone's screen, or headless from a script.\n"
                   "Script commands, one a line: tap X,Y; drag X1,Y1 X2,Y2 [STEPS]; pinch CX,CY FROM TO [STEPS] (two fingers mirrored "
                   "about the point, their distance going from FROM to TO points); rotate CX,CY DEGREES [STEPS] (two fingers 100 points "
                   "apart turning about the point, clockwise positive); button TITLE; tab TITLE; orientation portrait|landscape; "
                   "wait SECONDS; shot FILE; preview FILE (the keyboard of the live preview, once it shows the shared files as they "
                   "are); dump; log; quit.\n"
                   "In the window the mouse is one finger, Ctrl+S writes a screenshot, Ctrl+Left/Right turns the device, F2 shows or "
                   "hides the keyboard preview beside the phone." };
    std::string root, screenText = "320x480", idiom = "phone", scriptPath;
    double scale = 2;
    bool headless = false;
    bool noPreview = false;
    app.add_option("--root", root, "Device root folder (default: $TESSARY8_ROOT, else $XDG_DATA_HOME/tessary8/device)");
    app.add_option("--scale", scale, "Pixels per point of the window and of shots")->check(CLI::Range(1.0, 4.0));
    app.add_option("--screen", screenText, "Screen size in points, WxH")->capture_default_str();
    app.add_option("--idiom", idiom, "phone or pad")->check(CLI::IsMember({ "phone", "pad" }))->capture_default_str();
    app.add_flag("--headless", headless, "Run without a window (also the case where there is no display)");
    app.add_flag("--no-preview", noPreview, "Do not show the live keyboard preview beside the phone (F2 shows it)");
    app.add_option("--script", scriptPath, "Run the commands of this file (- for standard input), answering each on standard output");
    CLI11_PARSE(app, argc, argv);

    auto screenSize = parseScreen(screenText);
    if (!screenSize) {
        std::cerr << "tessary8-app: --screen takes WxH, whole points from 160 to 2048, not '" << screenText << "'\n";
        return 2;
    }
    if (!std::isfinite(scale)) {
        std::cerr << "tessary8-app: --scale must be a number from 1 to 4\n";
        return 2;
    }
    std::ifstream scriptFile;
    std::istream* script = nullptr;
    if (scriptPath == "-") {
        script = &std::cin;
    } else if (!scriptPath.empty()) {
        scriptFile.open(scriptPath);
        if (!scriptFile) {
            std::cerr << "tessary8-app: cannot read the script " << scriptPath << "\n";
            return 2;
        }
        script = &scriptFile;
    }
    PlatformProcess::start({ "tessary8-app", root });
    NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
    auto screen = UIScreen::mainScreen();
    screen->setBounds(CGRectMake(0, 0, screenSize->width, screenSize->height));
    screen->setScale(static_cast<CGFloat>(scale));
    UIDevice::currentDevice()->setUserInterfaceIdiom(idiom == "pad" ? UIUserInterfaceIdiomPad : UIUserInterfaceIdiomPhone);

    // The keyboard as a newly opened application would show it, built by a keyboard process
    // on the same device at the window's scale.
    PreviewController preview({ KeyboardPreview::programBesideExecutable("tessary8-keyboard"), DeviceRoot::current(), scale }, !noPreview);
    std::unique_ptr<SDLWindowHost> window;
    SDLWindowHost* windowForCallbacks = nullptr;
    if (!headless) {
        std::string error;
        window = SDLWindowHost::open(screenSize.value(), static_cast<CGFloat>(scale), windowCallbacks(windowForCallbacks, preview), error);
        windowForCallbacks = window.get();
        if (!window)
            std::cerr << "tessary8-app: no window (" << error << "); running headless\n";
    }
    if (!window && !script) {
        std::cerr << "tessary8-app: without a window there is nothing to do: give --script FILE (or - for standard input)\n";
        return 2;
    }

    auto& loop = NSRunLoop::mainRunLoop();
    useAnimationClock(loop, window != nullptr);
    std::shared_ptr<NSRunLoop::Waiter> windowWaiter;
    if (window) {
        screen->setDisplay(window->display());
        windowWaiter = window->waiter();
        animateInRealTime(loop);
        showLocalTime(loop);
        UIApplication::sharedApplication()->setURLOpener(std::make_shared<DesktopURLOpener>());
    }
    preview.attach(window.get());
    std::shared_ptr<ScriptDriver> driver = script ? std::make_shared<ScriptDriver>(*script, std::cout, windowWaiter) : nullptr;
    if (driver && window) {
        driver->setAfterRotation([&window, &preview] {
            window->resize(UIScreen::mainScreen()->bounds().size);
            preview.screenChanged();
        });
    }
    if (driver)
        driver->addCommand("preview", [&preview](const std::string& file) { return preview.writePreview(file, std::cout); });
    loop.setWaiter(driver ? std::static_pointer_cast<NSRunLoop::Waiter>(driver) : windowWaiter);
    int status = Tessary8App::main(argc, argv);
    loop.setWaiter(nullptr);
    return status != 0 ? status : driver && driver->anyCommandFailed() ? 1 : 0;
}

}

int main(int argc, char** argv)
{
    return runGuarded("tessary8-app", [&] { return run(argc, argv); });
}
